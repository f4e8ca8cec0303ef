#include "dialogs/parameter_table.h"

#include "world/params.h"

namespace kesmir {

namespace {

constexpr std::array<ParameterDialogEntry, 5> kEntries{{
    {"Metabolic Levels",
     120,
     ValueKind::decimal,
     "%6.2f",
     0.1,
     40,
     {{
         {"Plant energy {0..7} + ", 1023, &PMoffset, 1.0, 20.0},
         {"Herbivore energy {0..7} + ", 1024, &HMoffset, 3.0, 60.0},
         {"Carnivore energy {0..7} + ", 1025, &CMoffset, 3.0, 70.0},
     }}},
    {"Satiety Levels",
     121,
     ValueKind::decimal,
     "%6.2f",
     0.1,
     60,
     {{
         {"Plant satiety {0..63} +", 1026, &PSoffset, 5.0, 100.0},
         {"Herbivore satiety {0..63} +", 1027, &HSoffset, 20.0, 130.0},
         {"Carnivore satiety {0..7} +", 1028, &CSoffset, 3.0, 120.0},
     }}},
    {"Reproduction Energy Requirements",
     122,
     ValueKind::decimal,
     "%6.2f",
     0.1,
     60,
     {{
         {"Plant energy", 1030, &PRenergy, 5.0, 90.0},
         {"Herbivore energy", 1031, &HRenergy, 20.0, 100.0},
         {"Carnivore energy", 1032, &CRenergy, 10.0, 100.0},
     }}},
    {"Senescent Age",
     123,
     ValueKind::integer,
     "%d",
     1,
     60,
     {{
         {"Plant age {0..7} +", 1040, &PNoffset, 5, 7},
         {"Herbivore age {0..31} +", 1041, &HNoffset, 1, 30},
         {"Carnivore age {0..31} +", 1042, &CNoffset, 1, 40},
     }}},
    {"Age of Sexual Maturity",
     126,
     ValueKind::integer,
     "%d",
     1,
     30,
     {{
         {"Plant maturity {0..7} +", 1060, &PAoffset, 1, 7},
         {"Herbivore maturity {0..31} +", 1061, &HAoffset, 1, 30},
         {"Carnivore maturity {0..31} +", 1062, &CAoffset, 1, 40},
     }}},
}};

// Every row must point at a global of its dialog's kind: the row operations
// pick the conversion by the pointer, the format string by the kind.
constexpr bool rowsMatchTheirKind() {
    for (const ParameterDialogEntry& entry : kEntries) {
        const std::size_t expected = entry.kind == ValueKind::decimal ? 0 : 1;
        for (const ParameterRow& row : entry.rows)
            if (row.parameter.index() != expected) return false;
    }
    return true;
}
static_assert(rowsMatchTheirKind());

// The entries stand in the order of ParameterDialogKind.
static_assert(kEntries[std::size_t(ParameterDialogKind::metabolic)].templateId == 120 &&
              kEntries[std::size_t(ParameterDialogKind::satiety)].templateId == 121 &&
              kEntries[std::size_t(ParameterDialogKind::reproduction)].templateId == 122 &&
              kEntries[std::size_t(ParameterDialogKind::senescence)].templateId == 123 &&
              kEntries[std::size_t(ParameterDialogKind::maturity)].templateId == 126);

}  // namespace

const ParameterDialogEntry& parameterDialogEntry(ParameterDialogKind kind) {
    return kEntries[static_cast<std::size_t>(kind)];
}

}  // namespace kesmir
