#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "ChartPixels.h"
#include "HistoryTableBuilder.h"
#include "statistics/CStatisticsChart.h"
#include "statistics/ChartPlan.h"

namespace {

constexpr double kStep = 1.8 / 31;
// Where things land on the screen: lines, day numbers and axes are drawn 0.05 to the right,
// amount labels and the legend 0.03 to the left.
constexpr double kLineShift = 0.05;
constexpr double kLabelShift = -0.03;

double DayX(int day) {
    return -0.9 + (day - 1) * kStep + kLineShift;
}

bool Near(const Rgb& c, const Rgb& expected, int tolerance) {
    return std::abs(c.r - expected.r) <= tolerance && std::abs(c.g - expected.g) <= tolerance &&
           std::abs(c.b - expected.b) <= tolerance;
}

class ChartPixelTest : public ::testing::Test {
protected:
    // A tall chart keeps the zero line (-0.8) apart from the x axis (-0.79) by a few pixels.
    void Show(int width = 400, int height = 600) {
        chart_.resize(width, height);
        chart_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart_, 20000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return chart_.HasContext(); }, 20000));
    }

    int restored_ = 0;
    CStatisticsChart chart_{[this] { ++restored_; }};
};

TEST_F(ChartPixelTest, BackgroundIsDarkerAtTheTop) {
    Show();
    chart_.Draw(PlanChart(HistoryDayMap{}));
    const ChartPixels pixels(chart_);
    ASSERT_TRUE(pixels.Rendered());
    const Rgb top{112, 152, 202};
    const Rgb bottom{132, 179, 238};
    const int right = pixels.Width() - 1;
    const int last = pixels.Height() - 1;
    EXPECT_TRUE(Near(pixels.At(0, 0), top, 2)) << pixels.At(0, 0);
    EXPECT_TRUE(Near(pixels.At(right, 0), top, 2)) << pixels.At(right, 0);
    EXPECT_TRUE(Near(pixels.At(0, last), bottom, 2)) << pixels.At(0, last);
    EXPECT_TRUE(Near(pixels.At(right, last), bottom, 2)) << pixels.At(right, last);
}

// Days 1, 2, 3 and 6 recorded: the largest amount reaches 0.75, another its share of the scale,
// and the missing 4th and 5th lie on the zero line. (Day 1 sits under the y axis, so the peaks
// are measured on later days.)
TEST_F(ChartPixelTest, VerticesSitAtTheHeightTheirAmountsGive) {
    Show();
    HistoryTableBuilder history;
    history.Add(1, 3, 2026, 10.0, 5.0)
        .Add(2, 3, 2026, 200.0, 20.0)
        .Add(3, 3, 2026, 20.0, 100.0)
        .Add(6, 3, 2026, 50.0, 50.0);
    const int before = restored_;
    chart_.Draw(PlanChart(history.Month(3, 2026)));
    EXPECT_GT(restored_, before) << "the graph's context was not given back";

    const ChartPixels pixels(chart_);
    ASSERT_TRUE(pixels.Rendered());
    struct Vertex {
        const char* what;
        int day;
        double y;  // on the screen
        bool (*colour)(const Rgb&);
    };
    const Vertex peaks[] = {
        {"download maximum", 2, 0.75, IsGreen},
        {"upload of day 3: half the maximum", 3, 0.5 * 1.48 - 0.8 + 0.07, IsYellow},
    };
    for (const Vertex& v : peaks) {
        const int column = pixels.Column(DayX(v.day));
        const int row = pixels.TopmostRow(column, v.colour);
        EXPECT_NEAR(row, pixels.Row(v.y), 2) << v.what;
    }

    // Between the missing days the lines run flat along the zero line, nothing above it.
    const int between = pixels.Column(DayX(4) + kStep / 2);
    const int zeroRow = pixels.Row(-0.8);
    EXPECT_NEAR(pixels.TopmostRow(between, IsLine), zeroRow, 2);
    EXPECT_GT(pixels.Count(QRect(between, zeroRow - 1, 1, 3), IsLine), 0);
}

