#include "sim/checkpoints.h"

#include <cstdio>
#include <filesystem>

#include "files/checkpoint_file.h"
#include "sim/cycle_params.h"
#include "sim/eco_node.h"
#include "world/counters.h"

namespace kesmir {

std::atomic<bool> checkpointRequested{false};

namespace {

bool checkpointDue() {
    const bool asked = checkpointRequested.exchange(false, std::memory_order_relaxed);
    const int64_t every = runSettings.checkpointEvery;
    return asked || (every > 0 && kk > 0 && kk % every == 0);
}

}  // namespace

void storeCheckpointIfDue() {
    if (!checkpointDue()) return;
    StepTimer t(stepTimings, Step::files);
    // The values this cycle's steps read, whatever a dialog wrote since.
    const WriteResult written = writeCheckpoint(kCheckpointFile, cycleParams());
    std::error_code ignored;
    const std::string where = std::filesystem::absolute(kCheckpointFile, ignored).string();
    if (written.ok)
        std::fprintf(stderr, "kesmir: cycle %d saved in %s\n", int(kk), where.c_str());
    else
        tellWriteFailure(kCheckpointFile, written);
}

}  // namespace kesmir
