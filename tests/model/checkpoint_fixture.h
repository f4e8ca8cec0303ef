// A small world to save, and ways to build and refuse checkpoints around it,
// shared by the round-trip tests and the tests of hostile contents.
#pragma once

#include <functional>
#include <string>

#include "model_fixture.h"

namespace kesmir::testing {

class CheckpointTest : public ModelTest {
  protected:
    // A small world with every kind of state set away from its start value:
    // the second buffers current, parameters, counters, and a plant slot that
    // differs from what the lists alone would give. Three plants, two
    // herbivores, two carnivores.
    static void makeSmallWorld();

    // The file with its trailer made to fit again: length and checksum.
    static std::string refitted(std::string file);

    // The file with its state decompressed, changed by `change` and
    // compressed again, under a trailer that fits: sound but for the change.
    static std::string withState(const std::string& file,
                                 const std::function<void(std::string& state)>& change);

    // Reads `file` as a checkpoint; it must be refused with one line containing `reason`.
    static void expectRefused(const std::string& file, const std::string& reason,
                              const std::string& what);

    ScratchDirectory scratch_;
};

}  // namespace kesmir::testing
