// Finding out whether a window can be shown, without starting Qt: Qt ends the
// process when its platform cannot connect, and the program should rather
// run headless then.
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <QLibraryInfo>
#include <QString>

#include "display/platform_probe.h"
#include "display/window_app.h"
#include "display/window_system.h"

namespace kesmir {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Opens and closes an X connection through libxcb, loaded only for this.
bool canConnectToX(const std::string& display, std::string& why) {
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (xcb == nullptr) {
        why = "the X client library libxcb.so.1 cannot be loaded";
        return false;
    }
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    bool connected = false;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(display.c_str(), nullptr);
        connected = connection != nullptr && hasError(connection) == 0;
        if (connection != nullptr) disconnect(connection);  // also frees a failed one
    }
    ::dlclose(xcb);
    if (!connected) why = "cannot connect to the X display " + display;
    return connected;
}

// Qt's Wayland platform comes in a package of its own.
bool waylandPlatformInstalled() {
    std::string directories = environment("QT_PLUGIN_PATH");
    directories += ":" + QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString();
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = directories.find(':', start);
        if (end == std::string::npos) end = directories.size();
        const std::filesystem::path platforms =
            std::filesystem::path(directories.substr(start, end - start)) / "platforms";
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(platforms, error))
            if (entry.path().filename().string().rfind("libqwayland", 0) == 0) return true;
        start = end + 1;
    }
    return false;
}

// A Wayland compositor is listening on the socket WAYLAND_DISPLAY names.
bool canConnectToWayland(const std::string& name, std::string& why) {
    std::string path = name;
    if (path.empty() || path[0] != '/') path = environment("XDG_RUNTIME_DIR") + "/" + name;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    bool connected = false;
    if (fd >= 0 && path.size() < sizeof(address.sun_path)) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    }
    if (fd >= 0) ::close(fd);
    if (!connected) why = "cannot connect to the Wayland display " + name;
    return connected;
}

// A display answers, or a platform is named on purpose.
bool displayReachable(std::string& why) {
    const std::string platform = environment("QT_QPA_PLATFORM");
    const std::string x = environment("DISPLAY");
    const std::string wayland = environment("WAYLAND_DISPLAY");
    const bool wantsX = platform.rfind("xcb", 0) == 0;
    const bool wantsWayland = platform.rfind("wayland", 0) == 0;
    // Any other platform named on purpose (offscreen, vnc, ...) is trusted.
    if (!platform.empty() && !wantsX && !wantsWayland) return true;

    if (x.empty() && wayland.empty()) {
        why = "no display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    std::string xWhy, waylandWhy;
    if (!wantsWayland && !x.empty() && canConnectToX(x, xWhy)) {
        verifiedPlatform = "xcb";
        return true;
    }
    if (!wantsX && !wayland.empty() && canConnectToWayland(wayland, waylandWhy)) {
        if (waylandPlatformInstalled()) {
            verifiedPlatform = "wayland";
            return true;
        }
        waylandWhy = "the Qt Wayland platform is not installed";
    }
    why = !xWhy.empty() ? xWhy : !waylandWhy.empty() ? waylandWhy : "no usable display";
    return false;
}

}  // namespace

std::string verifiedPlatform;

bool windowSystemAvailable(std::string& why) {
    verifiedPlatform.clear();
    if (!displayReachable(why)) return false;
    const std::string named = environment("QT_QPA_PLATFORM");
    return platformStarts(named.empty() ? verifiedPlatform : named, why);
}

}  // namespace kesmir
