// The five parameter dialogs as data: each entry gives a dialog's caption,
// the kind and display of its values, the arrow step and its three rows.
// One dialog class and one set of row operations serve them all.
#pragma once

#include <array>
#include <cstdint>

#include "world/named_params.h"

namespace kesmir {

enum class ParameterDialogKind {
    metabolic,
    satiety,
    reproduction,
    senescence,
    maturity
};  // keys M, T, R, S, A

enum class ValueKind { decimal, integer };  // float or int32 parameters

struct ParameterRow {
    const char* label;  // shown left of the edit box, exactly as it stands
    int editId;
    ParameterRef parameter;  // its type matches the dialog's ValueKind
    double lower;            // the '<' button does not go below it
    double upper;            // the '>' button does not go above it
};

struct ParameterDialogEntry {
    const char* caption;
    int templateId;
    ValueKind kind;
    const char* format;                // printf format of the edit box text
    double step;                       // one press of an arrow button
    int editWidth;                     // edit box width in dialog units
    std::array<ParameterRow, 3> rows;  // plant, herbivore, carnivore
};

const ParameterDialogEntry& parameterDialogEntry(ParameterDialogKind kind);

// Button ids, the same in every dialog.
inline constexpr int kOkId = 1;
inline constexpr int kCancelId = 2;
constexpr int raiseButtonId(int row) {
    return 2000 + 2 * row;
}
constexpr int lowerButtonId(int row) {
    return 2001 + 2 * row;
}

}  // namespace kesmir
