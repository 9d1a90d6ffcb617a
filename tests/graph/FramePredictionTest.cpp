// The run loop sleeps through frames on the strength of what the graph models predict about
// them; each prediction must agree with what working the frames one by one then does.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graph/CDialModel.h"
#include "graph/CScrollPacer.h"
#include "graph/CSeriesPlan.h"
#include "graph/CWarningBlink.h"

TEST(FramePrediction, TheScrollForetellsItsSampleAndEachQuarterPixel) {
    CScrollPacer pacer;
    for (int frame = 0; frame < 200; ++frame) {
        SCOPED_TRACE(frame);
        const int untilStep = pacer.FramesUntilStep(false);
        const float from = pacer.Accumulator();
        const int untilMoved = pacer.FramesUntilScrolled(from, 0.25f, 100);
        CScrollPacer ahead = pacer;
        int moved = 100;  // none before the sample
        for (int i = 0; i < untilStep; ++i) {
            ASSERT_TRUE(ahead.NextFrame(false));
            if (moved == 100 && std::fabs(ahead.Accumulator() - from) >= 0.25f) {
                moved = i;
            }
        }
        ASSERT_FALSE(ahead.NextFrame(false));  // the predicted sampling frame
        ASSERT_EQ(untilMoved, moved);
        pacer.NextFrame(false);
    }
    EXPECT_EQ(pacer.FramesUntilStep(true), 0);  // an empty list asks at once
}

TEST(FramePrediction, TheNeedleForetellsWhenItsTipHasMovedAQuarterPixel) {
    struct Case {
        const char* name;
        double download;  // the newest sample; the needle starts at the start angle
        float startAngle;
    };
    const Case cases[] = {{"rising far", 4.0, CDialModel::kStartAngle},
                          {"falling to the start", 0.0, 4.5f},
                          {"settled", 0.0, CDialModel::kStartAngle}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDialModel dial(320, 90);
        CSampleList list;
        for (int i = 0; i < 3; ++i) {
            list.Append(c.download, 0.0);
        }
        dial.Frame(list, 320, 90);
        dial.SetNeedleAngle(c.startAngle);
        for (int frame = 0; frame < 40; ++frame) {
            const float from = dial.NeedleTravel();
            const int predicted = dial.FramesUntilNeedleMoved(from, 0.25f, 50);
            CDialModel ahead = dial;
            int moved = 50;
            for (int i = 0; i < 50; ++i) {
                ahead.Aim(list);
                if (std::fabs(ahead.NeedleTravel() - from) >= 0.25f) {
                    moved = i;
                    break;
                }
            }
            ASSERT_EQ(predicted, moved) << "frame " << frame;
            dial.Aim(list);
        }
    }
}

TEST(FramePrediction, TheBlinkForetellsItsFlips) {
    CWarningBlink blink;
    blink.SetRaised(true);
    for (std::uint32_t now = 0xFFFFF000u, i = 0; i < 600; ++i, now += 17) {  // across the wrap
        const bool predicted = blink.FlipsAt(now);
        const bool before = blink.PictureShown();
        ASSERT_EQ(blink.Phase(now) != before, predicted) << i;
    }
}

TEST(CSeriesPlan, ARunAtOneHeightIsOneSegment) {
    struct Case {
        const char* name;
        std::vector<double> downloads;  // newest first; the oldest is never placed
        std::vector<double> vertices;   // the download heights drawn
    };
    const Case cases[] = {
        {"all flat", {5, 5, 5, 5, 5, 5}, {5, 5}},
        {"runs between steps", {5, 5, 5, 8, 3, 3, 3, 3, 9}, {5, 5, 8, 3, 3}},
        {"no runs", {1, 2, 3, 4}, {1, 2, 3}},
        {"a run of two keeps both", {1, 7, 7, 2, 0}, {1, 7, 7, 2}},
        {"one placed sample", {4, 4}, {4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSampleList list;
        for (auto it = c.downloads.rbegin(); it != c.downloads.rend(); ++it) {
            list.Append(*it, 0.0);
        }
        CGraphGeometry geometry;
        geometry.SetWidth(320);
        geometry.SetHeight(110);
        geometry.SetPlotWidth(320);
        geometry.SetBaseline(110);  // plot height 92: a speed of 92 on a scale of 92 is 92 high
        CSeriesPlan plan;
        plan.Build(list, geometry, 3.0f, 0.0f, 92.0);
        std::vector<double> drawn;
        plan.ForEachLineVertex(Flow::Download,
                               [&](float, double y) { drawn.push_back(geometry.Baseline() - y); });
        EXPECT_EQ(drawn, c.vertices);
        EXPECT_EQ(plan.Flat(Flow::Download),
                  c.vertices.size() <= 2 && c.vertices.front() == c.vertices.back());
        EXPECT_TRUE(plan.Flat(Flow::Upload));
    }
}
