// Times drawing the whole default world at one pixel per cell (the saved
// picture) and the window's views at a few zooms. Seeds the world as a run does,
// lets it evolve for a few cycles (in a scratch directory, so no data file of
// the current one is read or written), then prints the median of many frames.
// It judges nothing.
//
// Both the wall-clock time and the thread's CPU time are given: on a machine
// shared with other work the wall clock also counts the time the thread
// waited for a core, and the CPU time is the steadier figure.
//
// Usage: frame_bench [cycles] [frames]   (defaults 5 and 31)

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "display/render/palette.h"
#include "display/render/view_render.h"
#include "seed/seeding.h"
#include "sim/eco_node.h"
#include "sim/run_control.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double threadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Timings {
    std::vector<double> wall;
    std::vector<double> cpu;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(0, std::atoi(argv[1])) : 5;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 31;

    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "frame-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "frame_bench: cannot create a temporary directory\n");
        return 1;
    }
    const fs::path previous = fs::current_path();
    fs::current_path(pattern);

    kesmir::allocateWorld();
    kesmir::initDir();
    kesmir::seedRandom(1);
    kesmir::delay = 0;
    kesmir::startRunControl();
    kesmir::matureNutrients();
    for (int i = 0; i < cycles && !kesmir::populationCollapsed(); ++i)
        kesmir::runCycle();

    kesmir::initPalette();
    std::vector<uint32_t> pixels(std::size_t(kesmir::kCells));
    kesmir::drawFrame(pixels.data(), kesmir::kWorldSide);  // touch every page once
    const auto timeFrames = [&](const auto& draw) {
        Timings times;
        for (int i = 0; i < frames; ++i) {
            const double cpuStart = threadMilliseconds();
            const auto start = std::chrono::steady_clock::now();
            draw();
            times.wall.push_back(millisecondsSince(start));
            times.cpu.push_back(threadMilliseconds() - cpuStart);
        }
        return times;
    };
    const Timings times = timeFrames([&] { kesmir::drawFrame(pixels.data(), kesmir::kWorldSide); });
    // The window's frames: what a 1185 x 1000 view shows at a few zooms,
    // drawn from the grid.
    struct ViewCase {
        const char* name;
        kesmir::Zoom zoom;
    };
    const ViewCase viewCases[] = {{"1:1", {1, 1}},
                                  {"fitted to 1000", kesmir::fittedZoom(1185, 1000)},
                                  {"1/4", {1, 4}},
                                  {"1/8", {1, 8}},
                                  {"4:1", {4, 1}}};
    std::vector<std::pair<const char*, Timings>> viewTimes;
    for (const ViewCase& view : viewCases) {
        const int32_t extent = kesmir::contentExtent(view.zoom);
        const kesmir::PixelRect area{0, 0, std::min(extent, 1185), std::min(extent, 1000)};
        viewTimes.emplace_back(view.name, timeFrames([&] {
                                   kesmir::drawView(kesmir::liveWorldLayers(), view.zoom, area,
                                                    pixels.data(), kesmir::kWorldSide);
                               }));
    }
    fs::current_path(previous);
    fs::remove_all(pattern);

    std::printf("frame: %d cells, %d plants, %d herbivores, %d carnivores after %d cycles\n",
                kesmir::kCells, int(kesmir::Ppop), int(kesmir::Hpop), int(kesmir::Cpop),
                int(kesmir::kk));
    std::printf(
        "  whole world (drawFrame) median %.2f ms wall, %.2f ms CPU; fastest %.2f ms wall (%d "
        "frames)\n",
        median(times.wall), median(times.cpu),
        *std::min_element(times.wall.begin(), times.wall.end()), frames);
    for (const auto& [name, t] : viewTimes)
        std::printf("  view %s (up to 1185 x 1000 pixels): median %.2f ms wall, %.2f ms CPU\n",
                    name, median(t.wall), median(t.cpu));
    return 0;
}
