// WebStats inside the real main frame: uploads never hold up a frame, and their log lines reach
// the open window on the user-interface thread.

#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include "FtpTestServer.h"
#include "MainFrameFixture.h"
#include "persistence/DataFile.h"
#include "webstats/CWebStats.h"
#include "webstats/CWebStatsPublisher.h"
#include "webstats/WebStatsWindow.h"

namespace fs = std::filesystem;

namespace {

class WebStatsFrameTest : public MainFrameFixture {
protected:
    void SeedWebStats(int port) {
        ASSERT_TRUE(WriteFileAtomically((dir_.Path() / "webstats.dat").string(),
                                        "V1.0.0\n127.0.0.1\n/\nindex.html\nuser\nsecret\n" +
                                            std::to_string(port) + "\n30000\n1\n"));
    }

    // Frames as the run loop would drive them (10 ms of the graph's clock each), counted, until
    // `done` holds.
    bool RunFramesUntil(CMainFrame& frame, const std::function<bool()>& done) {
        QTimer pacer;
        QObject::connect(&pacer, &QTimer::timeout, [&] {
            msClock_.Advance(10);
            frame.RunFrame();
        });
        pacer.start(5);
        return QTest::qWaitFor(done, 60000);
    }

    // Moves the clocks an interval on and runs frames until the next sample starts an upload.
    void StartUpload(CMainFrame& frame) {
        msClock_.Advance(31000);
        ASSERT_TRUE(RunFramesUntil(frame, [&] { return frame.Meter().WebStats().UploadBusy(); }));
    }
};

TEST_F(WebStatsFrameTest, AServerThatNeverAnswersDoesNotStopTheGraph) {
    FtpTestServer hung(dir_.Str(), {"--hang"});
    ASSERT_NE(hung.Port(), 0);
    SeedWebStats(hung.Port());
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    frame->Meter().WebStatsPublisher().SetOptions(FtpOptions{4000, 4000, ""});
    frame->RunFrame();

    StartUpload(*frame);
    const std::uint64_t before = frame->FrameCount();
    ASSERT_TRUE(RunFramesUntil(*frame, [&] { return !frame->Meter().WebStats().UploadBusy(); }));
    const std::uint64_t during = frame->FrameCount() - before;
    // Four seconds waiting for a greeting, a frame every 5 ms of the test's timer (fewer on a
    // busy machine). Frames that waited for the upload would have left one or two.
    EXPECT_GT(during, 25u);
    const auto log = frame->Meter().WebStats().CopyLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(": The server did not answer within 4 s."), std::string::npos) << log[0];
}

TEST_F(WebStatsFrameTest, EachUploadAddsOneLineToTheOpenWindow) {
    fs::create_directories(dir_.Path() / "ftp");
    FtpTestServer server((dir_.Path() / "ftp").string());
    ASSERT_NE(server.Port(), 0);
    SeedWebStats(server.Port());
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    frame->RunFrame();
    frame->Tools().OpenWebStats();
    frame->Tools().OpenWebStats();  // the open window comes to the front; no second one
    WebStatsWindow* window = frame->Tools().WebStatsWindowIfOpen();
    ASSERT_NE(window, nullptr);
    auto* list = window->findChild<QListWidget*>("logList");
    ASSERT_NE(list, nullptr);

    for (int upload = 1; upload <= 2; ++upload) {
        StartUpload(*frame);
        ASSERT_TRUE(RunFramesUntil(*frame, [&] { return list->count() == upload; }));
        EXPECT_TRUE(list->item(upload - 1)->text().endsWith(": Uploaded stats page"))
            << list->item(upload - 1)->text().toStdString();
    }
    QTest::qWait(50);
    EXPECT_EQ(list->count(), 2);
    EXPECT_TRUE(fs::exists(dir_.Path() / "ftp/index.html"));
    EXPECT_TRUE(fs::exists(dir_.Path() / "ws.html"));  // written in the data folder
    // Shutdown closes the window first; it lets go of the model.
    frame.reset();
}

}  // namespace
