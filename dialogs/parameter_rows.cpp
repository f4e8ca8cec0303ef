#include "dialogs/parameter_rows.h"

#include <cstdio>

#include "dialogs/parameter_steps.h"
#include "files/message_text.h"
#include "world/format.h"

namespace kesmir {

namespace {

// Calls the decimal or the integer form of an operation for the row's global.
template <class Decimal, class Integer>
void onParameter(const ParameterRow& row, Decimal decimal, Integer integer) {
    if (auto* p = std::get_if<RelaxedAtomic<float>*>(&row.parameter))
        decimal(**p);
    else
        integer(*std::get<RelaxedAtomic<int32_t>*>(row.parameter));
}

}  // namespace

std::string rowText(const ParameterDialogEntry& entry, const ParameterRow& row) {
    std::string text;
    onParameter(
        row, [&](float value) { text = formatted(entry.format, static_cast<double>(value)); },
        [&](int32_t value) { text = formatted(entry.format, static_cast<int>(value)); });
    return text;
}

void raiseRow(const ParameterDialogEntry& entry, const ParameterRow& row) {
    onParameter(
        row,
        [&](RelaxedAtomic<float>& p) {
            p = raisedDecimal(p, entry.step, static_cast<float>(row.upper));
        },
        [&](RelaxedAtomic<int32_t>& p) {
            p = raisedInteger(p, static_cast<int32_t>(entry.step), static_cast<int32_t>(row.upper));
        });
}

void lowerRow(const ParameterDialogEntry& entry, const ParameterRow& row) {
    onParameter(
        row,
        [&](RelaxedAtomic<float>& p) {
            p = loweredDecimal(p, entry.step, static_cast<float>(row.lower));
        },
        [&](RelaxedAtomic<int32_t>& p) {
            p = loweredInteger(p, static_cast<int32_t>(entry.step),
                               static_cast<int32_t>(row.lower));
        });
}

void storeRowText(const ParameterRow& row, std::string_view text) {
    ParameterValue typed;
    onParameter(
        row, [&](float) { typed = decimalFromText(text); },
        [&](int32_t) { typed = integerFromText(text); });
    const NamedParameter& parameter = *parameterFor(row.parameter);
    const ParameterValue stored = clampedToBounds(parameter, typed);
    setParameter(parameter, stored);
    if (stored != typed)
        std::fprintf(stderr, "kesmir: %s: %s is outside the range %s; %s stored\n", parameter.name,
                     quotedForMessage(text.substr(0, kEditTextLimit)).c_str(),
                     boundsText(parameter).c_str(), parameterText(parameter).c_str());
}

}  // namespace kesmir