TEST_F(ChartPixelTest, LabelsDayNumbersAndLegendLandWhereTheyBelong) {
    Show();
    HistoryTableBuilder history;
    history.Add(1, 3, 2026, 850.0, 10.0).Add(12, 3, 2026, 100.0, 400.0);
    chart_.Draw(PlanChart(history.Month(3, 2026)));
    const ChartPixels pixels(chart_);
    ASSERT_TRUE(pixels.Rendered());

    // A 10-pixel font: glyphs stand on the raster position and rise about 8 pixels.
    const auto textBox = [&](double x, double y, int width) {
        return QRect(pixels.Column(x), pixels.Row(y) - 9, width, 11);
    };
    const double labelX = -0.95 + kLabelShift;
    for (double y : {0.75, -0.04, -0.82}) {
        EXPECT_GT(pixels.Count(textBox(labelX, y, 36), IsText), 10) << "amount label at " << y;
    }
    // Day numbers 1 to 12 along the bottom, from the first one on.
    const double numbersX = -0.91 + kLineShift;
    EXPECT_GT(pixels.Count(textBox(numbersX, -0.95, 8), IsText), 5) << "day 1";
    EXPECT_GT(pixels.Count(textBox(numbersX + 9 * 0.0573645, -0.95, 14), IsText), 8) << "day 10";
    // Nothing printed past the last recorded day.
    EXPECT_EQ(pixels.Count(textBox(DayX(14), -0.95, 60), IsText), 0);
}

// The legend stands above the y axis's top at the right, where no line reaches even when the
// last days of a 31-day month hold its maximum: a green and a yellow square with their words,
// and no line pixel among them. In pixels from the chart's edges, whatever its size.
TEST_F(ChartPixelTest, LegendStandsWhereNoLineReaches) {
    for (const QSize size : {QSize(400, 600), QSize(700, 240), QSize(1400, 900)}) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        Show(size.width(), size.height());
        HistoryTableBuilder history;
        for (int day = 1; day <= 31; ++day) {
            history.Add(day, 1, 2026, day >= 29 ? 900.0 : 100.0, day >= 29 ? 900.0 : 50.0);
        }
        chart_.Draw(PlanChart(history.Month(1, 2026)));
        const ChartPixels pixels(chart_);
        ASSERT_TRUE(pixels.Rendered());
        const QRect band(pixels.Width() / 2, 0, pixels.Width() / 2, pixels.Row(0.79));
        EXPECT_GT(pixels.Count(band, IsGreen), 20);
        EXPECT_GT(pixels.Count(band, IsYellow), 20);
        EXPECT_GT(pixels.Count(band, IsText), 30) << "the legend's words";
        // Between the legend and the peaks of days 29 to 31 (at 0.75) lies a clear gap.
        const int gapTop = pixels.Row(0.79);
        const QRect gap(pixels.Width() / 2, gapTop, pixels.Width() / 2,
                        pixels.Row(0.75) - 3 - gapTop + 1);
        EXPECT_EQ(pixels.Count(gap, [](const Rgb& c) { return IsLine(c) || IsText(c); }), 0);
        EXPECT_GT(
            pixels.Count(QRect(pixels.Column(DayX(30)) - 1, pixels.Row(0.75) - 3, 3, 7), IsLine), 0)
            << "the peak";
    }
}

// Hidden, the chart makes no GL calls and leaves the current context alone; shown, it draws
// what it was last given.
TEST_F(ChartPixelTest, DrawsNothingUntilShownThenTheLastMonth) {
    HistoryTableBuilder history;
    history.Add(1, 3, 2026, 1.0, 1.0);
    chart_.Draw(PlanChart(history.Month(3, 2026)));
    EXPECT_FALSE(chart_.HasContext());
    EXPECT_EQ(restored_, 0);

    Show();
    EXPECT_GT(restored_, 0);
    const ChartPixels pixels(chart_);
    ASSERT_TRUE(pixels.Rendered());
    EXPECT_GT(pixels.Count(QRect(0, 0, pixels.Width(), pixels.Row(0.79)), IsGreen), 20);
}

}  // namespace
