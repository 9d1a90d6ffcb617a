#include "graph/TextLayoutPlan.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "CommaLocale.h"

namespace {

// The pieces of a run as "font:text|font:text", fonts by pixel height.
std::string Pieces(const TextRun& run) {
    std::string out;
    for (int i = 0; i < run.pieceCount; ++i) {
        if (i > 0) {
            out += '|';
        }
        out += std::to_string(FontPixelHeight(run.pieces[i].font)) + ':' + run.pieces[i].text;
    }
    return out;
}

TextLayoutPlan Plan(TextLayout layout, int width, int height, double down, double up) {
    TextLayoutPlan plan;
    PlanTextLayout(layout, width, height, down, up, plan);
    return plan;
}

}  // namespace

TEST(TextLayoutPlan, LayoutFollowsTheWindowSize) {
    EXPECT_EQ(ChooseTextLayout(79, 100), TextLayout::None);
    EXPECT_EQ(ChooseTextLayout(80, 14), TextLayout::None);
    EXPECT_EQ(ChooseTextLayout(80, 15), TextLayout::Compact);
    EXPECT_EQ(ChooseTextLayout(109, 15), TextLayout::Compact);
    EXPECT_EQ(ChooseTextLayout(110, 15), TextLayout::NumbersTiny);
    EXPECT_EQ(ChooseTextLayout(129, 15), TextLayout::NumbersTiny);
    EXPECT_EQ(ChooseTextLayout(130, 15), TextLayout::Numbers);
    EXPECT_EQ(ChooseTextLayout(179, 15), TextLayout::Numbers);
    EXPECT_EQ(ChooseTextLayout(180, 15), TextLayout::Labelled);
    EXPECT_EQ(ChooseTextLayout(259, 15), TextLayout::Labelled);
    EXPECT_EQ(ChooseTextLayout(260, 15), TextLayout::Wide);
    EXPECT_EQ(Plan(TextLayout::None, 300, 120, 1.0, 1.0).runCount, 0);
}

TEST(TextLayoutPlan, UnitsChangeAtPowersOf1024) {
    struct Case {
        double speed;
        const char* number;
        const char* unit;
    } cases[] = {{0.0, "0.0 ", "KB/s"},          {512.0, "512.0 ", "KB/s"},
                 {1023.9, "1023.9 ", "KB/s"},    {1024.0, "1.0 ", "MB/s"},
                 {1048576.0, "1024.0 ", "MB/s"}, {2097152.0, "2.0 ", "GB/s"}};
    // The same for a German user: the graph's words are English, so are its numbers.
    for (bool comma : {false, true}) {
        const auto locale = comma ? std::make_unique<CommaLocale>() : nullptr;
        for (const Case& c : cases) {
            const LabelSpeed text = FormatLabelSpeed(c.speed);
            EXPECT_STREQ(text.number, c.number) << c.speed << (comma ? " comma" : "");
            EXPECT_STREQ(text.unit, c.unit) << c.speed;
        }
    }
}

