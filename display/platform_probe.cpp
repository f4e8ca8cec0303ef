#include "display/platform_probe.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QWindow>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "files/message_text.h"

namespace kesmir {

namespace {

constexpr int kPatienceMs = 20000;

int messagePipe = -1;  // the child's end, for Qt's fatal message

// In the child: Qt's chatter is dropped, its fatal message goes to the parent.
void keepFatalMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg || messagePipe < 0) return;
    const QByteArray text = message.toUtf8();
    [[maybe_unused]] const ssize_t written = ::write(messagePipe, text.data(), text.size());
}

[[noreturn]] void tryPlatform(const std::string& platform) {
    if (!platform.empty()) ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    qInstallMessageHandler(keepFatalMessage);
    int argc = 1;
    char name[] = "kesmir";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    QWindow window;
    window.create();
    std::_Exit(0);
}

// The first line of Qt's message, without its advice to reinstall.
std::string reasonFrom(std::string message) {
    message = message.substr(0, message.find('\n'));
    const std::size_t advice = message.find(". Reinstalling");
    if (advice != std::string::npos) message.erase(advice);
    return message;
}

}  // namespace

bool platformStarts(const std::string& platform, std::string& why) {
    int ends[2];
    if (::pipe(ends) != 0) return true;  // cannot look: let Qt try
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return true;
    }
    if (child == 0) {
        ::close(ends[0]);
        messagePipe = ends[1];
        tryPlatform(platform);
    }
    ::close(ends[1]);
    // The pipe closes when the child ends. A child that hangs is given up
    // on, and Qt is left to try in earnest.
    std::string message;
    char buffer[512];
    bool hangs = false;
    for (;;) {
        pollfd waiting{ends[0], POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kPatienceMs);
        if (ready < 0 && errno == EINTR) continue;
        hangs = ready == 0;
        const ssize_t got = ready > 0 ? ::read(ends[0], buffer, sizeof buffer) : -1;
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (message.size() < 4096) message.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ends[0]);
    if (hangs) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (hangs || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) return true;
    const std::string shown = platform.empty() ? "Qt's default" : quotedForMessage(platform, 40);
    why = "the window system platform " + shown + " cannot start";
    if (!message.empty()) why += " (" + quotedForMessage(reasonFrom(message), 120) + ")";
    return false;
}

}  // namespace kesmir
