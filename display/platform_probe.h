// Whether Qt's window system platform starts, found out in a child process:
// Qt aborts a process whose platform cannot load or find a screen (a
// misspelt QT_QPA_PLATFORM, a missing library, no framebuffer), and the
// program would rather say so in one line and run headless.
#pragma once

#include <string>

namespace kesmir {

// Starts Qt with `platform` (empty: Qt's own choice) in a child process and
// makes one window there. False, with the platform and Qt's reason in `why`,
// when the child does not come through.
bool platformStarts(const std::string& platform, std::string& why);

}  // namespace kesmir
