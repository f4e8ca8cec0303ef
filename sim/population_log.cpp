#include "sim/population_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "world/counters.h"

namespace kesmir {

namespace {

// While appends fail (a full disk, a directory in the way) the run goes on
// and tries again every cycle; the failure is told when it begins and the
// recovery when it ends.
bool failing = false;
int32_t firstMissingCycle = 0;
// The end of the last whole line when cutting a short write back failed,
// to be cut to before anything else is appended; -1 when nothing is due.
off_t dueCut = -1;

void tellFailure(const char* what, int errorNumber, bool cutBack) {
    if (failing) return;
    failing = true;
    firstMissingCycle = kk;
    std::fprintf(stderr,
                 "kesmir: cannot %s %s (%s); the line of cycle %d is left out%s, and later lines "
                 "are appended again once they can be written\n",
                 what, kPopulationLogFile, std::strerror(errorNumber), int(kk),
                 cutBack ? ", the file cut back to its last whole line" : "");
}

void tellRecovery() {
    if (!failing) return;
    failing = false;
    const int32_t lastMissing = kk - 1;
    if (lastMissing < firstMissingCycle) return;  // only emptying it failed
    if (lastMissing == firstMissingCycle) {
        std::fprintf(stderr,
                     "kesmir: %s is written again from cycle %d; the line of cycle %d is missing\n",
                     kPopulationLogFile, int(kk), firstMissingCycle);
    } else {
        std::fprintf(stderr,
                     "kesmir: %s is written again from cycle %d; the lines of cycles %d to %d are "
                     "missing\n",
                     kPopulationLogFile, int(kk), firstMissingCycle, lastMissing);
    }
}

// Writes all of `line` at the end of the file, or fails with errno set.
bool writeWhole(int fd, const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(fd, line.data() + done, line.size() - done);
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

}  // namespace

void startPopulationLog() {
    failing = false;
    dueCut = -1;
    const int fd = ::open(kPopulationLogFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    // Told here, and not again by the appends that fail for the same reason.
    failing = true;
    firstMissingCycle = kk;
    std::fprintf(stderr,
                 "kesmir: cannot empty %s (%s); the run goes on, and its lines are appended once "
                 "they can be written\n",
                 kPopulationLogFile, std::strerror(errno));
}

void appendPopulationLog(const std::string& line) {
    const int fd = ::open(kPopulationLogFile, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return tellFailure("open", errno, false);
    // The file ends with a whole line here, unless an earlier cut is due.
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int errorNumber = errno;
        ::close(fd);
        return tellFailure("append to", errorNumber, false);
    }
    off_t whole = status.st_size;
    if (dueCut >= 0 && whole > dueCut) {
        if (::ftruncate(fd, dueCut) != 0) {
            const int errorNumber = errno;
            ::close(fd);
            return tellFailure("cut back", errorNumber, false);
        }
        whole = dueCut;
    }
    dueCut = -1;
    if (!writeWhole(fd, line)) {
        const int errorNumber = errno;
        const bool cutBack = ::ftruncate(fd, whole) == 0;
        if (!cutBack) dueCut = whole;
        ::close(fd);
        return tellFailure("append to", errorNumber, cutBack);
    }
    if (::close(fd) != 0) {  // a delayed write error, e.g. on a network file system
        const int errorNumber = errno;
        const bool cutBack = ::truncate(kPopulationLogFile, whole) == 0;
        if (!cutBack) dueCut = whole;
        return tellFailure("append to", errorNumber, cutBack);
    }
    tellRecovery();
}

}  // namespace kesmir
