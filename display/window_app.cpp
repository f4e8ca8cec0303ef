#include "display/window_app.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <clocale>
#include <thread>

#include "dialogs/parameter_dialog.h"
#include "display/display_thread.h"
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
#include "sim/population_history.h"
#include "world/counters.h"

// The resources live in a static library: register them explicitly, or the
// linker drops them. (The macro cannot be used inside a namespace.)
static void registerResources() {
    Q_INIT_RESOURCE(kesmir);
}

namespace kesmir {

namespace {

// G: shows the chart beside the main window, or closes it.
void toggleChart(PopulationChart& chart, const QWidget& beside) {
    if (chart.isVisible()) {
        chart.close();
        return;
    }
    chart.move(beside.frameGeometry().topRight() + QPoint(10, 0));
    chart.show();
}

// Runs the window until it is closed. The locals go in reverse order: the
// display thread stops before the images it draws into are released, and
// the pictures being written are waited for.
void runEventLoop(int& argc, char** argv) {
    QApplication app(argc, argv);
    // Qt takes the user's locale; every number the program prints, writes or
    // reads keeps the C library's own form ("250.000000", never "250,000000").
    std::setlocale(LC_NUMERIC, "C");
    registerResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kesmir-icon.png")));

    BackgroundPictures pictures;
    FrameBuffers buffers;
    WorldWindow window(buffers);
    PopulationChart chart(populationHistory);
    window.applyInitialGeometry();
    window.show();
    window.applyInitialGeometry();  // now that the frame's size is known
    window.parameterDialogHook = [&window](ParameterDialogKind kind) {
        runParameterDialog(kind, &window);
    };
    window.selectionCompleteHook = [&window](const SpotSelection& selection) {
        UL = vt{selection.UL.x, selection.UL.y};
        LR = vt{selection.LR.x, selection.LR.y};
        spotSample(&window, selection.hScrollPos, selection.vScrollPos, selection.zoom);
    };
    window.chartHook = [&chart, &window] { toggleChart(chart, window); };
    chart.keyHook = [&window](QKeyEvent* event) { QCoreApplication::sendEvent(&window, event); };
    window.picturesHook = [&pictures, &chart] { takePictures(pictures, chart); };
    // Q ends the process at once: a picture asked for just before is still
    // written.
    window.quitHook = [&pictures] {
        pictures.wait();
        endProcess(0);
    };

    DisplayThread display(buffers, overlayFont(window.logicalDpiY()),
                          [&window] { window.requestRepaint(); });
    window.viewChangedHook = [&display](const WorldView& view) { display.showView(view); };
    display.showView(window.view());
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
