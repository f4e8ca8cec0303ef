#include "display/window_app.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <atomic>
#include <clocale>
#include <memory>
#include <optional>
#include <thread>

#include "dialogs/parameter_dialog.h"
#include "display/display_thread.h"
#include "display/evolution_window.h"
#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/pictures.h"
#include "display/population_chart.h"
#include "display/window_system.h"
#include "display/world_window.h"
#include "reports/gui/spot_sample_dialog.h"
#include "reports/model/spot_sample.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"
#include "sim/run_control.h"
#include "stats/population_history.h"
#include "stats/trait_history.h"
#include "world/counters.h"

// The resources live in a static library: register them explicitly, or the
// linker drops them. (The macro cannot be used inside a namespace.)
static void registerResources() {
    Q_INIT_RESOURCE(kesmir);
}

namespace kesmir {

namespace {

// G and E: shows a window beside the main window (a little lower than the
// one before), or closes it.
void toggleBeside(FollowingWindow& window, const QWidget& beside, int down) {
    if (window.isVisible())
        window.close();
    else
        window.showBeside(beside, down);
}

// The window, the display thread and the simulation thread of one run. The
// members go in reverse order: the display thread stops before the images it
// draws into are released, and the pictures being written are waited for
// before Qt goes.
class WindowedRun {
  public:
    WindowedRun(int argc, char** argv);
    ~WindowedRun();
    WindowedRun(const WindowedRun&) = delete;
    WindowedRun& operator=(const WindowedRun&) = delete;

    // Runs the event loop until the simulation ends (then the window closes
    // with it) or the user quits (Q, or the main window closed).
    RunEnd run();

    // False after a quit: the simulation may still be inside a cycle.
    bool simulationEnded() const { return simulationEnded_.load(std::memory_order_acquire); }

  private:
    int argc_;  // QApplication keeps a reference to it
    QApplication app_;
    BackgroundPictures pictures_;
    FrameBuffers buffers_;
    WorldWindow window_;
    PopulationChart chart_;
    EvolutionWindow evolution_;
    std::optional<DisplayThread> display_;
    std::atomic<bool> simulationEnded_{false};
    RunEnd simulationEnd_ = RunEnd::quitRequested;  // written before simulationEnded_
    std::thread simulation_;
};

WindowedRun::WindowedRun(int argc, char** argv)
    : argc_(argc),
      app_(argc_, argv),
      window_(buffers_),
      chart_(populationHistory),
      evolution_(traitHistory) {
    // Qt takes the user's locale; every number the program prints, writes or
    // reads keeps the C library's own form ("250.000000", never "250,000000").
    std::setlocale(LC_NUMERIC, "C");
    registerResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kesmir-icon.png")));
    // Wayland desktops find the menu entry's name and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kesmir"));
    // Closing the main window ends the run, whether the charts are open or not.
    chart_.setAttribute(Qt::WA_QuitOnClose, false);
    evolution_.setAttribute(Qt::WA_QuitOnClose, false);

    window_.applyInitialGeometry();
    window_.show();
    window_.applyInitialGeometry();  // now that the frame's size is known
    window_.parameterDialogHook = [this](ParameterDialogKind kind) {
        runParameterDialog(kind, &window_);
    };
    window_.selectionCompleteHook = [this](const SpotSelection& selection) {
        UL = vt{selection.UL.x, selection.UL.y};
        LR = vt{selection.LR.x, selection.LR.y};
        spotSample(&window_, selection.hScrollPos, selection.vScrollPos, selection.zoom);
    };
    window_.chartHook = [this] { toggleBeside(chart_, window_, 0); };
    window_.evolutionHook = [this] { toggleBeside(evolution_, window_, 40); };
    const auto forwardKeys = [this](QKeyEvent* event) {
        QCoreApplication::sendEvent(&window_, event);
    };
    chart_.keyHook = forwardKeys;
    evolution_.keyHook = forwardKeys;
    window_.picturesHook = [this] { takePictures(pictures_, chart_, evolution_); };

    display_.emplace(buffers_, overlayFont(window_.logicalDpiY()),
                     [this] { window_.requestRepaint(); });
    window_.viewChangedHook = [this](const WorldView& view) { display_->showView(view); };
    display_->showView(window_.view());
}

WindowedRun::~WindowedRun() {
    display_.reset();
    if (simulation_.joinable()) simulation_.join();
}

RunEnd WindowedRun::run() {
    display_->start();
    // Running before the thread starts, so a sample asked for while the world
    // is being seeded waits for the first cycle boundary.
    cycleGate.setRunning(true);
    simulation_ = std::thread([this] {
        simulationEnd_ = ecoNode();
        simulationEnded_.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(
            &app_, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    QApplication::exec();
    display_->stop();
    pictures_.wait();
    if (!simulationEnded()) {
        requestQuit();
        return RunEnd::quitRequested;
    }
    simulation_.join();
    return simulationEnd_;
}

}  // namespace

RunEnd runWindowed(int argc, char** argv) {
    if (!verifiedPlatform.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", verifiedPlatform.c_str());
    auto windowed = std::make_unique<WindowedRun>(argc, argv);
    const RunEnd end = windowed->run();
    // A simulation still inside its cycle may be encoding a picture with Qt
    // (--png-every): Qt is then left standing until the process ends.
    if (!windowed->simulationEnded()) static_cast<void>(windowed.release());
    return end;
}

}  // namespace kesmir
