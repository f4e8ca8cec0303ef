// Metabolism: every organism pays its metabolic cost and ages by one.
#pragma once

namespace kesmir {

// Charges every organism its metabolic cost, ages it by one and returns the
// total cost charged (summed in single precision, in list order).
float metabolize();

}  // namespace kesmir
