// Running the simulation with its window.
#pragma once

#include <string>

#include "sim/eco_node.h"

namespace kesmir {

// True when a window can be shown: a display Qt can connect to, or a Qt
// platform chosen explicitly through QT_QPA_PLATFORM (e.g. offscreen).
// Otherwise false, with the reason in `why` (one line). Never lets Qt abort.
bool windowSystemAvailable(std::string& why);

// Creates and shows the main window, starts the display thread and then the
// simulation thread, and runs the event loop until the run ends; the world
// must be allocated and the run configured. Returns the simulation's own
// end (its stop rule, the cycle limit), the window then closed and every
// thread but the simulation's workers ended; or, after Q or closing the main
// window, RunEnd::quitRequested at once, while the simulation may still be
// inside its cycle: the caller ends the process then without running static
// destructors (std::_Exit), and Qt is left standing for it.
RunEnd runWindowed(int argc, char** argv);

}  // namespace kesmir
