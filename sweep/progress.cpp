#include "sweep/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "sweep/plan.h"
#include "sweep/run_state.h"
#include "world/format.h"

namespace kesmir {

namespace {

constexpr int kFailureLines = 5;

}  // namespace

SweepCounts countRuns(const Sweep& sweep) {
    SweepCounts counts;
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        const RunStatus status = runStatus(sweep.folder(run));
        const int64_t cycles = settingNumber(sweep.value(run, "cycles"));
        counts.cyclesTotal += cycles;
        switch (status.state) {
            case RunState::finished:
                ++counts.finished;
                break;
            case RunState::running:
                ++counts.running;
                break;
            case RunState::failed:
                ++counts.failed;
                break;
            case RunState::waiting:
                ++counts.waiting;
                break;
        }
        counts.cyclesDone += status.state == RunState::finished
                                 ? cycles
                                 : std::clamp<int64_t>(status.lastCycle + 1, 0, cycles);
    }
    return counts;
}

std::string countsText(const SweepCounts& c) {
    return formatted("%zu finished, %zu running, %zu failed, %zu waiting", c.finished, c.running,
                     c.failed, c.waiting);
}

std::string failureReport(const Sweep& sweep) {
    std::string text;
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        const RunStatus status = runStatus(sweep.folder(run));
        if (status.state != RunState::failed) continue;
        appendFormatted(text, "kesmir: sweep: %s failed (%s); the end of its %s:\n",
                        sweep.folder(run).c_str(), status.failure.c_str(), kStderrFile);
        text += lastLines(sweep.folder(run) + "/" + kStderrFile, kFailureLines);
    }
    return text;
}

std::string statusText(const Sweep& sweep) {
    const SweepCounts counts = countRuns(sweep);
    std::string text =
        formatted("%zu runs: %s; %lld of %lld cycles\n", sweep.runs(), countsText(counts).c_str(),
                  (long long)counts.cyclesDone, (long long)counts.cyclesTotal);
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        const RunStatus status = runStatus(sweep.folder(run));
        if (status.state == RunState::running)
            appendFormatted(text, "%s: running, at cycle %lld of %lld\n",
                            sweep.folderName(run).c_str(), (long long)status.lastCycle,
                            (long long)settingNumber(sweep.value(run, "cycles")));
    }
    return text + failureReport(sweep);
}

ProgressLine::ProgressLine(const SweepCounts& start)
    : started_(std::chrono::steady_clock::now()),
      startCycles_(start.cyclesDone),
      terminal_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::show(const SweepCounts& counts) {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const int64_t gained = counts.cyclesDone - startCycles_;
    std::string line = "kesmir: sweep: " + countsText(counts);
    if (counts.running + counts.waiting == 0)
        line += "; done";
    else if (gained > 0)
        line += "; " +
                durationText(double(counts.cyclesTotal - counts.cyclesDone) * elapsed /
                             double(gained)) +
                " left";
    const std::size_t now[4] = {counts.finished, counts.running, counts.failed, counts.waiting};
    if (terminal_) {
        if (line == shown_) return;
        std::fprintf(stderr, "\r%s\033[K", line.c_str());
    } else {
        if (std::equal(now, now + 4, shownCounts_)) return;
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::copy(now, now + 4, shownCounts_);
    shown_ = line;
    std::fflush(stderr);
}

void ProgressLine::end() {
    if (terminal_ && !shown_.empty()) std::fputs("\n", stderr);
    shown_.clear();
}

}  // namespace kesmir
