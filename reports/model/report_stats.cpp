#include "reports/model/report_stats.h"

namespace kesmir::reports {

int32_t hist[10] = {};

float sumEn = 0;
float sumAbs = 0;
float sumEnergy = 0;
float sumSat = 0;
float sumPsen = 0;
int64_t page = 0;
int32_t pMin = 0;
int32_t pMax = 0;

float dirProb[9] = {};
int32_t Hspeed = 0;
int32_t Cspeed = 0;

EnergyExtremes sampleEnergy = {};
int32_t psum = 0;
int32_t ssum = 0;
int32_t hsum = 0;
int32_t camSum = 0;
int32_t eatSum = 0;
int32_t seeSum = 0;

float sumPAbs = 0;
float sumHAbs = 0;
float sumCAbs = 0;
float max = 0;

}  // namespace kesmir::reports
