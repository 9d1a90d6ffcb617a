#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "TrayTestSupport.h"

// Tray tests run on a private D-Bus session bus, so what they see never depends on the desktop
// they run in. Programs built with TALLYGLASS_SNI_WATCHER also start a StatusNotifierWatcher
// before the application first looks for a tray (Qt decides the tray protocol once, then).
// Listing the tests (done at build time) needs neither, nor an X server.

namespace {
WatcherProcess* watcher = nullptr;
}

WatcherProcess* TestWatcher() {
    return watcher;
}

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
    PrivateSessionBus bus;
    std::unique_ptr<QApplication> app;
    std::unique_ptr<WatcherProcess> ownWatcher;
    if (!listing) {
        std::string error;
        if (!bus.Start(error)) {
            std::fprintf(stderr, "private session bus: %s\n", error.c_str());
            return 1;
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "xcb");
        }
        app = std::make_unique<QApplication>(argc, argv);
#ifdef TALLYGLASS_SNI_WATCHER
        ownWatcher = std::make_unique<WatcherProcess>(TALLYGLASS_SNI_WATCHER);
        if (!ownWatcher->Start()) {
            std::fprintf(stderr, "the StatusNotifierWatcher helper did not start\n");
            return 1;
        }
        watcher = ownWatcher.get();
#endif
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    watcher = nullptr;
    ownWatcher.reset();
    app.reset();
    return result;
}
