#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QOpenGLContext>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ChartPixels.h"
#include "FakeClocks.h"
#include "FakeLocaleTexts.h"
#include "MainFrameFixture.h"
#include "TempDir.h"
#include "graphgl/CGraphWindow.h"
#include "hourly/CHourlyStore.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/DataFile.h"
#include "platform/QtLocaleTexts.h"
#include "statistics/CStatisticsChart.h"
#include "statistics/StatisticsWindow.h"

namespace {

constexpr int kWait = 20000;  // ms; generous for a loaded machine

// November and December 2025 and January 2026 (day month year upload download).
constexpr const char* kWinter =
    "V1.0.0\n"
    "29 11 2025 10.000000 100.000000\n"
    "30 11 2025 0.300000 0.500000\n"
    "1 12 2025 1.000000 20.000000\n"
    "20 12 2025 1.000000 2048.000000\n"
    "1 1 2026 0.500000 0.500000\n";

QStringList RowTexts(const QTreeWidget* list, int row) {
    QStringList texts;
    const QTreeWidgetItem* item = list->topLevelItem(row);
    for (int c = 0; item != nullptr && c < list->columnCount(); ++c) {
        texts << item->text(c);
    }
    return texts;
}

// A statistics window over a real history in a temporary folder, with hand-moved clocks,
// fixed date texts and a real graph window whose context the chart must give back.
class StatisticsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(graph_.CreateGL(error)) << error.toStdString();
    }

    void TearDown() override { delete window_.data(); }

    void Open(const std::string& statsFile, LocalDate today,
              std::unique_ptr<LocaleTexts> texts = std::make_unique<FakeLocaleTexts>()) {
        ASSERT_TRUE(folder_.EnsureDataFolder());
        ASSERT_TRUE(WriteFileAtomically(folder_.DataFilePath("stats.dat"), statsFile));
        clock_.SetDate(today);
        history_ = std::make_unique<CTrafficHistory>(folder_, ms_, clock_);
        window_ = new StatisticsWindow(
            *history_, store_.get(), [this] { graph_.MakeCurrent(); }, std::move(texts));
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.data(), kWait));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Chart()->HasContext(); }, kWait));
    }

    QTreeWidget* Months() const { return window_->findChild<QTreeWidget*>("monthsList"); }
    QTreeWidget* Days() const { return window_->findChild<QTreeWidget*>("daysList"); }
    QString Label(const char* name) const { return window_->findChild<QLabel*>(name)->text(); }

    void ClickMonth(int row) {
        QTreeWidget* list = Months();
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    bool GraphIsCurrent() const { return QOpenGLContext::currentContext() == graph_.Context(); }

    TempDir dir_;
    CDataFolder folder_{dir_.Str(), dir_.Str()};
    FakeMsClock ms_{1000};
    FakeLocalClock clock_;
    CGraphWindow graph_;
    std::unique_ptr<CTrafficHistory> history_;
    FakeLocalZone zone_;                   // UTC
    std::unique_ptr<CHourlyStore> store_;  // none unless a test makes one
    QPointer<StatisticsWindow> window_;
};

TEST_F(StatisticsWindowTest, ListsNewestFirstAndAClickShowsThatMonth) {
    Open(kWinter, {10, 1, 2026});
    EXPECT_TRUE(GraphIsCurrent());
    ASSERT_EQ(Months()->topLevelItemCount(), 3);
    EXPECT_EQ(RowTexts(Months(), 0),
              QStringList({"January", "2026", "512.0 KB", "512.0 KB", "1024.0 KB"}));
    EXPECT_EQ(RowTexts(Months(), 1),
              QStringList({"December", "2025", "2.0 GB", "2.0 MB", "2.0 GB"}));
    EXPECT_EQ(RowTexts(Months(), 2),
              QStringList({"November", "2025", "100.5 MB", "10.3 MB", "110.8 MB"}));
    // Today has a record from the start, so it heads the days of the current month.
    ASSERT_EQ(Days()->topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(Days(), 0), QStringList({"10/1/2026", "0.0 KB", "0.0 KB", "0.0 KB"}));
    EXPECT_EQ(RowTexts(Days(), 1), QStringList({"1/1/2026", "512.0 KB", "512.0 KB", "1024.0 KB"}));
    EXPECT_EQ(window_->findChild<QGroupBox*>("sinceBox")->title(), "Since: 29/11/2025");
    // Without the hourly store there is nothing to choose from.
    EXPECT_FALSE(window_->findChild<QComboBox*>("interfaceChoice")->isVisible());

    // December's largest day is the 20th: nothing of January's chart is drawn that far right.
    const auto day20Peak = [&] {
        const ChartPixels pixels(*window_->Chart());
        const int column = pixels.Column(-0.9 + 19 * 1.8 / 31 + 0.05);
        return pixels.TopmostRow(column, IsGreen) - pixels.Row(0.75);
    };
    EXPECT_GT(std::abs(day20Peak()), 10);

    ClickMonth(1);
    EXPECT_TRUE(GraphIsCurrent()) << "after the chart of the click";
    EXPECT_EQ(window_->ShownMonth(), (MonthKey{12, 2025}));
    ASSERT_EQ(Days()->topLevelItemCount(), 2);
    EXPECT_EQ(RowTexts(Days(), 0), QStringList({"20/12/2025", "2.0 GB", "1024.0 KB", "2.0 GB"}));
    EXPECT_EQ(RowTexts(Days(), 1), QStringList({"1/12/2025", "20.0 MB", "1024.0 KB", "21.0 MB"}));
    EXPECT_LE(std::abs(day20Peak()), 2);

    ClickMonth(2);
    EXPECT_EQ(window_->ShownMonth(), (MonthKey{11, 2025}));
    EXPECT_EQ(RowTexts(Days(), 0).value(0), "30/11/2025");
}

