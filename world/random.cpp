#include "world/random.h"

namespace kesmir {

uint32_t randState = kDefaultSeed;

}  // namespace kesmir
