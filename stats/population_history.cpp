#include "stats/population_history.h"

namespace kesmir {

PopulationHistory populationHistory;

}  // namespace kesmir
