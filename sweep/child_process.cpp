#include "sweep/child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace kesmir {

namespace {

volatile sig_atomic_t caughtSignal = 0;
volatile sig_atomic_t signalTarget = 0;

void onStopSignal(int signal) {
    caughtSignal = signal;
    if (signalTarget > 0) ::kill(pid_t(signalTarget), signal);
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeChild(const ChildSetup& setup, char* const* argv, pid_t parent) {
    if (setup.endWithParent) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);  // the parent has gone already
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int signal : kStopSignals)
        if (::signal(signal, SIG_IGN) != SIG_IGN) ::signal(signal, SIG_DFL);
    auto redirect = [](const std::string& path, int flags, int target) {
        if (path.empty()) return;
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
        if (fd < 0 || ::dup2(fd, target) < 0) ::_exit(127);
    };
    if (!setup.folder.empty() && ::chdir(setup.folder.c_str()) != 0) ::_exit(127);
    redirect(setup.input, O_RDONLY, STDIN_FILENO);
    redirect(setup.output, O_WRONLY | O_CREAT | O_APPEND, STDOUT_FILENO);
    redirect(setup.errors, O_WRONLY | O_CREAT | O_APPEND, STDERR_FILENO);
    ::execvp(argv[0], argv);
    ::_exit(127);
}

}  // namespace

pid_t startChild(const ChildSetup& setup, std::string& error) {
    std::vector<char*> argv;
    for (const std::string& argument : setup.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) becomeChild(setup, argv.data(), parent);
    if (child < 0) error = std::string("cannot start ") + argv[0] + ": " + std::strerror(errno);
    return child;
}

int waitForChild(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) return 0;
    return status;
}

bool childEnded(pid_t child, int& status) {
    return ::waitpid(child, &status, WNOHANG) == child;
}

std::string describeEnd(int status) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        return "the signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
    }
    if (WEXITSTATUS(status) == 127) return "exit code 127 (the program could not be started)";
    return "exit code " + std::to_string(WEXITSTATUS(status));
}

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals)
        ::sigaction(signal, &action, nullptr);
}

void passSignalsTo(pid_t child) {
    signalTarget = child;
}

int stopSignal() {
    return caughtSignal;
}

}  // namespace kesmir
