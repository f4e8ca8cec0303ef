// The Evolution window with a long run behind it: the memory the trait
// history takes for 100,000 counted cycles, and the time the window takes to
// redraw (read the history, reduce it, draw the lines and the heat map,
// paint) as a run goes on, one more cycle each time; beside it the
// population chart's with as many cycles. It judges nothing.
//
//   evolution_bench [cycles of history=100000] [redraws=30]
#include <time.h>
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "display/evolution_window.h"
#include "display/population_chart.h"
#include "stats/population_history.h"
#include "stats/trait_history.h"

using namespace kesmir;
using kesmir::bench::median;
using Clock = std::chrono::steady_clock;

namespace {

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// A cycle of a run about the size of the default world's, every field's
// values spread around a centre that drifts with the cycle.
TraitCounts countsOf(int32_t cycle, std::mt19937& random) {
    TraitCounts counts;
    counts.cycle = cycle;
    counts.organisms = {2000000, 400000, 40000};
    for (int f = 0; f < kTraitFieldCount; ++f) {
        const int values = kTraitFields[f].values();
        const int32_t n = counts.organisms[std::size_t(kTraitFields[f].kind)];
        const int centre = (cycle / 997 + f) % values;
        int32_t left = n;
        for (int v = 0; v < values && left > 0; ++v) {
            const int distance = std::abs(v - centre);
            const int32_t share = v + 1 == values ? left : n / (2 + distance * distance * 4);
            const int32_t held = std::min(left, share + int32_t(random() % 16));
            counts.bins[std::size_t(binOffset(f) + v)] = uint32_t(held);
            left -= held;
        }
    }
    return counts;
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int redraws = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::mt19937 random(1);
    const long before = residentKilobytes();
    for (int32_t cycle = 0; cycle < cycles; ++cycle)
        traitHistory.add(countsOf(cycle, random));
    const long after = residentKilobytes();

    // The population chart with as long a history, for comparison.
    for (int32_t cycle = 0; cycle < cycles; ++cycle)
        populationHistory.append({cycle, 2000000 + cycle % 1000, 400000, 40000 - cycle % 777});

    EvolutionWindow window(traitHistory);
    PopulationChart chart(populationHistory);
    window.show();
    chart.show();
    QApplication::processEvents();
    // Wall-clock time, and the thread's CPU time, which a busy machine
    // disturbs less. Each round the run goes on by one cycle, so all is redrawn.
    std::vector<double> redrawMs, readMs, cpuMs, chartMs, chartCpuMs;
    const auto since = [](Clock::time_point start) {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    for (int i = 0; i < redraws; ++i) {
        traitHistory.add(countsOf(cycles + i, random));
        populationHistory.append({cycles + i, 2000000, 400000, 40000});
        double cpuStart = bench::cpuMs(CLOCK_THREAD_CPUTIME_ID);
        auto start = Clock::now();
        window.refresh();
        readMs.push_back(since(start));
        window.repaint();
        redrawMs.push_back(since(start));
        cpuMs.push_back(bench::cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpuStart);
        cpuStart = bench::cpuMs(CLOCK_THREAD_CPUTIME_ID);
        start = Clock::now();
        chart.refresh();
        chart.repaint();
        chartMs.push_back(since(start));
        chartCpuMs.push_back(bench::cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpuStart);
    }
    std::printf("evolution_bench: %d cycles of trait history, platform %s\n", cycles,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  the history takes %.1f MB resident (%zu samples, %zu heat-map columns)\n",
                double(after - before) / 1024, traitHistory.samples.size(),
                traitHistory.distributions.field(0).columns.size());
    std::printf(
        "  redraw of the %d x %d window: median %.1f ms of %d (%.1f ms of CPU time; reading the "
        "history and setting the lines %.1f ms, painting the rest), slowest %.1f ms\n",
        window.width(), window.height(), median(redrawMs), redraws, median(cpuMs), median(readMs),
        *std::max_element(redrawMs.begin(), redrawMs.end()));
    std::printf("  redraw of the %d x %d population chart: median %.1f ms (%.1f ms of CPU time)\n",
                chart.width(), chart.height(), median(chartMs), median(chartCpuMs));
    return 0;
}
