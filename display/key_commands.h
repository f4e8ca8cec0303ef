// What each key of the main window does: one table from Qt key codes to
// commands. Letters answer in either case (Qt reports both as the same key).
#pragma once

#include <optional>

#include "dialogs/parameter_table.h"
#include "display/scroll_state.h"

namespace kesmir {

enum class Command {
    scroll,           // a scroll request on one axis
    toggleOverlay,    // D
    showHints,        // H
    toggleSpotFile,   // L
    logNutrients,     // N
    quit,             // Q
    parameterDialog,  // A, M, R, S, T
    checkpoint,       // K
    fitWorld,         // F
    oneToOne,         // 1
    zoomIn,           // + (or =, which carries + on many keyboards)
    zoomOut,          // -
    toggleChart,      // G
    savePictures,     // P
    toggleEvolution,  // E
};

struct KeyCommand {
    Command command;
    ScrollAxis axis = ScrollAxis::vertical;                       // for scroll
    ScrollRequest request = ScrollRequest::finished;              // for scroll
    ParameterDialogKind dialog = ParameterDialogKind::metabolic;  // for parameterDialog
};

// The command bound to a Qt key code, or nothing for keys without one.
std::optional<KeyCommand> commandForKey(int qtKey);

}  // namespace kesmir
