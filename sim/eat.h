// Feeding and predation: plants absorb, herbivores graze, carnivores hunt.
#pragma once

namespace kesmir {

void eat();

}  // namespace kesmir
