#include "graph/CDialModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr float kPi = 3.14159265f;

CSampleList& Fill(CSampleList& list, double download, int count = 3) {
    for (int i = 0; i < count; ++i) {
        list.Append(download, 0.0);
    }
    return list;
}

}  // namespace

TEST(CDialModel, AsksForASampleEvery59FramesEvenBeforeItDraws) {
    CDialModel dial(300, 120);
    EXPECT_EQ(dial.FramesPerSample(), 59);
    EXPECT_EQ(dial.Radius(), 50);  // width / 6 until the first frame

    CSampleList list;
    DialFrame frame = dial.Frame(list, 300, 120);  // empty: only asks, does not count
    EXPECT_TRUE(frame.sampleDue);
    EXPECT_EQ(dial.Countdown(), 59);

    list.Append(1.0, 0.0);
    for (int cycle = 0; cycle < 2; ++cycle) {
        for (int i = 1; i <= 58; ++i) {
            frame = dial.Frame(list, 300, 120);
            ASSERT_FALSE(frame.sampleDue) << i;
            EXPECT_FALSE(frame.draw);  // fewer than 3 samples
        }
        EXPECT_TRUE(dial.Frame(list, 300, 120).sampleDue);
    }
    EXPECT_EQ(dial.NeedleAngle(), CDialModel::kStartAngle);  // untouched while not drawing

    Fill(list, 1.0, 2);
    EXPECT_TRUE(dial.Frame(list, 300, 120).draw);
}

TEST(CDialModel, FaceFollowsTheWindowSize) {
    CDialModel dial(300, 120);
    CSampleList list;
    dial.Frame(Fill(list, 0.0), 300, 120);  // same size as at construction, still rebuilt
    EXPECT_EQ(dial.CentreX(), 150.0f);
    EXPECT_EQ(dial.CentreY(), 60.0f);
    EXPECT_EQ(dial.Radius(), 40);
    EXPECT_FALSE(dial.Resize(300, 120));

    // 51 angles less the 8 in the gap at the bottom.
    ASSERT_EQ(dial.FacePointCount(), 43);
    for (int i = 0; i < dial.FacePointCount(); ++i) {
        const DialPoint face = dial.FacePoints()[i];
        const DialPoint inner = dial.InnerArcPoints()[i];
        EXPECT_NEAR(std::hypot(face.x - 150.0f, face.y - 60.0f), 40.0f, 1e-3f);
        EXPECT_NEAR(std::hypot(inner.x - 150.0f, inner.y - 60.0f), 34.0f, 1e-3f);
        float angle = std::atan2(face.y - 60.0f, face.x - 150.0f);
        if (angle < 0.0f) {
            angle += 2.0f * kPi;
        }
        EXPECT_FALSE(angle > 1.04f && angle < 2.09f) << angle;
    }

    EXPECT_TRUE(dial.Resize(100, 400));
    EXPECT_EQ(dial.Radius(), 33);
    EXPECT_NEAR(dial.FacePoints()[0].x, 50.0f + 33.0f, 1e-4f);
    EXPECT_NEAR(dial.FacePoints()[0].y, 200.0f, 1e-4f);
}

TEST(CDialModel, AimsAlongTheScaleAndRaisesItsTop) {
    CDialModel dial(300, 120);
    CSampleList list;
    dial.Frame(Fill(list, 2.5), 300, 120);
    EXPECT_NEAR(dial.TargetAngle(), 3.0f * kPi / 2.0f, 1e-5f);  // half scale: straight up
    // Far from the target the needle moves fast: 1/40 of the remaining sweep.
    EXPECT_NEAR(dial.NeedleAngle(), CDialModel::kStartAngle + kPi / 50.0f, 1e-5f);

    list.Append(10.0, 0.0);
    dial.Frame(list, 300, 120);
    EXPECT_EQ(dial.TargetAngle(), CDialModel::kEndAngle);
    EXPECT_EQ(dial.FullScale(), 10.0);
    const auto measure = [](const char*) { return DialTextSize{}; };
    EXPECT_EQ(std::string(dial.Labels(measure, 300, 120, 120.0f).labels[1].text), "5");
    EXPECT_EQ(std::string(dial.Labels(measure, 300, 120, 120.0f).labels[2].text), "10");

    list.Append(4.0, 0.0);  // the scale never shrinks
    dial.Frame(list, 300, 120);
    EXPECT_EQ(dial.FullScale(), 10.0);
}

TEST(CDialModel, NeedleWrapsPastTheTopRightAndApproachesTheEnd) {
    CDialModel dial(300, 120);
    CSampleList list;
    Fill(list, 50.0);  // beyond the scale: aims at the end angle
    dial.SetNeedleAngle(6.27f);
    dial.Frame(list, 300, 120);
    const float move =
        CDialModel::kRiseRate * (CDialModel::kEndAngle + 2.0f * kPi - 6.27f) / CDialModel::kSweep;
    EXPECT_NEAR(dial.NeedleAngle(), 6.27f + move - 2.0f * kPi, 1e-5f);  // no skip across 2pi

    // Then it creeps up on the end angle without passing it.
    for (int i = 0; i < 2000; ++i) {
        dial.Frame(list, 300, 120);
        ASSERT_LE(dial.NeedleAngle(), CDialModel::kEndAngle) << i;
    }
    EXPECT_NEAR(dial.NeedleAngle(), CDialModel::kEndAngle, 0.02f);
}

