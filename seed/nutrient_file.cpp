#include "seed/nutrient_file.h"

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "seed/nutrient_text.h"
#include "seed/safe_file.h"
#include "world/grid.h"

namespace kesmir {

namespace {

std::unique_ptr<std::vector<float>> copyLevels() {
    auto levels = std::make_unique<std::vector<float>>(kCells);
    for (int32_t cell = 0; cell < kCells; ++cell)
        (*levels)[cell] = nutrientAt(cell);
    return levels;
}

void writeLevels(const std::vector<float>& levels) {
    std::string text;
    appendNutrientText(levels.data(), levels.size(), text);
    const WriteResult written = writeFileAtomically(kNutrientFile, text);
    if (!written.ok) {
        std::fprintf(stderr, "kesmir: cannot write %s (%s); the previous file is kept\n",
                     kNutrientFile, written.error.c_str());
    }
}

}  // namespace

void logNutrients() {
    writeLevels(*copyLevels());
}

void logNutrientsInBackground() {
    std::thread([levels = copyLevels()] { writeLevels(*levels); }).detach();
}

void loadNutrients() {
    std::string text;
    std::string error;
    const ReadStatus status = readWholeFile(kNutrientFile, text, error);
    if (status == ReadStatus::missing) return initEcosystem();
    if (status == ReadStatus::ok) {
        // Parsed aside first: the display may already be drawing the grid.
        std::vector<float> levels(kCells);
        const ParseResult parsed = parseNutrientText(text, levels.data(), levels.size());
        if (parsed.ok) {
            for (int32_t cell = 0; cell < kCells; ++cell)
                setNutrient(cell, levels[cell]);
            return;
        }
        error = parsed.error;
    }
    std::fprintf(stderr, "kesmir: %s: %s; starting with a fresh nutrient layer\n", kNutrientFile,
                 error.c_str());
    initEcosystem();
}

}  // namespace kesmir
