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

// Writes a file piece by piece into a new temporary file next to the target,
// then flushes it to disk and renames it over the target, so that a crash or a
// full disk in the middle of the write leaves the previous file whole. On any
// failure the temporary file is removed and the target is untouched, as it is
// when the writer is destroyed without commit(). The new file gets the usual
// permissions of a newly created file (0666 less the umask), not those of the
// file it replaces.
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
    failed,   // it was opened but reading it failed (e.g. it is a directory)
};

// Reads the whole file into `contents`. Unless the status is ok, `error` says
// what went wrong, with the system's reason.
ReadStatus readWholeFile(const std::string& path, std::string& contents, std::string& error);

}  // namespace kesmir
