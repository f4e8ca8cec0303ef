// Whole-file writing that never leaves a half-written file behind, and
// whole-file reading that tells a file that cannot be opened from one that
// cannot be read.
#pragma once

#include <string>
#include <string_view>

namespace kesmir {

struct WriteResult {
    bool ok = false;
    std::string error;  // what failed and the system's reason, when !ok
};

// Writes `contents` to a new temporary file next to `path`, flushes it to disk
// and renames it over `path`, so that a crash or a full disk in the middle of
// the write leaves the previous file whole. On failure the temporary file is
// removed and `path` is untouched. The new file gets the usual permissions of
// a newly created file (0666 less the umask), not those of the file it replaces.
WriteResult writeFileAtomically(const std::string& path, std::string_view contents);

enum class ReadStatus {
    ok,
    missing,  // the file cannot be opened (absent, or no permission)
    failed,   // it was opened but reading it failed (e.g. it is a directory)
};

// Reads the whole file into `contents`. Unless the status is ok, `error` says
// what went wrong, with the system's reason.
ReadStatus readWholeFile(const std::string& path, std::string& contents, std::string& error);

}  // namespace kesmir
