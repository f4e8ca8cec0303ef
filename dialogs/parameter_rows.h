// What the controls of one dialog row do to its parameter. Every change is
// written straight into the global, which the simulation reads at every use.
#pragma once

#include <string>
#include <string_view>

#include "dialogs/parameter_table.h"

namespace kesmir {

// The parameter's current value in the dialog's display format.
std::string rowText(const ParameterDialogEntry& entry, const ParameterRow& row);

// One press of the row's '>' or '<' button.
void raiseRow(const ParameterDialogEntry& entry, const ParameterRow& row);
void lowerRow(const ParameterDialogEntry& entry, const ParameterRow& row);

// OK: the edit box text becomes the parameter, without the arrows' bounds
// but within the parameter's own: a value beyond them is stored as the
// nearer bound, and stderr says so in one line.
void storeRowText(const ParameterRow& row, std::string_view text);

}  // namespace kesmir
