// Times "kesmir sweep collect" on a synthetic sweep and prints its peak
// memory: RUNS runs (4 parameter values x RUNS/4 seeds) of CYCLES cycles,
// each with a "dt.dat" line per cycle and a "traits.csv" of 40 traits of the
// three kinds every 10th cycle. The sweep is made once and kept. Prints the
// median of the repetitions' wall time; it judges nothing.
//
//   collect_bench [repetitions=3] [runs=100] [cycles=10000]
//   [folder=/tmp/kesmir-collect-RUNS-CYCLES]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sweep/collect.h"
#include "sweep/run_state.h"
#include "world/format.h"

using namespace kesmir;

namespace {

// The traits of the three kinds, as many as the trait statistics write.
constexpr const char* kTraits[] = {
    "plant,metabolism",       "plant,absorption",     "plant,satiety",
    "plant,senescence",       "plant,poison",         "plant,spines",
    "herbivore,metabolism",   "herbivore,conversion", "herbivore,satiety",
    "herbivore,maturity",     "herbivore,senescence", "herbivore,camouflage",
    "herbivore,spine_eating", "herbivore,resistance", "herbivore,weight_E",
    "herbivore,weight_NE",    "herbivore,weight_N",   "herbivore,weight_NW",
    "herbivore,weight_W",     "herbivore,weight_SW",  "herbivore,weight_S",
    "herbivore,weight_SE",    "herbivore,reach",      "herbivore,speed",
    "carnivore,metabolism",   "carnivore,conversion", "carnivore,satiety",
    "carnivore,maturity",     "carnivore,senescence", "carnivore,sight",
    "carnivore,weight_E",     "carnivore,weight_NE",  "carnivore,weight_N",
    "carnivore,weight_NW",    "carnivore,weight_W",   "carnivore,weight_SW",
    "carnivore,weight_S",     "carnivore,weight_SE",  "carnivore,reach",
    "carnivore,speed"};

void writeText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "w");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

bool makeSweep(const std::string& dir, int runs, int cycles, Sweep& sweep) {
    std::string error;
    const std::string experiment =
        formatted("HRenergy = 60, 65, 70, 75\nseed = 1..%d\ncycles = %d\ntraits-every = 10\n",
                  std::max(1, runs / 4), cycles);
    if (!layOutSweep(experiment, "bench", dir, "kesmir", sweep, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    if (std::filesystem::exists(sweep.folder(sweep.runs()) + "/state.txt")) return true;
    std::srand(1);
    for (std::size_t run = 1; run <= sweep.runs(); ++run) {
        std::string log, traits = "cycle,kind,trait,count,mean,sd,min,p10,median,p90,max\n";
        for (int cycle = 0; cycle < cycles; ++cycle) {
            appendFormatted(log, "%d %d %d %d    %d %d %d\n", cycle, 2400000 + std::rand() % 100000,
                            250000 + std::rand() % 50000, 40000 + std::rand() % 9000,
                            std::rand() % 90000, std::rand() % 20000, std::rand() % 900);
            if (cycle % 10 != 0) continue;
            for (const char* trait : kTraits)
                appendFormatted(traits, "%d,%s,%d,%.17g,%.17g,0,3,7,12,20\n", cycle, trait,
                                250000 + std::rand() % 1000, std::rand() / 1e6, std::rand() / 1e8);
        }
        writeText(sweep.folder(run) + "/dt.dat", log);
        writeText(sweep.folder(run) + "/traits.csv", traits);
        writeRunState(sweep.folder(run), "finished", error);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 3;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 100;
    const int cycles = argc > 3 ? std::atoi(argv[3]) : 10000;
    const std::string dir =
        argc > 4 ? argv[4] : formatted("/tmp/kesmir-collect-%d-%d", runs, cycles);
    Sweep sweep;
    if (!makeSweep(dir, runs, cycles, sweep)) return 1;
    std::vector<double> seconds;
    for (int i = 0; i < repetitions; ++i) {
        const auto start = std::chrono::steady_clock::now();
        collectSweep(sweep, nullptr);
        seconds.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("collect of %zu runs x %d cycles (%s): median %.2f s of %d, peak memory %.0f MB\n",
                sweep.runs(), cycles, dir.c_str(), seconds[seconds.size() / 2], repetitions,
                double(usage.ru_maxrss) / 1024);
    std::printf("results.csv %.0f MB, summary.csv %.1f MB\n",
                double(std::filesystem::file_size(dir + "/results.csv")) / 1e6,
                double(std::filesystem::file_size(dir + "/summary.csv")) / 1e6);
    return 0;
}
