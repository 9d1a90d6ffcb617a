#include "graph/CBarPlan.h"
#include "graph/CGraphGeometry.h"
#include "graph/CSampleList.h"
#include "graph/CSeriesPlan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// A 300-wide view with baseline 101 and plot height 100: on a scale of 100 a speed is its own
// height in pixels.
class BarPlanTest : public ::testing::Test {
protected:
    BarPlanTest() {
        geometry.SetWidth(300);
        geometry.SetHeight(118);
        geometry.SetPlotWidth(300);
        geometry.SetBaseline(118);
        list.Append(0.0, 0.0);  // the oldest sample is never drawn
    }

    // The plan as text: "Q d 298 101 301 91" is a download quad, "L u ..." an upload line.
    std::string Plan() {
        series.Build(list, geometry, 3.0f, 2.0f, 100.0);
        bars.Build(series, geometry.Baseline());
        std::ostringstream out;
        for (const BarPrimitive& p : bars) {
            out << (p.kind == BarPrimitive::Kind::Quad ? 'Q' : 'L') << ' '
                << (p.colour == ColourSlot::Download ? 'd' : 'u') << ' ' << p.x0 << ' ' << p.y0
                << ' ' << p.x1 << ' ' << p.y1 << '\n';
        }
        return out.str();
    }

    CGraphGeometry geometry;
    CSampleList list;
    CSeriesPlan series;
    CBarPlan bars;
};

}  // namespace

TEST_F(BarPlanTest, NothingToDrawWithOnlyTheOldestSample) {
    EXPECT_EQ(Plan(), "");
}

TEST_F(BarPlanTest, TallerBarFirstAndEdgeFromLowerToHigher) {
    list.Append(10.0, 4.0);  // newest, at x = 300 - 2 + 3 = 301
    EXPECT_EQ(Plan(),
              "Q d 298 101 301 91\n"
              "Q u 298 101 301 97\n"
              "L u 301 101 301 97\n"
              "L d 301 97 301 91\n"
              // closing lines at the next x in the colour last used
              "L d 298 91 298 101\n"
              "L d 298 97 298 101\n");
}

TEST_F(BarPlanTest, EqualHeightsDrawUploadFirstAndDownloadFromTheBaseline) {
    list.Append(5.0, 5.0);
    EXPECT_EQ(Plan(),
              "Q u 298 101 301 96\n"
              "Q d 298 101 301 96\n"
              "L d 301 101 301 96\n"
              "L u 301 96 301 96\n"
              "L u 298 96 298 101\n"
              "L u 298 96 298 101\n");
}

TEST_F(BarPlanTest, NewerTallerBarRepeatsItsEdgeAtTheOlderBar) {
    list.Append(3.0, 20.0);  // oldest drawn, at x = 295
    list.Append(8.0, 2.0);   // at x = 298
    list.Append(30.0, 1.0);  // newest, at x = 301
    EXPECT_EQ(Plan(),
              // 30/1 at 301
              "Q d 298 101 301 71\n"
              "Q u 298 101 301 100\n"
              "L u 301 101 301 100\n"
              "L d 301 100 301 71\n"
              // 8/2 at 298: the newer bar (30) is at least as tall, so its edge comes first
              "Q d 295 101 298 93\n"
              "Q u 295 101 298 99\n"
              "L u 298 101 298 100\n"
              "L d 298 100 298 71\n"
              "L u 298 101 298 99\n"
              "L d 298 99 298 93\n"
              // 3/20 at 295: taller than the newer bar's 8, so no repeat
              "Q u 292 101 295 81\n"
              "Q d 292 101 295 98\n"
              "L d 295 101 295 98\n"
              "L u 295 98 295 81\n"
              "L u 292 98 292 101\n"
              "L u 292 81 292 101\n");
}
