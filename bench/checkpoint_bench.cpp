// Times writing "checkpoint.kes" and reading it back for the default world at
// steady state, and prints the file's size. The steady state is made once by
// running the default world (seed 1) for a number of cycles and is kept in a
// checkpoint of its own, so later runs start from it at once. Prints medians
// of wall and CPU time; it judges nothing.
//
//   checkpoint_bench [repetitions=5] [cycles=400] [state file=/tmp/kesmir-steady-<cycles>.kes]
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/checkpoint_file.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/random.h"
#include "world/vt.h"

using namespace kesmir;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "checkpoint_bench: %s\n", message.c_str());
    std::exit(1);
}

void makeSteadyState(int cycles, const std::string& path) {
    std::printf("running the default world for %d cycles ...\n", cycles);
    std::fflush(stdout);
    matureNutrients();
    for (int c = 0; c < cycles && !populationCollapsed(); ++c) {
        runCycleSteps();
        kk += 1;
    }
    const WriteResult kept = writeCheckpoint(path);
    if (!kept.ok) die(kept.error);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 400;
    const std::string state =
        argc > 3
            ? argv[3]
            : (fs::temp_directory_path() / ("kesmir-steady-" + std::to_string(cycles) + ".kes"))
                  .string();

    const fs::path scratch =
        fs::temp_directory_path() / ("kesmir-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    fs::current_path(scratch);

    allocateWorld();
    initDir();
    seedRandom(1);
    std::string error;
    if (!fs::exists(state))
        makeSteadyState(cycles, state);
    else if (!readCheckpoint(state, error))
        die(error);
    std::printf("world after %d cycles: %d plants, %d herbivores, %d carnivores\n", int(kk),
                int(Ppop), int(Hpop), int(Cpop));

    std::vector<double> writeMs, writeCpuMs, readMs, readCpuMs;
    for (int r = 0; r < repetitions; ++r) {
        auto start = Clock::now();
        double cpuStart = cpuMs();
        const WriteResult written = writeCheckpoint(kCheckpointFile);
        if (!written.ok) die(written.error);
        writeMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        writeCpuMs.push_back(cpuMs() - cpuStart);

        start = Clock::now();
        cpuStart = cpuMs();
        if (!readCheckpoint(kCheckpointFile, error)) die(error);
        readMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        readCpuMs.push_back(cpuMs() - cpuStart);
    }
    const double megabytes = static_cast<double>(fs::file_size(kCheckpointFile)) / 1e6;
    const double raw =
        (double(Ppop) * 32 + (double(Hpop) + double(Cpop)) * 40 + kCells * 4.0) / 1e6;
    std::printf("checkpoint file            %8.1f MB (the records and levels in memory: %.1f MB)\n",
                megabytes, raw);
    std::printf("median write               %8.1f ms (CPU time %.1f ms)\n", median(writeMs),
                median(writeCpuMs));
    std::printf("median read                %8.1f ms (CPU time %.1f ms)\n", median(readMs),
                median(readCpuMs));

    fs::current_path("/");
    fs::remove_all(scratch);
    return 0;
}
