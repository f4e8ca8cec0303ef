#include <gtest/gtest.h>

#include <map>

#include "report_fixture.h"
#include "reports/model/report_stats.h"
#include "reports/model/report_text.h"

namespace kesmir::testing {
namespace {

using reports::Report;
using reports::ReportLines;
using ReportTextTest = ReportTest;

// The lines a report fills, by line id; every other line must be empty.
void expectLines(const ReportLines& lines, const std::map<int, std::string>& expected) {
    for (int id = reports::kFirstReportLine; id <= reports::kLastLine; ++id) {
        const auto it = expected.find(id);
        EXPECT_EQ(lines[static_cast<std::size_t>(id - reports::kFirstReportLine)],
                  it == expected.end() ? std::string() : it->second)
            << "line " << id;
    }
}

constexpr const char* kHeads = "    E       NE      N       NW      W       SW      S       SE";

TEST_F(ReportTextTest, EnergyOfOnePlant) {
    // Metabolic 2, absorption 7, satiety 31, senescence 3.
    samplePlant(2u | 7u << 7 | 31u << 10 | 3u << 22, 0, 80.0f, 12);
    expectLines(reports::reportLines(Report::energy),
                {{3006, "The average metabolism of plants is 5.1000"},
                 {3007, "The average absorption coefficient of plants is 0.5333"},
                 {3008, "The average energy of plants is  80.0000"},
                 {3009, "The average satiety level of plants is  60.10"},
                 {3010, "The average plant senescent age is   8.00"},
                 {3011, "Plant age minimum 12 average 12.000 maximum 12"}});
}

TEST_F(ReportTextTest, EnergyAveragesPlantsAndFollowsChangedOffsets) {
    samplePlant(0u | 0u << 7 | 0u << 10 | 15u << 22, 0, 10.0f, 3);
    samplePlant(3u | 1u << 7 | 10u << 10 | 0u << 22, 0, 20.5f, 40);
    samplePlant(1u | 2u << 7 | 5u << 10 | 1u << 22, 0, 30.0f, 7);
    PMoffset = 1.0f;
    PSoffset = 0.5f;
    PNoffset = 100;
    expectLines(reports::energyLines(),
                {{3006, "The average metabolism of plants is 2.3333"},
                 {3007, "The average absorption coefficient of plants is 0.1333"},
                 {3008, "The average energy of plants is  20.1667"},
                 {3009, "The average satiety level of plants is   5.50"},
                 {3010, "The average plant senescent age is 105.33"},
                 {3011, "Plant age minimum  3 average 16.667 maximum 40"}});
}

TEST_F(ReportTextTest, DirectionShowsTheLastAnimalOfEachKindAndTheSpeeds) {
    sampleHerbivore(0, 0, 0, 011111111);  // all weights 1
    sampleHerbivore(
        0, 0, 0,
        7u << 21 | 7u << 28 | 7u << 24 | 1u << 31);  // reach, bit 31: no speed   // E only, speed 7
    sampleCarnivore(0, 0, 0, 011111111 | 2u << 28);  // speed 2
    expectLines(reports::reportLines(Report::direction),
                {{3004, kHeads},
                 {3005, " 1.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000"},
                 {3006, kHeads},
                 {3007, " 0.125  0.125  0.125  0.125  0.125  0.125  0.125  0.125"},
                 {3009, "Average speed of herbivores   4.50"},
                 {3010, "Average speed of carnivores   5.00"}});
}

TEST_F(ReportTextTest, DirectionRowOfAMissingKindStaysEmpty) {
    sampleHerbivore(0, 0, 0, 011111111);
    sampleCarnivore(0, 0, 0, 7u << 21);
    reports::directionLines();  // an earlier sample with both kinds

    Hsamp = 0;
    expectLines(reports::directionLines(),
                {{3004, kHeads},
                 {3006, kHeads},
                 {3007, " 1.000  0.000  0.000  0.000  0.000  0.000  0.000  0.000"},
                 {3009, "Average speed of herbivores    nan"},
                 {3010, "Average speed of carnivores   3.00"}});

    Hsamp = 1;
    Csamp = 0;
    const ReportLines lines = reports::directionLines();
    EXPECT_EQ(lines[3005 - 3004], " 0.125  0.125  0.125  0.125  0.125  0.125  0.125  0.125");
    EXPECT_EQ(lines[3007 - 3004], "");
}

TEST_F(ReportTextTest, CompareShowsTheSampleExtremesAndShares) {
    samplePlant(0, /*poison 63, spines 10*/ 63u << 12 | 10u << 18, 4.5f);
    samplePlant(0, /*poison 0, spines 63*/ 63u << 18, 1234.567f);
    sampleHerbivore(0, /*camouflage 38*/ 38u, 0, 0, -2.0f);
    sampleHerbivore(0, /*all 63*/ 0777777u, 0, 0, 70.0f);
    sampleHerbivore(0, /*camouflage 63*/ 63u, 0, 0, 70.0f);
    // Sight 62 in chrom3 bits 0-5; every other bit of every word is set, so a
    // sight read from anywhere else would be the top value.
    sampleCarnivore(~0u, ~0u, /*sight 62*/ ~1u, ~0u, 8.0f);
    pmax = 2.0f;  // the population's, printed on the status line
    expectLines(reports::reportLines(Report::compare),
                {{3004, "Plant energy minimum       4.50  maximum  1234.57"},
                 {3005, "Herbivore energy minimum  -2.00  maximum    70.00"},
                 {3006, "Carnivore energy minimum   8.00  maximum     8.00"},
                 {3008, " 50.00% of plants' poison level is under 98.46%"},
                 {3009, " 66.67% of herbivores' poison resistance is under 98.46%"},
                 {3010, " 33.33% of herbivores' camouflage is worse than 98.46% effective"},
                 {3011, "100.00% of carnivores have sight worse than 98.46%"},
                 {3013, " 50.00% of plants having spines is under 98.46%"},
                 {3014, " 66.67% of herbivores ability to eat spines is under 98.46%"}});
    EXPECT_EQ(pmax, 2.0f);
}

TEST_F(ReportTextTest, AbsorptionShowsThreeHistogramsWithTheirLargestCoefficient) {
    samplePlant(2u << 7);
    samplePlant(3u << 7);
    sampleHerbivore(7u << 7);
    for (int i = 0; i < 1000; ++i)
        sampleCarnivore(0);  // a four-digit count keeps all its digits
    expectLines(reports::reportLines(Report::absorption),
                {{3004, "View the plant energy absorption coefficient histogram"},
                 {3005, "  0   0   2   0   0   0   0   0   0   0     0.5333 max"},
                 {3006, "The average absorption coefficient of plants is 0.2333"},
                 {3008, "View the herbivore energy absorption coefficient histogram"},
                 {3009, "  0   0   0   0   0   0   1   0   0   0     0.6667 max"},
                 {3010, "The average absorption coefficient of herbivores is 0.6667"},
                 {3012, "View the carnivore energy absorption coefficient histogram"},
                 {3013, "  0 1000   0   0   0   0   0   0   0   0     0.8889 max"},
                 {3014, "The average absorption coefficient of carnivores is 0.1111"}});
}

TEST_F(ReportTextTest, SpineWarSetsEachDefenceBesideItsAnswer) {
    samplePlant(0, /*poison 0, spines 63*/ 63u << 18);
    sampleHerbivore(0, /*camouflage 63, spine eating 25, resistance 51*/
                    63u | 25u << 6 | 51u << 12);
    sampleHerbivore(0, /*camouflage 62, spine eating 24, resistance 0*/ 62u | 24u << 6);
    sampleHerbivore(0, /*camouflage 38*/ 38u);
    sampleCarnivore(0, 0, /*sight 12*/ 12u);
    expectLines(reports::reportLines(Report::spineWar),
                {{3004, "View the camouflage effectiveness histogram"},
                 {3005, "  0   0   0   0   0   0   1   0   0   2"},
                 {3006, "View the visual acuity histogram"},
                 {3007, "  0   0   1   0   0   0   0   0   0   0"},
                 {3008, "View the poison strength histogram"},
                 {3009, "  1   0   0   0   0   0   0   0   0   0"},
                 {3010, "View the poison resistance histogram"},
                 {3011, "  2   0   0   0   0   0   0   0   1   0"},
                 {3013, "View the spine probability histogram"},
                 {3014, "  0   0   0   0   0   0   0   0   0   1"},
                 {3015, "View the spine eating ability histogram"},
                 {3016, "  1   0   0   1   1   0   0   0   0   0"}});
}

TEST_F(ReportTextTest, MarkersCountEachKindByOrigin) {
    samplePlant(0, 0, 1.0f, 1, 3855);
    samplePlant(0, /*spines 63*/ 63u << 18, 1.0f, 1, 61680);
    sampleHerbivore(0).GM = 0;
    sampleCarnivore(0).GM = 61680;
    sampleCarnivore(0).GM = 61680;
    reports::spineWarLines();  // fills hist[9] with the plants' spines
    expectLines(reports::reportLines(Report::markers),
                {{3004, "Scan the GM chromosome for markers"},
                 {3005, "  1 from createPlants() PS"},
                 {3006, "  1 from newPlants() PB"},
                 {3008, "  1 from createHerbivores() HS"},
                 {3009, "  0 from newHerbivores() HB"},
                 {3011, "  0 from createCarnivores() CS"},
                 {3012, "  2 from newCarnivores() CB"}});
    for (int bin = 6; bin < 10; ++bin)
        EXPECT_EQ(reports::hist[bin], 0) << bin;
}

TEST_F(ReportTextTest, AnEmptySampleShowsNotANumberAndTheStartValues) {
    expectLines(reports::energyLines(),
                {{3006, "The average metabolism of plants is    nan"},
                 {3007, "The average absorption coefficient of plants is    nan"},
                 {3008, "The average energy of plants is      nan"},
                 {3009, "The average satiety level of plants is    nan"},
                 {3010, "The average plant senescent age is    nan"},
                 {3011, "Plant age minimum 5000 average    nan maximum -5000"}});
    expectLines(reports::compareLines(),
                {{3004, "Plant energy minimum     100000.00  maximum -100000.00"},
                 {3005, "Herbivore energy minimum 100000.00  maximum -100000.00"},
                 {3006, "Carnivore energy minimum 100000.00  maximum -100000.00"},
                 {3008, "   nan% of plants' poison level is under 98.46%"},
                 {3009, "   nan% of herbivores' poison resistance is under 98.46%"},
                 {3010, "   nan% of herbivores' camouflage is worse than 98.46% effective"},
                 {3011, "   nan% of carnivores have sight worse than 98.46%"},
                 {3013, "   nan% of plants having spines is under 98.46%"},
                 {3014, "   nan% of herbivores ability to eat spines is under 98.46%"}});
    const ReportLines absorption = reports::absorptionLines();
    EXPECT_EQ(absorption[3013 - 3004], "  0   0   0   0   0   0   0   0   0   0     0.8889 max");
    EXPECT_EQ(absorption[3014 - 3004],
              "The average absorption coefficient of carnivores is    nan");
    EXPECT_EQ(reports::markerLines()[3012 - 3004], "  0 from newCarnivores() CB");
}

}  // namespace
}  // namespace kesmir::testing
