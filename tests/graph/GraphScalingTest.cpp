#include "graph/CGraphGeometry.h"
#include "graph/CGraphScale.h"
#include "graph/CSampleList.h"
#include "graph/CScrollPacer.h"
#include "graph/CSeriesPlan.h"

#include <gtest/gtest.h>

namespace {

// The view's resize order.
void Resize(CGraphGeometry& geometry, int width, int height) {
    geometry.SetWidth(width);
    geometry.SetHeight(height);
    geometry.SetPlotWidth(width);
    geometry.SetBaseline(height);
}

}  // namespace

TEST(CGraphGeometry, BottomMarginFollowsTheWidthBands) {
    const int widths[] = {0, 79, 80, 110, 111, 129, 130, 179, 180, 259, 260, 2000};
    const int margins[] = {1, 1, 25, 25, 12, 12, 14, 14, 15, 15, 17, 17};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(CGraphGeometry::BottomMarginFor(widths[i]), margins[i]) << widths[i];
    }
}

TEST(CGraphGeometry, ResizeSetsBaselineAndPlotHeight) {
    CGraphGeometry geometry;
    geometry.SetWidth(300);  // still the old height of 1
    EXPECT_EQ(geometry.Baseline(), 1 - 17);
    EXPECT_EQ(geometry.PlotHeight(), 17);

    Resize(geometry, 300, 120);
    EXPECT_EQ(geometry.Height(), 120);
    EXPECT_EQ(geometry.PlotWidth(), 300);
    EXPECT_EQ(geometry.Baseline(), 103);
    EXPECT_EQ(geometry.PlotHeight(), 102);
    EXPECT_DOUBLE_EQ(geometry.SpeedToY(7.0, 7.0), 1.0);  // full scale reaches the top margin
    EXPECT_DOUBLE_EQ(geometry.SpeedToY(0.0, 7.0), 103.0);
    EXPECT_DOUBLE_EQ(geometry.SpeedToY(14.0, 7.0), -101.0);  // above the window, clipped
}

TEST(CGraphScale, RescalesOnTheFirstDrawThenEveryEightieth) {
    CGraphScale scale;
    EXPECT_EQ(scale.Scale(), 5.0);
    scale.EndDraw(0.3, 0.2);  // nearly idle: both floors to 1
    EXPECT_EQ(scale.DownloadScale(), 1.0);
    EXPECT_EQ(scale.UploadScale(), 1.0);

    for (int i = 0; i < 79; ++i) {
        scale.EndDraw(50.0, 60.0);
    }
    EXPECT_EQ(scale.Scale(), 1.0);  // not yet
    scale.EndDraw(0.7, 0.5);
    EXPECT_EQ(scale.DownloadScale(), 0.7);
    EXPECT_EQ(scale.UploadScale(), 0.5);
    EXPECT_EQ(scale.Scale(), 0.7);
    EXPECT_EQ(scale.Countdown(), 80);
}

TEST(CScrollPacer, AStepTakesSixtyTwoCalls) {
    CScrollPacer pacer;
    for (int cycle = 0; cycle < 3; ++cycle) {
        int calls = 0;
        while (pacer.NextFrame(false)) {
            ++calls;
        }
        ++calls;  // the sampling frame
        EXPECT_EQ(calls, 62) << cycle;
        EXPECT_EQ(pacer.Accumulator(), 0.0f);
    }

    pacer.SetAccumulator(1.5f);
    EXPECT_FALSE(pacer.NextFrame(true));  // nothing to draw: restart the step
    EXPECT_EQ(pacer.Accumulator(), 0.0f);
}

TEST(CSeriesPlan, PlacesVisibleSamplesNewestFirstAndNeverTheOldest) {
    CGraphGeometry geometry;
    Resize(geometry, 30, 118);  // baseline 118 - 1 = 117, plot height 116
    CSeriesPlan plan;
    CSampleList list;

    list.Append(99.0, 99.0);
    plan.Build(list, geometry, 3.0f, 1.0f, 10.0);
    EXPECT_EQ(plan.Count(), 0);  // the only sample is the oldest
    EXPECT_EQ(plan.MaxDownload(), 0.0);

    for (int i = 1; i <= 20; ++i) {
        list.Append(i, 2.0 * i);
    }
    plan.Build(list, geometry, 3.0f, 1.0f, 40.0);
    // x = 30 - 1 + 3 = 32, 29, ..., down to the last one above -3.
    ASSERT_EQ(plan.Count(), 12);
    EXPECT_FLOAT_EQ(plan.Point(0).x, 32.0f);
    EXPECT_FLOAT_EQ(plan.Point(11).x, -1.0f);
    EXPECT_FLOAT_EQ(plan.NextX(), -4.0f);
    EXPECT_DOUBLE_EQ(plan.Point(0).downloadHeight, 20.0 / 40.0 * 116.0);
    EXPECT_DOUBLE_EQ(plan.Point(0).uploadY, 117.0 - 116.0);
    EXPECT_DOUBLE_EQ(plan.Point(1).downloadY, 117.0 - 19.0 / 40.0 * 116.0);
    EXPECT_EQ(plan.MaxDownload(), 20.0);
    EXPECT_EQ(plan.MaxUpload(), 40.0);

    // A wide window reaches the end of the list; the 99 at the old end is never placed.
    Resize(geometry, 400, 118);
    plan.Build(list, geometry, 3.0f, 0.0f, 40.0);
    EXPECT_EQ(plan.Count(), 20);
    EXPECT_EQ(plan.MaxDownload(), 20.0);
}
