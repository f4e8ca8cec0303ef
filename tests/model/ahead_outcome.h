// Running a step whose ordered work is worked out ahead on other threads, for
// the tests that hold it to the bits of one thread.
#pragma once

#include <cstdint>
#include <functional>

#include "model_fixture.h"
#include "sim/ahead_counts.h"
#include "sim/parallel/worker_pool.h"
#include "world/random.h"
#include "world_fingerprint.h"

namespace kesmir::testing {

constexpr uint32_t kEveryDirection = 0x00FFFFFFu;  // chrom4: all eight weights 7, reach 12

struct AheadOutcome {
    uint64_t fingerprint;
    uint32_t state;     // the generator's
    AheadCounts ahead;  // of this step alone
};

// The world `build` makes after `step` on `threads` threads; `counts` are
// the step's running totals of work done ahead.
inline AheadOutcome stepOnThreads(int threads, int32_t longestList,
                                  const std::function<void()>& build,
                                  const std::function<void()>& step, AheadCounts& (*counts)()) {
    resetModel();
    build();
    setSimulationThreads(threads);
    const AheadCounts before = counts();
    step();
    const AheadCounts after = counts();
    const uint32_t state = randState;
    AheadOutcome outcome{
        worldFingerprint(longestList),
        state,
        {after.worked - before.worked, after.redone - before.redone, after.alone - before.alone}};
    setSimulationThreads(1);
    return outcome;
}

}  // namespace kesmir::testing
