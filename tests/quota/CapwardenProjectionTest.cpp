// The Capwarden window's projection lines, as the user sees them change with the quota.
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "FakeLocaleTexts.h"
#include "QuotaTestSupport.h"
#include "quota/CapwardenWindow.h"

namespace {

class CapwardenProjectionTest : public QuotaFixture {
protected:
    CapwardenProjectionTest() : QuotaFixture({10, 12, 2026}) { localClock.SetTime(12, 0); }

    void Open(const QuotaValues& file) {
        // 1000 MB every day of the month so far: 21.5 days left at 1000 MB a day.
        std::string text = "V1.0.0\n";
        for (int day = 1; day <= 10; ++day) {
            AppendFormatted(text, "%d 12 2026 0 %f\n", day, day < 10 ? 1000.0 : 500.0);
        }
        ASSERT_TRUE(folder.WriteDataFile(CTrafficHistory::kFileName, text));
        StartQuota(&file);
        window = std::make_unique<CapwardenWindow>(*quota, std::make_unique<FakeLocaleTexts>());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // What the two lines say, and whether each is red.
    std::string Lines() {
        std::string shown;
        for (const char* name : {"projectionLine", "secondProjectionLine"}) {
            const QLabel* line = window->findChild<QLabel*>(name);
            if (line == nullptr) {
                return "no " + std::string(name);
            }
            const bool red =
                line->palette().color(QPalette::Active, QPalette::WindowText) == QColor(255, 0, 0);
            shown += "[" + line->text().toStdString() + (red ? "|red" : "") + "]";
        }
        return shown;
    }

    std::unique_ptr<CapwardenWindow> window;
};

TEST_F(CapwardenProjectionTest, OneLinePerLimitInUseRedWhereThePaceHeadsPastIt) {
    Open(ActiveTotalQuota(30000, 8000, 0, 1, {1, 1, 2027}));
    EXPECT_EQ(Lines(), "[Projected: 28.8 GB (98%)][ ]");

    // 300 MB more today: with the window's other figures, the line turns red.
    for (int i = 0; i < CTrafficQuota::kUpdateDivisor; ++i) {
        history->Update(300.0, 0.0);
    }
    EXPECT_EQ(Lines(), "[Projected: 29.9 GB (102%)|red][ ]");

    quota->SetLimitMode(false);
    quota->SetAllowedDownload(50000);
    quota->SetAllowedUpload(0);
    window->Refresh();
    EXPECT_EQ(Lines(), "[Projected download: 29.9 GB (61%)][Projected upload: 0.0 KB (0%)]");

    localClock.SetDate({1, 1, 2027});
    history->Update(300.0, 0.0);  // the quota's next piece of work rolls the period over
    EXPECT_EQ(Lines(), "[Projected download: —][Projected upload: —]");

    quota->Deactivate();
    window->Refresh();
    EXPECT_EQ(Lines(), "[ ][ ]");
}

}  // namespace
