#include "display/window_app.h"

#include <QApplication>
#include <QIcon>
#include <thread>

#include "display/display_thread.h"
#include "display/frame_buffers.h"
#include "display/overlay_painter.h"
#include "display/window_system.h"
#include "display/world_window.h"
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
    registerResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kesmir-icon.png")));

    FrameBuffers buffers;
    WorldWindow window(buffers);
    window.applyInitialGeometry();
    window.show();
    window.applyInitialGeometry();  // now that the frame's size is known

    DisplayThread display(buffers, overlayFont(window.logicalDpiY()),
                          [&window] { window.requestRepaint(); });
    display.start();
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
