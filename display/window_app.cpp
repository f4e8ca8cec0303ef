#include "display/window_app.h"

#include <QApplication>
#include <QIcon>
#include <clocale>
#include <thread>

#include "dialogs/parameter_dialog.h"
#include "display/display_thread.h"
#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/window_system.h"
#include "display/world_window.h"
#include "reports/gui/spot_sample_dialog.h"
#include "reports/model/spot_sample.h"
#include "sim/cycle_gate.h"
#include "sim/eco_node.h"

// The resources live in a static library: register them explicitly, or the
// linker drops them. (The macro cannot be used inside a namespace.)
static void registerResources() {
    Q_INIT_RESOURCE(kesmir);
}

namespace kesmir {

namespace {

// Runs the window until it is closed. The locals go in reverse order: the
// display thread stops before the images it draws into are released.
void runEventLoop(int& argc, char** argv) {
    QApplication app(argc, argv);
    // Qt takes the user's locale; every number the program prints, writes or
    // reads keeps the C library's own form ("250.000000", never "250,000000").
    std::setlocale(LC_NUMERIC, "C");
    registerResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kesmir-icon.png")));

    FrameBuffers buffers;
    WorldWindow window(buffers);
    window.applyInitialGeometry();
    window.show();
    window.applyInitialGeometry();  // now that the frame's size is known
    window.parameterDialogHook = [&window](ParameterDialogKind kind) {
        runParameterDialog(kind, &window);
    };
    window.selectionCompleteHook = [&window](const SpotSelection& selection) {
        UL = vt{selection.UL.x, selection.UL.y};
        LR = vt{selection.LR.x, selection.LR.y};
        spotSample(&window, selection.hScrollPos, selection.vScrollPos);
    };

    DisplayThread display(buffers, overlayFont(window.logicalDpiY()),
                          [&window] { window.requestRepaint(); });
    display.start();
    // Running before the thread starts, so a sample asked for while the world
    // is being seeded waits for the first cycle boundary.
    cycleGate.setRunning(true);
    std::thread(ecoNode).detach();  // ends the process itself by its stop rule
    QApplication::exec();
    display.stop();
}

}  // namespace

int runWindowed(int argc, char** argv) {
    if (!verifiedPlatform.empty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", verifiedPlatform.c_str());
    runEventLoop(argc, argv);
    endProcess(0);
}

}  // namespace kesmir
