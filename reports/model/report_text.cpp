#include "reports/model/report_text.h"

#include <cmath>
#include <limits>
#include <utility>

#include "reports/model/report_computations.h"
#include "reports/model/report_stats.h"
#include "reports/model/spot_sample.h"
#include "world/format.h"

namespace kesmir::reports {

namespace {

void put(ReportLines& lines, int line, std::string text) {
    lines[static_cast<std::size_t>(line - kFirstReportLine)] = std::move(text);
}

// Averages and percentages are taken in single precision and printed as
// double. A kind missing from the sample divides 0 by 0: the not-a-number is
// made positive, as the sign the processor gives it would print as "-nan".
double quotient(float sum, int32_t count) {
    const float q = sum / static_cast<float>(count);
    return std::isnan(q) ? std::numeric_limits<double>::quiet_NaN() : static_cast<double>(q);
}

double percentage(int32_t counted, int32_t count) {
    return quotient(100.0f * static_cast<float>(counted), count);
}

std::string histogramRow() {
    return formatted("%3d %3d %3d %3d %3d %3d %3d %3d %3d %3d", hist[0], hist[1], hist[2], hist[3],
                     hist[4], hist[5], hist[6], hist[7], hist[8], hist[9]);
}

std::string profileRow() {
    const auto p = [](int k) { return static_cast<double>(dirProb[k]); };
    return formatted("%6.3f %6.3f %6.3f %6.3f %6.3f %6.3f %6.3f %6.3f", p(1), p(2), p(3), p(4),
                     p(5), p(6), p(7), p(8));
}

constexpr const char* kDirectionHeads =
    "    E       NE      N       NW      W       SW      S       SE";

struct AbsorptionBlock {
    void (*compute)();
    int firstLine;
    const char* title;
    float largest;  // the top coefficient (field 7) to four decimals
    const float* sum;
    const int32_t* count;
    const char* averageFormat;
};

const AbsorptionBlock kAbsorptionBlocks[] = {
    {Pabsorbs, 3004, "View the plant energy absorption coefficient histogram", 0.5333f, &sumPAbs,
     &Psamp, "The average absorption coefficient of plants is %6.4f"},
    {Habsorbs, 3008, "View the herbivore energy absorption coefficient histogram", 0.6667f,
     &sumHAbs, &Hsamp, "The average absorption coefficient of herbivores is %6.4f"},
    {Cabsorbs, 3012, "View the carnivore energy absorption coefficient histogram", 0.8889f,
     &sumCAbs, &Csamp, "The average absorption coefficient of carnivores is %6.4f"},
};

struct WarBlock {
    void (*compute)();
    int firstLine;
    const char* title;
};

// Each defence beside the trait that overcomes it.
const WarBlock kWarBlocks[] = {
    {camoWar, 3004, "View the camouflage effectiveness histogram"},
    {seeWar, 3006, "View the visual acuity histogram"},
    {strengthWar, 3008, "View the poison strength histogram"},
    {resistWar, 3010, "View the poison resistance histogram"},
    {spineWar, 3013, "View the spine probability histogram"},
    {eatWar, 3015, "View the spine eating ability histogram"},
};

struct MarkerLine {
    int line;
    const char* format;
    int bin;
};

const MarkerLine kMarkerLines[] = {
    {3005, "%3d from createPlants() PS", 0},     {3006, "%3d from newPlants() PB", 1},
    {3008, "%3d from createHerbivores() HS", 2}, {3009, "%3d from newHerbivores() HB", 3},
    {3011, "%3d from createCarnivores() CS", 4}, {3012, "%3d from newCarnivores() CB", 5},
};

}  // namespace

std::array<std::string, 2> headerLines(int32_t cycle) {
    return {formatted("   On cycle #%d you sampled:", cycle),
            formatted("%d plants, %d herbivores, and %d carnivores", Psamp, Hsamp, Csamp)};
}

ReportLines energyLines() {
    seeEN();
    ReportLines lines;
    put(lines, 3006,
        formatted("The average metabolism of plants is %6.4f", quotient(sumEn, Psamp)));
    put(lines, 3007,
        formatted("The average absorption coefficient of plants is %6.4f",
                  quotient(sumAbs, Psamp)));
    put(lines, 3008,
        formatted("The average energy of plants is %8.4f", quotient(sumEnergy, Psamp)));
    put(lines, 3009,
        formatted("The average satiety level of plants is %6.2f", quotient(sumSat, Psamp)));
    put(lines, 3010,
        formatted("The average plant senescent age is %6.2f", quotient(sumPsen, Psamp)));
    put(lines, 3011,
        formatted("Plant age minimum %2d average %6.3f maximum %2d", pMin,
                  quotient(static_cast<float>(page), Psamp), pMax));
    return lines;
}

// A kind missing from the sample leaves its row empty rather than showing
// the profile of some earlier animal.
ReportLines directionLines() {
    ReportLines lines;
    seeHDR();
    put(lines, 3004, kDirectionHeads);
    if (Hsamp > 0) put(lines, 3005, profileRow());
    seeCDR();
    put(lines, 3006, kDirectionHeads);
    if (Csamp > 0) put(lines, 3007, profileRow());
    put(lines, 3009,
        formatted("Average speed of herbivores %6.2f",
                  quotient(static_cast<float>(Hspeed), Hsamp)));
    put(lines, 3010,
        formatted("Average speed of carnivores %6.2f",
                  quotient(static_cast<float>(Cspeed), Csamp)));
    return lines;
}

ReportLines compareLines() {
    compareGenes();
    const EnergyExtremes& e = sampleEnergy;
    const auto d = [](float v) { return static_cast<double>(v); };
    ReportLines lines;
    put(lines, 3004,
        formatted("Plant energy minimum     %6.2f  maximum %8.2f", d(e.pmin), d(e.pmax)));
    put(lines, 3005,
        formatted("Herbivore energy minimum %6.2f  maximum %8.2f", d(e.hmin), d(e.hmax)));
    put(lines, 3006,
        formatted("Carnivore energy minimum %6.2f  maximum %8.2f", d(e.cmin), d(e.cmax)));
    put(lines, 3008,
        formatted("%6.2f%% of plants' poison level is under 98.46%%", percentage(psum, Psamp)));
    put(lines, 3009,
        formatted("%6.2f%% of herbivores' poison resistance is under 98.46%%",
                  percentage(hsum, Hsamp)));
    put(lines, 3010,
        formatted("%6.2f%% of herbivores' camouflage is worse than 98.46%% effective",
                  percentage(camSum, Hsamp)));
    put(lines, 3011,
        formatted("%6.2f%% of carnivores have sight worse than 98.46%%",
                  percentage(seeSum, Csamp)));
    put(lines, 3013,
        formatted("%6.2f%% of plants having spines is under 98.46%%", percentage(ssum, Psamp)));
    put(lines, 3014,
        formatted("%6.2f%% of herbivores ability to eat spines is under 98.46%%",
                  percentage(eatSum, Hsamp)));
    return lines;
}

ReportLines absorptionLines() {
    ReportLines lines;
    for (const AbsorptionBlock& block : kAbsorptionBlocks) {
        block.compute();
        max = block.largest;
        put(lines, block.firstLine, block.title);
        put(lines, block.firstLine + 1,
            histogramRow() + formatted("     %6.4f max", static_cast<double>(max)));
        put(lines, block.firstLine + 2,
            formatted(block.averageFormat, quotient(*block.sum, *block.count)));
    }
    return lines;
}

ReportLines spineWarLines() {
    ReportLines lines;
    for (const WarBlock& block : kWarBlocks) {
        block.compute();
        put(lines, block.firstLine, block.title);
        put(lines, block.firstLine + 1, histogramRow());
    }
    return lines;
}

ReportLines markerLines() {
    countGM();
    ReportLines lines;
    put(lines, 3004, "Scan the GM chromosome for markers");
    for (const MarkerLine& marker : kMarkerLines)
        put(lines, marker.line, formatted(marker.format, hist[marker.bin]));
    return lines;
}

ReportLines reportLines(Report report) {
    switch (report) {
        case Report::energy:
            return energyLines();
        case Report::direction:
            return directionLines();
        case Report::compare:
            return compareLines();
        case Report::absorption:
            return absorptionLines();
        case Report::spineWar:
            return spineWarLines();
        case Report::markers:
            return markerLines();
    }
    return {};
}

}  // namespace kesmir::reports
