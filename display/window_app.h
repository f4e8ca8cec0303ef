// Running the simulation with its window.
#pragma once

#include <string>

namespace kesmir {

// True when a window can be shown: a display Qt can connect to, or a Qt
// platform chosen explicitly through QT_QPA_PLATFORM (e.g. offscreen).
// Otherwise false, with the reason in `why` (one line). Never lets Qt abort.
bool windowSystemAvailable(std::string& why);

// Creates and shows the main window, starts the display thread and then the
// simulation thread, and runs the event loop. The world must be allocated
// and the run configured. Never returns: Q, closing the window and the
// simulation's stop rule all end the process with exit code 0.
[[noreturn]] int runWindowed(int argc, char** argv);

}  // namespace kesmir
