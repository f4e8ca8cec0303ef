#include "seed/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace kesmir {

namespace {

// Largest single read() or write(); Linux transfers at most about 2 GiB at once.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

std::string describe(const char* what, const std::string& path, int errorNumber) {
    return std::string(what) + " '" + path + "': " + std::strerror(errorNumber);
}

// The directory holding `path`, for syncing the rename.
std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a temporary file next to `path` with a name no other writer, in this
// process or another, is using: "<path>.tmp<pid>-<n>". Returns its descriptor,
// or -1 with errno set.
int createTemporary(const std::string& path, std::string& temporaryPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath =
            path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view contents) {
    const char* p = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, p, std::min(left, kMaxTransfer));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {  // no progress and no reason given
            errno = EIO;
            return false;
        }
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool syncFile(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// Makes the rename itself durable. The file is already in place when this
// runs, so a failure here is not reported: there is nothing left to undo.
void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    syncFile(fd);
    ::close(fd);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {
    fd_ = createTemporary(path_, temporaryPath_);
    if (fd_ < 0) {
        const int errorNumber = errno;
        temporaryPath_.clear();
        fail("cannot create a temporary file for", errorNumber);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

// Keeps the first failure, and drops the temporary file at once so that
// nothing is left behind whatever the caller does next.
void AtomicFileWriter::fail(const char* what, int errorNumber) {
    if (error_.empty()) error_ = describe(what, path_, errorNumber);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
}

bool AtomicFileWriter::write(std::string_view piece) {
    if (!error_.empty()) return false;
    if (!writeAll(fd_, piece)) fail("cannot write", errno);
    return error_.empty();
}

WriteResult AtomicFileWriter::commit() {
    if (error_.empty() && !syncFile(fd_)) fail("cannot write", errno);
    if (!error_.empty()) return {false, error_};
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("cannot write", errno);
    if (error_.empty() && ::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        fail("cannot replace", errno);
    }
    if (!error_.empty()) return {false, error_};
    temporaryPath_.clear();
    syncDirectory(directoryOf(path_));
    return {true, {}};
}

WriteResult writeFileAtomically(const std::string& path, std::string_view contents) {
    AtomicFileWriter file(path);
    file.write(contents);
    return file.commit();
}

ReadStatus readWholeFile(const std::string& path, std::string& contents, std::string& error) {
    contents.clear();
    error.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = describe("cannot open", path, errno);
        return ReadStatus::missing;
    }
    // Read what fstat announces in one go, then on until end of file in case
    // the file is not a regular one or has grown meanwhile.
    struct stat status {};
    std::size_t expected = 0;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        expected = static_cast<std::size_t>(status.st_size);
    }
    constexpr std::size_t kChunk = 1 << 16;
    std::size_t filled = 0;
    contents.resize(expected + kChunk);
    for (;;) {
        if (filled == contents.size()) contents.resize(filled + kChunk);
        const ssize_t got =
            ::read(fd, contents.data() + filled, std::min(contents.size() - filled, kMaxTransfer));
        if (got < 0) {
            if (errno == EINTR) continue;
            error = describe("cannot read", path, errno);
            ::close(fd);
            contents.clear();
            return ReadStatus::failed;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    contents.resize(filled);
    return ReadStatus::ok;
}

}  // namespace kesmir
