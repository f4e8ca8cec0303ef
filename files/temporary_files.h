// The names of the temporary files that whole-file writes go through, and the
// removal of those that a run ended without finishing (e.g. after kill -9).
//
// A temporary file is named "<target>.kesmir-tmp-<pid>-<n>": the pid of the
// writing process tells a dead writer's leftover from a live writer's file.
#pragma once

#include <sys/types.h>
#include <string>
#include <string_view>

namespace kesmir {

// The temporary file for the n-th write of this process to `target`.
std::string temporaryPathFor(const std::string& target, unsigned n);

// The writer's pid when `name` (a file name, no directory) follows the
// pattern, else 0.
pid_t temporaryFileWriter(std::string_view name);

// Removes the regular files of `directory` that follow the pattern and were
// left by a process that no longer runs, and tells stderr in one line. Any
// other file, and a file of a live process, is left alone. Returns how many
// were removed.
int removeStaleTemporaryFiles(const std::string& directory = ".");

}  // namespace kesmir