TEST(CDialModel, NeedleFallsSteadilyToTheStartAngle) {
    CDialModel dial(300, 120);
    CSampleList list;
    Fill(list, 0.0);
    dial.SetNeedleAngle(0.5f);  // right of the top, in the part of the scale past 2pi
    float previous = 0.5f;
    int frames = 0;
    while (dial.NeedleAngle() != CDialModel::kStartAngle && frames < 1000) {
        dial.Frame(list, 300, 120);
        ++frames;
        float fell = previous - dial.NeedleAngle();
        if (fell < 0.0f) {
            fell += 2.0f * kPi;  // crossed 0
        }
        if (dial.NeedleAngle() != CDialModel::kStartAngle) {
            ASSERT_NEAR(fell, kPi / 200.0f, 1e-4f) << frames;  // crossing 0 included
        }
        previous = dial.NeedleAngle();
    }
    EXPECT_EQ(dial.TargetAngle(), CDialModel::kStartAngle);
    EXPECT_EQ(dial.NeedleAngle(), CDialModel::kStartAngle);
    EXPECT_GT(frames, 150);  // about (0.5 + 2pi - 7pi/10) / (pi/200)
    dial.Frame(list, 300, 120);
    EXPECT_EQ(dial.NeedleAngle(), CDialModel::kStartAngle);  // and stays there
}

TEST(CDialModel, LabelsTicksAndNeedleSitOnTheFace) {
    CDialModel dial(300, 120);
    CSampleList list;
    dial.Frame(Fill(list, 0.0), 300, 120);  // centre (150, 60), radius 40

    const auto size = [](const char*) { return DialTextSize{7.0f, 7.0f}; };
    const auto labels = dial.Labels(size, 300, 120, 120.0f).labels;
    EXPECT_EQ(std::string(labels[0].text), "0");
    EXPECT_EQ(std::string(labels[1].text), "2");  // half of 5, rounded to even
    EXPECT_EQ(std::string(labels[2].text), "5");
    EXPECT_EQ(std::string(labels[3].text), "KB/S");
    EXPECT_NEAR(labels[3].x, 150.0f - 12.5f, 1e-3f);  // on the face above the gap
    EXPECT_NEAR(labels[3].y, 60.0f + 31.2f - 20.4f, 1e-3f);

    const auto ticks = dial.Ticks();
    EXPECT_NEAR(ticks[1].from.y, 20.0f, 1e-3f);
    EXPECT_NEAR(ticks[1].to.y, 26.0f, 1e-3f);

    // Needle pointing right: 5 pixels behind the centre to 32 ahead, 4 wide.
    dial.SetNeedleAngle(0.0f);
    const auto corners = dial.NeedleCorners();
    EXPECT_NEAR(corners[0].x, 145.0f, 1e-3f);
    EXPECT_NEAR(corners[0].y, 58.0f, 1e-3f);
    EXPECT_NEAR(corners[2].x, 182.0f, 1e-3f);
    EXPECT_NEAR(corners[2].y, 62.0f, 1e-3f);
}

// The scale numbers lie on the background: no pixel of theirs within the rim (and its ticks), at
// any size from the smallest dial up, and inside the window wherever it has the room.
TEST(CDialModel, ScaleNumbersStayClearOfTheRimAndInTheWindow) {
    const struct {
        int width, height;
        double top;  // the full scale the dial reached
        bool inside;
    } cases[] = {{320, 90, 100.0, true}, {800, 60, 12000.0, true}, {221, 62, 5.0, true},
                 {176, 56, 250.0, true}, {800, 300, 999.0, true},  {60, 200, 10000.0, false},
                 {60, 20, 5.0, false}};
    // Digits 6 pixels wide and 7 high, as the small font has them at scale 1.
    const auto measure = [](const char* text) {
        return DialTextSize{6.0f * static_cast<float>(std::strlen(text)), 7.0f};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        CDialModel dial(c.width, c.height);
        CSampleList list;
        dial.Frame(Fill(list, c.top), c.width, c.height);
        const float lowest = static_cast<float>(c.height - 16);  // the speed texts' top
        const DialLabels placed = dial.Labels(measure, c.width, c.height, lowest);
        const float clear = static_cast<float>(dial.Radius()) + CDialModel::kLabelGap - 0.01f;
        for (int i = 0; i < 3; ++i) {
            const DialLabel& label = placed.labels[i];
            // The box's point nearest the centre.
            const float x =
                std::clamp(dial.CentreX(), label.x, label.x + measure(label.text).width);
            const float y = std::clamp(dial.CentreY(), label.y - 7.0f, label.y);
            EXPECT_GE(std::hypot(x - dial.CentreX(), y - dial.CentreY()), clear) << label.text;
        }
        EXPECT_LT(placed.labels[0].x, dial.CentreX());  // "0" on the left, the top on the right
        EXPECT_GT(placed.labels[2].x, dial.CentreX());
        EXPECT_LE(std::max(placed.labels[0].y, placed.labels[2].y), lowest);
        EXPECT_EQ(placed.inside, c.inside);
    }
}
