#include "files/nutrient_file.h"

#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "files/nutrient_text.h"
#include "files/safe_file.h"
#include "world/grid.h"

namespace kesmir {

namespace {

std::unique_ptr<std::vector<float>> copyLevels() {
    auto levels = std::make_unique<std::vector<float>>(kCells);
    for (int32_t cell = 0; cell < kCells; ++cell)
        (*levels)[cell] = nutrientAt(cell);
    return levels;
}

void writeLevels(AtomicFileWriter& file, const std::vector<float>& levels) {
    const WriteResult written = writeNutrientFile(file, levels.data(), levels.size());
    if (written.ok)
        std::fprintf(stderr, "kesmir: wrote %s\n", kNutrientFile);
    else
        tellWriteFailure(kNutrientFile, written);
}

}  // namespace

void logNutrients() {
    AtomicFileWriter file(kNutrientFile);
    writeLevels(file, *copyLevels());
}

void logNutrientsInBackground() {
    // The writer is made here, so the write counts as in progress from the
    // key press on: a quit that follows at once waits for it.
    auto file = std::make_unique<AtomicFileWriter>(kNutrientFile);
    std::thread([file = std::move(file), levels = copyLevels()] {
        writeLevels(*file, *levels);
    }).detach();
}

void loadNutrients() {
    // Read aside first: the display may already be drawing the grid, and a
    // bad file must leave no half-read layer behind.
    std::vector<float> levels(kCells);
    std::string error;
    switch (readNutrientFile(kNutrientFile, levels.data(), levels.size(), error)) {
        case ReadStatus::missing:
            return initEcosystem();
        case ReadStatus::ok:
            for (int32_t cell = 0; cell < kCells; ++cell)
                setNutrient(cell, levels[cell]);
            return;
        case ReadStatus::failed:
            break;
    }
    std::fprintf(stderr, "kesmir: %s; starting with a fresh nutrient layer\n", error.c_str());
    initEcosystem();
}

}  // namespace kesmir
