#include <QApplication>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

// One application object for the whole run, on TALLYGLASS_TEST_PLATFORM unless the environment
// names another: "offscreen" for widgets without GL, "xcb" for GL (a real X server, Xvfb in CI).
// Listing the tests (done at build time, maybe without a display) needs neither.
int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i) {
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    }
    std::unique_ptr<QApplication> app;
    if (!listing) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", TALLYGLASS_TEST_PLATFORM);
        }
        app = std::make_unique<QApplication>(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
