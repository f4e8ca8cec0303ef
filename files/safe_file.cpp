#include "files/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "files/temporary_files.h"

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

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// What a file that is not a regular one is, for a message.
const char* kindOfFile(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a named pipe (FIFO)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Why the file with `status` is no data file of at most `maxBytes`; empty
// when it is one.
std::string refusal(const std::string& path, const struct stat& status, std::uint64_t maxBytes) {
    if (!S_ISREG(status.st_mode))
        return "'" + path + "' is " + kindOfFile(status.st_mode) + ", not a data file";
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size > maxBytes) {
        return "'" + path + "' is " + std::to_string(size) +
               " bytes, larger than any valid file of its kind (at most " +
               std::to_string(maxBytes) + ")";
    }
    return {};
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
    // A name no other writer, in this process or another, is using; named
    // in the registry before the file exists, so a signal never misses it.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath_ = temporaryPathFor(path_, counter.fetch_add(1));
        if (!inProgress_.name(temporaryPath_)) {
            errno = ENAMETOOLONG;
            break;
        }
        fd_ = ::open(temporaryPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            inProgress_.created();
            return;
        }
        if (errno != EEXIST) break;
    }
    const int errorNumber = errno;
    inProgress_.unname();
    temporaryPath_.clear();
    fail("cannot create a temporary file for", errorNumber);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
    inProgress_.unname();
}

// Keeps the first failure, and drops the temporary file at once so that
// nothing is left behind whatever the caller does next.
void AtomicFileWriter::fail(const char* what, int errorNumber) {
    if (error_.empty()) error_ = describe(what, path_, errorNumber);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    inProgress_.unname();
}

bool AtomicFileWriter::write(std::string_view piece) {
    if (!error_.empty()) return false;
    if (!writeAll(fd_, piece)) fail("cannot write", errno);
    return error_.empty();
}

WriteResult AtomicFileWriter::commit() {
    if (error_.empty() && !syncFile(fd_)) fail("cannot write", errno);
    if (!error_.empty()) return {false, error_, isRegularFile(path_)};
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail("cannot write", errno);
    if (error_.empty() && ::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        fail("cannot replace", errno);
    }
    if (!error_.empty()) return {false, error_, isRegularFile(path_)};
    temporaryPath_.clear();
    inProgress_.unname();
    syncDirectory(directoryOf(path_));
    return {true, {}};
}

WriteResult writeFileAtomically(const std::string& path, std::string_view contents) {
    AtomicFileWriter file(path);
    file.write(contents);
    return file.commit();
}

void tellWriteFailure(const std::string& file, const WriteResult& result) {
    std::fprintf(stderr, "kesmir: cannot write %s (%s)%s\n", file.c_str(), result.error.c_str(),
                 result.previousKept ? "; the previous file is kept" : "");
}

ReadStatus openDataFile(const std::string& path, std::uint64_t maxBytes, int& fd,
                        std::string& error) {
    fd = -1;
    error.clear();
    // Looked at before opening: opening a FIFO waits for a writer, and opening
    // a device can have effects of its own.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        error = describe("cannot open", path, errno);
        return ReadStatus::missing;
    }
    if (error = refusal(path, status, maxBytes); !error.empty()) return ReadStatus::failed;
    // Non-blocking, in case a FIFO took the file's place in the meantime.
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = describe("cannot open", path, errno);
        return ReadStatus::missing;
    }
    if (::fstat(fd, &status) != 0) {
        error = describe("cannot read", path, errno);
    } else {
        error = refusal(path, status, maxBytes);
    }
    if (error.empty()) return ReadStatus::ok;
    ::close(fd);
    fd = -1;
    return ReadStatus::failed;
}

ReadStatus readWholeFile(const std::string& path, std::string& contents, std::string& error,
                         std::uint64_t maxBytes) {
    contents.clear();
    int fd = -1;
    const ReadStatus opened = openDataFile(path, maxBytes, fd, error);
    if (opened != ReadStatus::ok) return opened;
    // Read what fstat announces in one go, then on until end of file in case
    // the file has grown meanwhile, but never past maxBytes.
    struct stat status {};
    std::size_t expected = 0;
    if (::fstat(fd, &status) == 0 && status.st_size > 0) {
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
            break;
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
        if (filled > maxBytes) {
            error = "'" + path + "' grew past " + std::to_string(maxBytes) + " bytes while read";
            break;
        }
    }
    ::close(fd);
    if (!error.empty()) {
        contents.clear();
        return ReadStatus::failed;
    }
    contents.resize(filled);
    return ReadStatus::ok;
}

}  // namespace kesmir
