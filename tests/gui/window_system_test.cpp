// Deciding between a window and a headless run, by the environment.
#include <QTest>
#include <cstdlib>
#include <string>

#include "display/window_app.h"

namespace kesmir {

namespace {

// Sets or clears (nullptr) an environment variable for one test and puts
// the old value back afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadValue_ = old != nullptr;
        if (hadValue_) old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (hadValue_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    bool hadValue_ = false;
    std::string old_;
};

}  // namespace

class WindowSystemTest : public QObject {
    Q_OBJECT

  private slots:
    void anExplicitPlatformLikeOffscreenCounts() {
        ScopedEnvironment platform("QT_QPA_PLATFORM", "offscreen");
        ScopedEnvironment x("DISPLAY", nullptr);
        ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
        std::string why;
        QVERIFY(windowSystemAvailable(why));
    }

    void noDisplayAtAllIsSaidInOneLine() {
        ScopedEnvironment platform("QT_QPA_PLATFORM", nullptr);
        ScopedEnvironment x("DISPLAY", nullptr);
        ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
        std::string why;
        QVERIFY(!windowSystemAvailable(why));
        QVERIFY(why.find("no display") != std::string::npos);
        QVERIFY(why.find('\n') == std::string::npos);
    }

    void displaysThatDoNotAnswerAreNamed() {
        ScopedEnvironment platform("QT_QPA_PLATFORM", nullptr);
        ScopedEnvironment x("DISPLAY", ":4711");
        ScopedEnvironment wayland("WAYLAND_DISPLAY", "/nonexistent/wayland-socket");
        std::string why;
        QVERIFY(!windowSystemAvailable(why));
        QVERIFY2(why.find(":4711") != std::string::npos, why.c_str());
    }

    void xcbAskedForButUnreachable() {
        ScopedEnvironment platform("QT_QPA_PLATFORM", "xcb");
        ScopedEnvironment x("DISPLAY", ":4711");
        ScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
        std::string why;
        QVERIFY(!windowSystemAvailable(why));
        QVERIFY(!why.empty());
    }
};

}  // namespace kesmir

QTEST_APPLESS_MAIN(kesmir::WindowSystemTest)
#include "window_system_test.moc"
