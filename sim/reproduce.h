// Reproduction: qualifying pairs produce one newborn each into NP, NH, NC.
#pragma once

namespace kesmir {

void reproduce();

}  // namespace kesmir
