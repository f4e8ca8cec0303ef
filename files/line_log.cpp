#include "files/line_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kesmir {

namespace {

// Writes all of `text` at the end of the file, or fails with errno set.
bool writeWhole(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The wording's pattern with its cycle numbers put in (the patterns are
// constants of this file's header, each taking one or two %d).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
std::string worded(const char* pattern, int first, int last = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, first, last);
    return text;
}
#pragma GCC diagnostic pop

}  // namespace

bool LineLog::tellFailure(const char* what, int errorNumber, bool cutBack, int32_t cycle) {
    if (firstMissing_ < 0) firstMissing_ = cycle;
    lastMissing_ = cycle;
    if (failing_) return false;
    failing_ = true;
    std::fprintf(stderr,
                 "kesmir: cannot %s %s (%s); %s left out%s, and later %s are appended again once "
                 "they can be written\n",
                 what, path_, std::strerror(errorNumber),
                 worded(wording_.ofOneCycle, int(cycle)).c_str(),
                 cutBack ? ", the file cut back to its last whole line" : "", wording_.plural);
    return false;
}

void LineLog::tellRecovery(int32_t cycle) {
    if (!failing_) return;
    failing_ = false;
    const int32_t first = firstMissing_, last = lastMissing_;
    firstMissing_ = lastMissing_ = -1;
    if (first < 0) return;  // only emptying it failed
    const std::string missing = first == last ? worded(wording_.ofOneCycle, int(first))
                                              : worded(wording_.ofCycles, int(first), int(last));
    std::fprintf(stderr, "kesmir: %s is written again from cycle %d; %s missing\n", path_,
                 int(cycle), missing.c_str());
}

void LineLog::start() {
    failing_ = false;
    firstMissing_ = lastMissing_ = -1;
    dueCut_ = -1;
    headerDue_ = false;
    const int fd = ::open(path_, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) {
        const bool written = writeWhole(fd, header_);
        const int errorNumber = errno;
        if (!written && ::ftruncate(fd, 0) != 0) dueCut_ = 0;
        ::close(fd);
        if (written) return;
        headerDue_ = true;
        std::fprintf(stderr,
                     "kesmir: cannot write the header of %s (%s); it goes with the first %s that "
                     "can be written\n",
                     path_, std::strerror(errorNumber), wording_.plural);
        return;
    }
    headerDue_ = !header_.empty();
    // Told here, and not again by the appends that fail for the same reason.
    failing_ = true;
    std::fprintf(stderr,
                 "kesmir: cannot empty %s (%s); the run goes on, and its %s are appended once "
                 "they can be written\n",
                 path_, std::strerror(errno), wording_.plural);
}

bool LineLog::append(const std::string& lines, int32_t cycle) {
    const std::string text = headerDue_ ? header_ + lines : lines;
    const int fd = ::open(path_, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return tellFailure("open", errno, false, cycle);
    // The file ends with a whole line here, unless an earlier cut is due.
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int errorNumber = errno;
        ::close(fd);
        return tellFailure("append to", errorNumber, false, cycle);
    }
    off_t whole = status.st_size;
    if (dueCut_ >= 0 && whole > dueCut_) {
        if (::ftruncate(fd, dueCut_) != 0) {
            const int errorNumber = errno;
            ::close(fd);
            return tellFailure("cut back", errorNumber, false, cycle);
        }
        whole = dueCut_;
    }
    dueCut_ = -1;
    if (!writeWhole(fd, text)) {
        const int errorNumber = errno;
        const bool cutBack = ::ftruncate(fd, whole) == 0;
        if (!cutBack) dueCut_ = whole;
        ::close(fd);
        return tellFailure("append to", errorNumber, cutBack, cycle);
    }
    if (::close(fd) != 0) {  // a delayed write error, e.g. on a network file system
        const int errorNumber = errno;
        const bool cutBack = ::truncate(path_, whole) == 0;
        if (!cutBack) dueCut_ = whole;
        return tellFailure("append to", errorNumber, cutBack, cycle);
    }
    headerDue_ = false;
    tellRecovery(cycle);
    return true;
}

}  // namespace kesmir