// With the hourly store: "All monitored" is the window as it is without it; an interface's
// choice fills the lists and the "Since" totals with its days alone (an excluded one marked);
// a day picked in the days list shows its hours in the chart, a month picked its days again.
TEST_F(StatisticsWindowTest, AnInterfaceChoiceFiltersEverythingAndADayShowsItsHours) {
    constexpr std::int64_t kNewYear = 1767225600;  // 2026-01-01 00:00 UTC
    constexpr std::int64_t kMB = 1048576;
    store_ = std::make_unique<CHourlyStore>(folder_, zone_);
    ASSERT_TRUE(folder_.EnsureDataFolder());
    ASSERT_EQ(store_->Open(kNewYear), CHourlyStore::OpenOutcome::Created);
    const std::vector<HourRow> rows = {
        {"eth0", kNewYear + 5 * 3600, 3 * kMB, kMB, true},
        {"eth0", kNewYear - 12 * 86400 + 10 * 3600, kMB, 0, true},
        {"docker0", kNewYear, 2 * kMB, 2 * kMB, false},
    };
    ASSERT_TRUE(store_->Save(rows));
    Open(kWinter, {10, 1, 2026});
    QComboBox* choice = window_->findChild<QComboBox*>("interfaceChoice");
    ASSERT_TRUE(choice->isVisible());
    ASSERT_EQ(choice->count(), 3);
    EXPECT_EQ(choice->itemText(1), "docker0 (excluded)");

    struct Case {
        const char* name;
        int choice;
        QStringList topMonth;
        int months;
        QString since;
        QString sinceDownload;
        bool sessionShown;
    } const cases[] = {
        {"one interface",
         2,
         {"January", "2026", "3.0 MB", "1024.0 KB", "4.0 MB"},
         2,
         "Since: 20/12/2025",
         "4.0 MB",
         false},
        {"an excluded one",
         1,
         {"January", "2026", "2.0 MB", "2.0 MB", "4.0 MB"},
         1,
         "Since: 1/1/2026",
         "2.0 MB",
         false},
        {"all monitored",
         0,
         {"January", "2026", "512.0 KB", "512.0 KB", "1024.0 KB"},
         3,
         "Since: 29/11/2025",
         "2.1 GB",
         true},
    };
    for (const Case& c : cases) {
        choice->setCurrentIndex(c.choice);
        EXPECT_EQ(RowTexts(Months(), 0), c.topMonth) << c.name;
        EXPECT_EQ(Months()->topLevelItemCount(), c.months) << c.name;
        EXPECT_EQ(window_->findChild<QGroupBox*>("sinceBox")->title(), c.since) << c.name;
        EXPECT_EQ(Label("sinceDownloadValue"), c.sinceDownload) << c.name;
        EXPECT_EQ(window_->findChild<QGroupBox*>("sessionBox")->isEnabled(), c.sessionShown)
            << c.name;
    }

    // eth0's New Year's Day: its busy hour, 05:00, reaches the chart's top.
    choice->setCurrentIndex(2);
    ASSERT_EQ(RowTexts(Days(), 0).value(0), "1/1/2026");
    const auto peakAt = [&](double x) {
        const ChartPixels pixels(*window_->Chart());
        const int column = pixels.Column(x + 0.05);
        return std::abs(pixels.TopmostRow(column, IsGreen) - pixels.Row(0.75));
    };
    const double fiveOClock = -0.9 + 5 * (30 * 1.8 / 31 / 23);  // 24 hours over a month's width
    const QRect day = Days()->visualItemRect(Days()->topLevelItem(0));
    QTest::mouseClick(Days()->viewport(), Qt::LeftButton, {}, day.center());
    EXPECT_EQ(window_->ShownDay(), (LocalDate{1, 1, 2026}));
    EXPECT_TRUE(GraphIsCurrent());
    EXPECT_LE(peakAt(fiveOClock), 2);
    // The month's chart again: no line reaches the top at 05:00's place.
    ClickMonth(0);
    EXPECT_FALSE(window_->ShownDay().has_value());
    EXPECT_GT(peakAt(fiveOClock), 10);
}

