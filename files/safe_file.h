// Whole-file writing that never leaves a half-written file behind, and
// whole-file reading that tells a file that cannot be opened from one that
// cannot be read.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "files/writes_in_progress.h"

namespace kesmir {

struct WriteResult {
    bool ok = false;
    std::string error;          // what failed and the system's reason, when !ok
    bool previousKept = false;  // when !ok: a file stood at the target and is kept
};

// Tells stderr that `file` could not be written, and that the previous file
// is kept when there was one.
void tellWriteFailure(const std::string& file, const WriteResult& result);

// Writes a file piece by piece into a new temporary file next to the target,
// then flushes it to disk and renames it over the target, so that a crash or a
// full disk in the middle of the write leaves the previous file whole. On any
// failure the temporary file is removed and the target is untouched, as it is
// when the writer is destroyed without commit(). The new file gets the usual
// permissions of a newly created file (0666 less the umask), not those of the
// file it replaces. The temporary file is named after the target and this
// process (temporary_files.h), and the write is registered as in progress
// (writes_in_progress.h), so the process waits for it at exit and removes its
// temporary file on a signal.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::string path);  // creates the temporary file
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends `piece`. False once anything has failed, from then on doing nothing.
    bool write(std::string_view piece);

    // Flushes, closes and renames the file over the target, or reports the
    // first failure since the writer was created. Call it once.
    WriteResult commit();

  private:
    void fail(const char* what, int errorNumber);

    WriteInProgress inProgress_;  // first made, last gone
    std::string path_;
    std::string temporaryPath_;  // empty once removed or renamed
    std::string error_;          // the first failure
    int fd_ = -1;
};

// Writes `contents` as the whole file at `path` with AtomicFileWriter.
WriteResult writeFileAtomically(const std::string& path, std::string_view contents);

enum class ReadStatus {
    ok,
    missing,  // the file cannot be opened (absent, or no permission)
    failed,   // it is no data file (a directory, FIFO, device, socket, or too
              // large), or reading it failed
};

inline constexpr std::uint64_t kAnySize = std::numeric_limits<std::uint64_t>::max();

// Opens a data file for reading only if it is a regular file of at most
// `maxBytes`: anything else (a FIFO, which could block the open for ever, a
// device such as /dev/zero, which never ends, a directory, a socket) is never
// opened, and a file that is too large is refused from its size alone. On
// ok, `fd` is the open descriptor, for the caller to close; otherwise `error`
// names the file and says what it is or what failed.
ReadStatus openDataFile(const std::string& path, std::uint64_t maxBytes, int& fd,
                        std::string& error);

// Opens the file as openDataFile does and reads all of it into `contents`.
ReadStatus readWholeFile(const std::string& path, std::string& contents, std::string& error,
                         std::uint64_t maxBytes = kAnySize);

}  // namespace kesmir
