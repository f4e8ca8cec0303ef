// Starting the programs a sweep hands its work to (kesmir for one run, GNU
// parallel, sbatch) and passing on the signals that should stop them.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kesmir {

struct ChildSetup {
    std::vector<std::string> arguments;  // the program first, found on PATH
    std::string folder;                  // where it starts; "" for here
    std::string input;                   // a file as its stdin; "" to keep ours
    std::string output;                  // files its stdout and stderr are appended to;
    std::string errors;                  // "" to keep ours
    bool endWithParent = false;          // SIGTERM when this process ends, however it ends
};

// The child's pid, or -1 with `error`.
pid_t startChild(const ChildSetup& setup, std::string& error);

// Waits until the child has ended; its wait status.
int waitForChild(pid_t child);

// True when the child has ended (its wait status in `status`); does not wait.
bool childEnded(pid_t child, int& status);

// "exit code 2", "the signal 9 (Killed)".
std::string describeEnd(int status);

// From now on SIGINT, SIGTERM and SIGHUP are caught and remembered; each is
// passed on to `child` while one is set (0: to nobody).
void catchStopSignals();
void passSignalsTo(pid_t child);
// The last stop signal caught, 0 for none.
int stopSignal();

}  // namespace kesmir
