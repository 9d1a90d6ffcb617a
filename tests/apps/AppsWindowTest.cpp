#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "FakeClocks.h"
#include "apps/AppsWindow.h"

namespace {

// Two programs of the user's: "firefox" (pid 10, socket 100) and "curl" (pid 20, socket 200).
class FakeSystem final : public SocketSource, public ProcessSource {
public:
    std::uint64_t firefoxSent = 0;
    std::uint64_t curlReceived = 0;

    bool OpenSockets(std::vector<TcpSocket>& sockets) override {
        TcpSocket firefox;
        firefox.cookie = 1;
        firefox.inode = 100;
        firefox.hasCounters = true;
        firefox.sent = firefoxSent;
        TcpSocket curl = firefox;
        curl.cookie = 2;
        curl.inode = 200;
        curl.sent = 0;
        curl.received = curlReceived;
        sockets = {firefox, curl};
        return true;
    }
    void ClosedSockets(std::vector<TcpSocket>&) override {}
    void Processes(std::vector<ProcessInfo>& processes) override {
        processes = {{10, "firefox", "/usr/lib/firefox/firefox -P work", {100}},
                     {20, "curl", "curl -O https://example.org/big.iso", {200}}};
    }
};

class AppsWindowTest : public ::testing::Test {
protected:
    AppsWindowTest() {
        traffic.Poll(0, 0);
        window.show();
    }

    // The shown rows: name, download speed, upload speed, downloaded, uploaded.
    QStringList Row(int index) const {
        const QTreeWidgetItem* row = Tree("appsTree")->topLevelItem(index);
        QStringList texts;
        for (int column = 0; row != nullptr && column < 5; ++column) {
            texts << row->text(column);
        }
        return texts;
    }

    QTreeWidget* Tree(const char* name) const { return window.findChild<QTreeWidget*>(name); }

    void Sample(std::uint64_t firefoxSent, std::uint64_t curlReceived, std::uint64_t in,
                std::uint64_t out) {
        system.firefoxSent = firefoxSent;
        system.curlReceived = curlReceived;
        clock.Advance(1000);
        traffic.Poll(in, out);
    }

    FakeSystem system;
    FakeMsClock clock;
    CAppTraffic traffic{system, system, clock, 0};
    AppsWindow window{traffic};
};

TEST_F(AppsWindowTest, RowsFollowEachSampleBusiestFirstOtherTrafficLast) {
    EXPECT_EQ(window.windowTitle(), "Applications");
    Sample(1024 * 1024, 0, 2 * 1024 * 1024, 1024 * 1024);
    ASSERT_EQ(Tree("appsTree")->topLevelItemCount(), 3);
    EXPECT_EQ(Row(0), (QStringList{"firefox", "0.0 KB/s", "1.0 MB/s", "0.0 KB", "1.0 MB"}));
    EXPECT_EQ(Row(1)[0], "curl");
    EXPECT_EQ(Row(2), (QStringList{"Other traffic (UDP, other users, system)", "2.0 MB/s",
                                   "0.0 KB/s", "2.0 MB", "0.0 KB"}));

    // Curl takes the lead; the totals stay since the window opened.
    Sample(1024 * 1024, 3 * 1024 * 1024, 3 * 1024 * 1024, 0);
    EXPECT_EQ(Row(0), (QStringList{"curl", "3.0 MB/s", "0.0 KB/s", "3.0 MB", "0.0 KB"}));
    EXPECT_EQ(Row(1)[4], "1.0 MB");
    const QString note = window.findChild<QLabel*>("noteLabel")->text();
    EXPECT_TRUE(note.startsWith("Counted: the TCP traffic of your own programs."))
        << note.toStdString();
    EXPECT_FALSE(note.contains("loopback")) << note.toStdString();

    // More attributed than the interfaces carried: other traffic shows 0 and the note says why.
    Sample(1024 * 1024, 9 * 1024 * 1024, 0, 0);
    EXPECT_EQ(Row(2)[1], "0.0 KB/s");
    EXPECT_TRUE(window.findChild<QLabel*>("noteLabel")->text().contains("loopback"));
}

TEST_F(AppsWindowTest, ClickingARowShowsThatApplicationsProcesses) {
    Sample(0, 4096, 4096, 0);
    QTreeWidget* apps = Tree("appsTree");
    ASSERT_EQ(apps->topLevelItem(0)->text(0), "curl");
    QTest::mouseClick(apps->viewport(), Qt::LeftButton, {},
                      apps->visualItemRect(apps->topLevelItem(0)).center());
    QTreeWidget* processes = Tree("processTree");
    ASSERT_EQ(processes->topLevelItemCount(), 1);
    EXPECT_EQ(processes->topLevelItem(0)->text(0), "20");
    EXPECT_EQ(processes->topLevelItem(0)->text(1), "curl -O https://example.org/big.iso");

    // The chosen application stays chosen when a sample reorders the rows.
    Sample(1024 * 1024, 4096, 1024 * 1024, 1024 * 1024);
    ASSERT_EQ(apps->topLevelItem(1)->text(0), "curl");
    EXPECT_EQ(apps->currentItem()->text(0), "curl");
    EXPECT_EQ(processes->topLevelItem(0)->text(0), "20");
}

}  // namespace
