// What windowSystemAvailable() found: the Qt platform it could connect
// through ("xcb" or "wayland"), or empty when QT_QPA_PLATFORM chose one.
#pragma once

#include <string>

namespace kesmir {

extern std::string verifiedPlatform;

}  // namespace kesmir