// In the desktop's font or a larger one, and whatever the locale writes as a date, every month
// name, date, amount and title fits its column; a list with more rows than it shows has a
// vertical scroll bar and never a horizontal one.
TEST_F(StatisticsWindowTest, NothingIsCutAndOnlyAVerticalScrollBarComesPastTheRowsShown) {
    struct Case {
        const char* locale;
        int points;  // the desktop's font size; 0: as it is
        int months;
        int days;
    };
    const Case cases[] = {
        {"C", 0, 1, 1},       {"C", 0, 17, 18},  {"C", 0, 18, 19},
        {"de_DE", 0, 25, 31}, {"C", 13, 17, 18}, {"de_DE", 13, 26, 19},
    };
    const QFont desktopFont = QApplication::font();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + ", " + std::to_string(c.points) + " pt, " +
                     std::to_string(c.months) + " months, " + std::to_string(c.days) + " days");
        QFont font = desktopFont;
        if (c.points > 0) {
            font.setPointSize(c.points);
        }
        QApplication::setFont(font);
        // c.months - 1 earlier months with a day each, then c.days days of December 2026, each
        // with amounts as wide as any: 1000.0 MB down, 24.0 MB up, 1024.0 MB in all.
        std::string file = "V1.0.0\n";
        for (int m = c.months - 1; m >= 1; --m) {
            const int index = 2026 * 12 + 11 - m;  // months before December 2026
            file += "28 " + std::to_string(index % 12 + 1) + " " + std::to_string(index / 12) +
                    " 24.0 1000.0\n";
        }
        for (int d = 1; d <= c.days; ++d) {
            file += std::to_string(d) + " 12 2026 24.0 1000.0\n";
        }
        Open(file, {c.days, 12, 2026}, std::make_unique<QtLocaleTexts>(QLocale(c.locale)));
        const std::pair<QTreeWidget*, int> lists[] = {{Months(), c.months}, {Days(), c.days}};
        const int shown[] = {kMonthRowsShown, kDayRowsShown};
        for (int l = 0; l < 2; ++l) {
            QTreeWidget* list = lists[l].first;
            const int rows = lists[l].second;
            ASSERT_EQ(list->topLevelItemCount(), rows);
            // Scrolled by rows: the range is how many rows do not fit.
            const int hidden = std::max(0, rows - shown[l]);
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return list->verticalScrollBar()->maximum() == hidden; }, kWait))
                << list->objectName().toStdString() << " hides "
                << list->verticalScrollBar()->maximum() << " rows";
            EXPECT_EQ(list->verticalScrollBar()->isVisible(), hidden > 0);
            int columns = 0;
            for (int col = 0; col < list->columnCount(); ++col) {
                columns += list->columnWidth(col);
            }
            EXPECT_LE(columns, list->viewport()->width()) << list->objectName().toStdString();
            // What the list itself finds its texts and titles need, column by column.
            for (int col = 0; col < list->columnCount(); ++col) {
                const int width = list->columnWidth(col);
                list->resizeColumnToContents(col);
                EXPECT_GE(width, list->columnWidth(col))
                    << list->objectName().toStdString() << " column " << col << ": "
                    << list->topLevelItem(0)->text(col).toStdString();
            }
        }
        EXPECT_EQ(Months()->topLevelItem(0)->textAlignment(0) & Qt::AlignHorizontal_Mask,
                  Qt::AlignLeft);
        EXPECT_EQ(Days()->headerItem()->text(3), "Total");
        delete window_.data();
    }
    QApplication::setFont(desktopFont);
}

