#include "sweep/run_state.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "files/message_text.h"
#include "files/safe_file.h"
#include "sim/population_log.h"
#include "sweep/cycle_log.h"

namespace kesmir {

namespace {

constexpr std::size_t kTailBytes = 4096;

// The end of the file: at most its last kTailBytes.
std::string tailOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    std::string tail;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size > 0) {
        const off_t from = size > off_t(kTailBytes) ? size - off_t(kTailBytes) : 0;
        tail.resize(std::size_t(size - from));
        const ssize_t got = ::pread(fd, tail.data(), tail.size(), from);
        tail.resize(got > 0 ? std::size_t(got) : 0);
    }
    ::close(fd);
    return tail;
}

// The cycle of the last whole line of the file, or -1.
int64_t lastCycleIn(const std::string& path) {
    std::string tail = tailOf(path);
    const auto end = tail.rfind('\n');
    if (end == std::string::npos) return -1;
    tail.resize(end);
    const auto start = tail.rfind('\n');
    return cycleOfLine(start == std::string::npos ? tail : tail.substr(start + 1));
}

bool isLocked(const std::string& folder) {
    const int fd = ::open((folder + "/" + kLockFile).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const bool locked = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    return locked;
}

std::string readState(const std::string& folder) {
    std::string state, ignored;
    readWholeFile(folder + "/" + kStateFile, state, ignored, 4096);
    return state;
}

}  // namespace

bool runFinished(const std::string& folder) {
    return readState(folder).rfind("finished", 0) == 0;
}

RunStatus runStatus(const std::string& folder) {
    RunStatus status;
    const std::string state = readState(folder);
    const std::string log = folder + "/" + kPopulationLogFile;
    status.lastCycle = lastCycleIn(log);
    if (status.lastCycle < 0) status.lastCycle = lastCycleIn(log + kEarlierSuffix);
    if (state.rfind("finished", 0) == 0) {
        status.state = RunState::finished;
    } else if (isLocked(folder)) {
        status.state = RunState::running;
    } else if (state.rfind("failed", 0) == 0) {
        status.state = RunState::failed;
        const auto colon = state.find(": ");
        status.failure = colon == std::string::npos ? "" : state.substr(colon + 2);
        while (!status.failure.empty() && status.failure.back() == '\n')
            status.failure.pop_back();
    }
    return status;
}

const char* stateName(RunState state) {
    switch (state) {
        case RunState::waiting:
            return "waiting";
        case RunState::running:
            return "running";
        case RunState::finished:
            return "finished";
        case RunState::failed:
            return "failed";
    }
    return "";
}

bool writeRunState(const std::string& folder, const std::string& state, std::string& error) {
    const WriteResult result = writeFileAtomically(folder + "/" + kStateFile, state + "\n");
    if (!result.ok) error = result.error;
    return result.ok;
}

bool removeRunState(const std::string& folder, std::string& error) {
    const std::string path = folder + "/" + kStateFile;
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    error = "cannot remove '" + path + "': " + std::strerror(errno);
    return false;
}

RunLock::~RunLock() {
    if (fd_ >= 0) ::close(fd_);  // lets go of the lock
}

bool RunLock::take(const std::string& folder, std::string& error) {
    const std::string path = folder + "/" + kLockFile;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd_, F_SETLK, &lock) == 0) return true;
    if (errno != EACCES && errno != EAGAIN)
        error = "cannot lock '" + path + "': " + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
    return false;
}

std::string lastLines(const std::string& path, int count) {
    std::string tail = tailOf(path);
    while (!tail.empty() && tail.back() == '\n')
        tail.pop_back();
    std::size_t start = tail.size();
    for (int i = 0; i < count && start != std::string::npos && start > 0; ++i)
        start = tail.rfind('\n', start - 1);
    start = start == std::string::npos ? 0 : start + 1;
    std::string lines;
    std::string_view rest = std::string_view(tail).substr(std::min(start, tail.size()));
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string quoted = quotedForMessage(rest.substr(0, end), 400);
        lines += "    " + quoted.substr(1, quoted.size() - 2) + "\n";  // without the quotes
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return lines;
}

}  // namespace kesmir
