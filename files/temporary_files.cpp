#include "files/temporary_files.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <vector>

#include "files/message_text.h"

namespace kesmir {

namespace {

constexpr std::string_view kMarker = ".kesmir-tmp-";

// True when `text` is a decimal number without sign or leading zero.
bool isCounter(std::string_view text) {
    if (text.empty() || (text.size() > 1 && text[0] == '0')) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// A process that has ended; one we may not signal still runs.
bool hasEnded(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string temporaryPathFor(const std::string& target, unsigned n) {
    return target + std::string(kMarker) + std::to_string(::getpid()) + "-" + std::to_string(n);
}

pid_t temporaryFileWriter(std::string_view name) {
    const std::size_t marker = name.rfind(kMarker);
    if (marker == std::string_view::npos || marker == 0) return 0;
    const std::string_view rest = name.substr(marker + kMarker.size());
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos) return 0;
    const std::string_view pidText = rest.substr(0, dash);
    if (!isCounter(pidText) || !isCounter(rest.substr(dash + 1))) return 0;
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
    if (ec != std::errc() || end != pidText.data() + pidText.size()) return 0;
    return pid;
}

int removeStaleTemporaryFiles(const std::string& directory) {
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) return 0;
    std::vector<std::string> removed;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        const pid_t writer = temporaryFileWriter(name);
        if (writer <= 0 || writer == ::getpid() || !hasEnded(writer)) continue;
        const std::string path = directory + "/" + name;
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        if (::unlink(path.c_str()) == 0) removed.push_back(name);
    }
    ::closedir(listing);
    if (removed.empty()) return 0;
    std::sort(removed.begin(), removed.end());

    constexpr std::size_t kNamesShown = 3;
    std::string names;
    for (std::size_t i = 0; i < removed.size() && i < kNamesShown; ++i)
        names += (i > 0 ? ", " : "") + quotedForMessage(removed[i], 80);
    if (removed.size() > kNamesShown)
        names += " and " + std::to_string(removed.size() - kNamesShown) + " more";
    std::fprintf(
        stderr,
        "kesmir: removed %zu temporary file%s left by a run that ended during a write: %s\n",
        removed.size(), removed.size() == 1 ? "" : "s", names.c_str());
    return static_cast<int>(removed.size());
}

}  // namespace kesmir
