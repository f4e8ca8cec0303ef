#include "seed/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

WriteResult writeFileAtomically(const std::string& path, std::string_view contents) {
    std::string temporaryPath;
    const int fd = createTemporary(path, temporaryPath);
    if (fd < 0) return {false, describe("cannot create a temporary file for", path, errno)};

    // Every failure from here on removes the temporary file.
    auto fail = [&](const char* what, int errorNumber) {
        ::unlink(temporaryPath.c_str());
        return WriteResult{false, describe(what, path, errorNumber)};
    };
    if (!writeAll(fd, contents) || !syncFile(fd)) {
        const int errorNumber = errno;
        ::close(fd);
        return fail("cannot write", errorNumber);
    }
    if (::close(fd) != 0) return fail("cannot write", errno);
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) return fail("cannot replace", errno);
    syncDirectory(directoryOf(path));
    return {true, {}};
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
