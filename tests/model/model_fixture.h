// A fresh model for every test: default parameters and counters, empty lists,
// a fresh nutrient layer, the generator at its default seed. A test that
// changes a parameter and then runs a step alone calls takeCycleParams()
// first: the steps read the copy a cycle takes as it starts.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "sim/cycle_params.h"
#include "world/counters.h"
#include "world/lists.h"
#include "world/params.h"
#include "world/random.h"
#include "world/vt.h"

namespace kesmir::testing {

void resetModel();

// Puts an organism into the current list at index Ppop (or Hpop, Cpop) and
// points its cell's slot at it. Returns the record.
plant& addPlant(int32_t x, int32_t y, float energy, uint32_t chrom1 = 0, uint32_t chrom2 = 0,
                int32_t age = 1);
animal& addHerbivore(int32_t x, int32_t y, float energy, uint32_t chrom1 = 0, uint32_t chrom2 = 0,
                     uint32_t chrom3 = 0, uint32_t chrom4 = 0, int32_t age = 1);
animal& addCarnivore(int32_t x, int32_t y, float energy, uint32_t chrom1 = 0, uint32_t chrom2 = 0,
                     uint32_t chrom3 = 0, uint32_t chrom4 = 0, int32_t age = 1);

// Seeds a world as a run does, but with `plants`, `herbivores` and
// `carnivores` to start from (a sparse world runs its cycles quickly); no
// delay, not paused: runCycle() may follow. Reads and writes the data files
// of the current directory.
void seedSmallWorld(int32_t plants, int32_t herbivores, int32_t carnivores);

// The first generator state from which the coming draws satisfy every test
// in `wanted`, in order (the first test applies to the next draw).
uint32_t stateWhereDraws(const std::vector<std::function<bool(int32_t)>>& wanted);

// The generator state `count` draws after `start`. It reseeds the generator,
// so read the state under test into a local first.
uint32_t stateAfterDraws(uint32_t start, int count);

// A generator state whose next draw is exactly `value`.
uint32_t stateBeforeDraw(int32_t value);

class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override { resetModel(); }
};

// Runs a test in a scratch directory of its own and goes back afterwards.
class ScratchDirectory {
  public:
    ScratchDirectory();
    ~ScratchDirectory();
    std::filesystem::path path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);

// What stderr is told while `action` runs, caught through a pipe (which a
// file size limit does not cut short).
std::string toldOnStderr(const std::function<void()>& action);
void writeFile(const std::filesystem::path& path, const std::string& contents);

}  // namespace kesmir::testing