// Every history update rewrites today's figures and the totals; the choice of another month
// holds until the date changes, and then the window returns to the current month.
TEST_F(StatisticsWindowTest, FollowsTheHistoryLiveAndReturnsToTheCurrentMonthAtMidnight) {
    Open(kWinter, {10, 1, 2026});
    // Since values are there from the start: 2169 MB and 12.8 MB were recorded before.
    EXPECT_EQ(Label("sinceDownloadValue"), "2.1 GB");
    EXPECT_EQ(Label("sinceUploadValue"), "12.8 MB");
    EXPECT_EQ(Label("sessionDownloadValue"), "0.0 KB");

    history_->Update(3.0, 1.5);
    EXPECT_TRUE(GraphIsCurrent());
    EXPECT_EQ(RowTexts(Days(), 0), QStringList({"10/1/2026", "3.0 MB", "1.5 MB", "4.5 MB"}));
    EXPECT_EQ(RowTexts(Months(), 0),
              QStringList({"January", "2026", "3.5 MB", "2.0 MB", "5.5 MB"}));
    // No tooltip tells older figures than its cell.
    for (const QTreeWidget* list : {Days(), Months()}) {
        const QTreeWidgetItem* top = list->topLevelItem(0);
        for (int c = 0; c < list->columnCount(); ++c) {
            EXPECT_TRUE(top->toolTip(c).isEmpty() || top->toolTip(c) == top->text(c))
                << top->toolTip(c).toStdString() << " over " << top->text(c).toStdString();
        }
    }
    EXPECT_EQ(Label("sessionDownloadValue"), "3.0 MB");
    EXPECT_EQ(Label("sessionUploadValue"), "1.5 MB");
    EXPECT_EQ(Label("sinceUploadValue"), "14.3 MB");

    // Another month chosen: it stays while the current month's row keeps counting.
    ClickMonth(1);
    history_->Update(4.0, 2.0);
    EXPECT_EQ(window_->ShownMonth(), (MonthKey{12, 2025}));
    EXPECT_EQ(RowTexts(Days(), 0).value(0), "20/12/2025");
    EXPECT_EQ(RowTexts(Months(), 0).value(2), "4.5 MB");

    // Midnight: back to January, whose new day heads the list.
    clock_.SetDate({11, 1, 2026});
    history_->Update(4.5, 2.0);
    EXPECT_EQ(window_->ShownMonth(), (MonthKey{1, 2026}));
    ASSERT_EQ(Days()->topLevelItemCount(), 3);
    EXPECT_EQ(RowTexts(Days(), 0), QStringList({"11/1/2026", "512.0 KB", "0.0 KB", "512.0 KB"}));
    EXPECT_EQ(RowTexts(Days(), 1).value(1), "4.0 MB");

    // A new month: the months list is rebuilt with it on top.
    clock_.SetDate({1, 2, 2026});
    history_->Update(6.0, 3.0);
    ASSERT_EQ(Months()->topLevelItemCount(), 4);
    EXPECT_EQ(RowTexts(Months(), 0),
              QStringList({"February", "2026", "1.5 MB", "1024.0 KB", "2.5 MB"}));
    EXPECT_EQ(RowTexts(Days(), 0), QStringList({"1/2/2026", "1.5 MB", "1024.0 KB", "2.5 MB"}));
    EXPECT_EQ(Days()->columnWidth(3), 96);
    EXPECT_TRUE(GraphIsCurrent());
}

using StatisticsFromMenuTest = MainFrameFixture;

TEST_F(StatisticsFromMenuTest, OpensOnceFollowsSamplesAndLetsGoWhenClosed) {
    auto frame = MakeFrame();
    ASSERT_TRUE(frame);
    const std::size_t observers = frame->Meter().History().ObserverCount();

    frame->Tools().OpenStatistics();
    QPointer<StatisticsWindow> window = frame->Tools().Statistics();
    ASSERT_TRUE(window);
    frame->Tools().OpenStatistics();  // a second command shows the same window
    EXPECT_EQ(frame->Tools().Statistics(), window.data());
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        windows += qobject_cast<StatisticsWindow*>(widget) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(frame->Meter().History().ObserverCount(), observers + 1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data(), kWait));

    // Samples taken by the frame reach the window, and the graph keeps its context.
    frame->RunFrame();
    source_.AddTraffic(1, 5 * 1048576, 1048576);
    msClock_.Advance(1000);
    for (int i = 0; i < 62; ++i) {
        frame->RunFrame();
    }
    EXPECT_EQ(window->findChild<QLabel*>("sessionDownloadValue")->text(), "5.0 MB");
    EXPECT_EQ(QOpenGLContext::currentContext(), frame->Graph().Window()->Context());

    // OK closes it; it deletes itself and stops listening.
    QTest::mouseClick(window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, kWait));
    EXPECT_EQ(frame->Tools().Statistics(), nullptr);
    EXPECT_EQ(frame->Meter().History().ObserverCount(), observers);
    EXPECT_EQ(QOpenGLContext::currentContext(), frame->Graph().Window()->Context());

    // Shutting down with the window open closes it before the history goes.
    frame->Tools().OpenStatistics();
    window = frame->Tools().Statistics();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.data(), kWait));
    frame.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(std::filesystem::exists(dir_.Path() / "stats.dat"));
}

}  // namespace
