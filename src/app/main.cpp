#include <QApplication>

#include <cstdlib>

#include "app/CTrafficApp.h"

int main(int argc, char** argv) {
    // The graph window is placed at absolute screen positions, which only X allows: on a
    // Wayland desktop run through XWayland unless the user chose a platform.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") != nullptr) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    // With Mesa's software rasteriser, worker threads cost more in hand-offs than they save on a
    // window this small: render on our own thread unless the user says otherwise.
    setenv("LP_NUM_THREADS", "0", 0);
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tallyglass");
    QApplication::setQuitOnLastWindowClosed(false);

    CTrafficApp app;
    if (!app.InitInstance()) {
        return 1;
    }
    return app.Run();
}