TEST(TextLayoutPlan, WideAnchorsUploadByRawSpeedAndPlacesItByShownValue) {
    const TextLayoutPlan plan = Plan(TextLayout::Wide, 300, 120, 512.0, 99.5);
    ASSERT_EQ(plan.runCount, 2);
    const TextRun& down = plan.runs[0];
    EXPECT_EQ(down.originX, 3.0f);
    EXPECT_EQ(down.originY, 117.0f);
    EXPECT_EQ(down.rasterX, 11.0f);
    ASSERT_TRUE(down.hasSquare);
    EXPECT_EQ(down.square.colour, ColourSlot::Download);
    EXPECT_EQ(down.square.left, 0.0f);
    EXPECT_EQ(down.square.top, -9.0f);
    EXPECT_EQ(down.square.right, 9.0f);
    EXPECT_EQ(Pieces(down), "12:Down: |14:512.0 |12:KB/s");

    const TextRun& up = plan.runs[1];
    EXPECT_EQ(up.originX, 300.0f - 88.0f);  // below 100 KB/s: the near distance
    EXPECT_EQ(up.rasterX, -14.0f);          // shown value below 100
    EXPECT_EQ(up.square.colour, ColourSlot::Upload);
    EXPECT_EQ(up.square.left, -23.0f);
    EXPECT_EQ(up.square.right, -15.0f);
    EXPECT_EQ(Pieces(up), "12:Up: |14:99.5 |12:KB/s");

    const TextRun& hundred = Plan(TextLayout::Wide, 300, 120, 0.0, 100.0).runs[1];
    EXPECT_EQ(hundred.originX, 300.0f - 95.0f);
    EXPECT_EQ(hundred.rasterX, -18.0f);
    EXPECT_EQ(hundred.square.left, -27.0f);

    // 1500 KB/s shows as 1.5 MB/s: placed as a one-digit value, anchored as a fast one.
    const TextRun& fast = Plan(TextLayout::Wide, 300, 120, 0.0, 1500.0).runs[1];
    EXPECT_EQ(fast.originX, 300.0f - 95.0f);
    EXPECT_EQ(fast.rasterX, -3.0f);
    EXPECT_EQ(fast.rasterY, 0.0f);
    EXPECT_EQ(fast.square.left, -13.0f);
    EXPECT_EQ(fast.square.right, -5.0f);
    EXPECT_EQ(Pieces(fast), "12:Up: |14:1.5 |12:MB/s");
}

TEST(TextLayoutPlan, SmallerLayoutsUseTheirFontsAndDistances) {
    TextLayoutPlan plan = Plan(TextLayout::Labelled, 200, 50, 5.0, 50.0);
    EXPECT_EQ(plan.runs[0].rasterX, -0.5f);
    EXPECT_EQ(plan.runs[0].rasterY, -0.4f);
    EXPECT_FALSE(plan.runs[0].hasSquare);
    EXPECT_EQ(Pieces(plan.runs[0]), "10:D: |12:5.0 |10:KB/s");
    EXPECT_EQ(plan.runs[1].originX, 200.0f - 79.0f);
    EXPECT_EQ(plan.runs[1].rasterX, -2.0f);
    EXPECT_EQ(Pieces(plan.runs[1]), "10:U: |12:50.0 |10:KB/s");

    plan = Plan(TextLayout::Numbers, 150, 50, 5.0, 300.0);
    EXPECT_EQ(Pieces(plan.runs[0]), "10:5.0 |10:KB/s");
    EXPECT_EQ(plan.runs[1].originX, 150.0f - 95.0f);
    EXPECT_EQ(plan.runs[1].rasterX, 28.0f);

    plan = Plan(TextLayout::NumbersTiny, 120, 50, 5.0, 5.0);
    EXPECT_EQ(Pieces(plan.runs[1]), "8:5.0 |8:KB/s");
    EXPECT_EQ(plan.runs[1].originX, 120.0f - 54.0f);
    EXPECT_EQ(plan.runs[1].rasterX, 10.0f);
}

TEST(TextLayoutPlan, CompactStacksTwoLinesAroundTheMiddle) {
    // M = 101 / 2 = 50.
    const TextLayoutPlan plan = Plan(TextLayout::Compact, 101, 40, 5.0, 150.0);
    ASSERT_EQ(plan.runCount, 2);
    for (const TextRun& run : plan.runs) {
        EXPECT_EQ(run.originX, 3.0f);
        EXPECT_EQ(run.originY, 37.0f);
        EXPECT_FALSE(run.hasSquare);
    }
    EXPECT_EQ(plan.runs[0].rasterX, 50.0f - 31.0f);
    EXPECT_EQ(plan.runs[0].rasterY, -11.0f);
    EXPECT_EQ(Pieces(plan.runs[0]), "8:D: |10:5.0 |8:KB/s");
    EXPECT_EQ(plan.runs[1].rasterX, 50.0f - 38.0f);
    EXPECT_EQ(plan.runs[1].rasterY, 0.0f);
    EXPECT_EQ(Pieces(plan.runs[1]), "8:U: |10:150.0 |8:KB/s");
}
