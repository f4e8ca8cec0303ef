#include "sim/run_control.h"

namespace kesmir {

std::atomic<bool> pause{true};

void resetRunControl() {
    pause = true;
}

}  // namespace kesmir
