#pragma once

#include <array>
#include <functional>

#include "graph/CSampleList.h"
#include "graph/CScrollPacer.h"

struct DialPoint {
    float x = 0.0f;
    float y = 0.0f;
};

struct DialSegment {
    DialPoint from;
    DialPoint to;
};

// A label: its text, printed from the raster position (x, y), the start of its baseline.
struct DialLabel {
    float x = 0.0f;
    float y = 0.0f;
    char text[16] = {};
};

// How much room a text takes in a font, in window pixels: its width and how far its digits rise
// above the baseline.
struct DialTextSize {
    float width = 0.0f;
    float height = 0.0f;
};

// The dial's labels in one font: "0", half and full scale, "KB/S". `inside` tells whether the
// three numbers all lie within the window.
struct DialLabels {
    std::array<DialLabel, 4> labels;
    bool inside = true;
};

// What one dial frame does, for the drawing side.
struct DialFrame {
    bool draw = false;      // draw the dial (at least 3 samples and a usable full scale)
    bool sampleDue = true;  // the caller takes a sample (the renderer's Draw returns false)
};

// The speedometer graph without its drawing: the needle that swings towards the newest download
// speed, the growing full scale, the face geometry and the sampling countdown. Angles are in
// radians with y growing downwards, so pi/2 points straight down; the scale runs from the start
// angle (lower left) clockwise through the top to the end angle (lower right), leaving a gap at
// the bottom.
class CDialModel {
public:
    static constexpr float kPi = 3.14159265358979f;
    static constexpr float kTwoPi = 6.28318530717959f;
    static constexpr float kStartAngle = 7.0f * kPi / 10.0f;
    static constexpr float kEndAngle = 3.0f * kPi / 10.0f;
    static constexpr float kGapHalfWidth = kPi / 5.0f;
    static constexpr float kSweep = kTwoPi - 2.0f * kGapHalfWidth;
    static constexpr float kRiseRate = kPi / 25.0f;    // per frame, at full distance
    static constexpr float kFallRate = -kPi / 100.0f;  // halved when applied
    static constexpr double kStartFullScale = 5.0;     // KB/s
    static constexpr int kMostFacePoints = 51;
    static constexpr float kInnerArc = 0.85f;  // inner arc and tick ends, times the radius
    static constexpr float kNeedleLength = 0.8f;
    static constexpr float kNeedleBack = 5.0f;
    static constexpr float kNeedleHalfWidth = 2.0f;
    static constexpr float kLabelRadius = 0.78f;
    // Room between a scale number and the rim, its ticks and arc.
    static constexpr float kLabelGap = 3.0f;

    // The view's size, step and speed at the time the dial is chosen.
    CDialModel(int width, int height, float step = kStartStep, float speed = kStartSpeed);

    // One frame: rebuilds the face on a size change, aims and moves the needle, counts down to
    // the next sample. An empty list only asks for a sample.
    DialFrame Frame(const CSampleList& list, int width, int height);

    // The parts of Frame, in its order.
    // Rebuilds centre, radius and points when the size differs from the cached one.
    bool Resize(int width, int height);
    // Aims at the newest download and moves the needle; false (nothing drawn, nothing moved)
    // below 3 samples.
    bool Aim(const CSampleList& list);
    // True while no sample is due; a sample is due every FramesPerSample() calls.
    bool CountDown();

    int FramesPerSample() const { return framesPerSample_; }
    int Countdown() const { return countdown_; }
    double FullScale() const { return fullScale_; }
    float TargetAngle() const { return targetAngle_; }
    float NeedleAngle() const { return needleAngle_; }
    float CentreX() const { return centreX_; }
    float CentreY() const { return centreY_; }
    int Radius() const { return radius_; }

    // Black face outline and fill; the white inner arc follows the same angles.
    int FacePointCount() const { return facePointCount_; }
    const DialPoint* FacePoints() const { return facePoints_.data(); }
    const DialPoint* InnerArcPoints() const { return innerArcPoints_.data(); }

    // The red needle rectangle, already rotated and placed, in drawing order.
    std::array<DialPoint, 4> NeedleCorners() const;
    // "0", half and full scale, and "KB/S", with where they go in a window of width x height
    // when `measure` tells each text's size. The numbers lie on the background, clear of the
    // rim, the ticks and the arc: "0" and the full scale beside the ends of the outer ticks (no
    // lower than `lowestBaseline`, above the speed texts), half the scale above the top tick.
    // "KB/S" sits on the face above the gap.
    DialLabels Labels(const std::function<DialTextSize(const char*)>& measure, int width,
                      int height, float lowestBaseline) const;
    // White 2-pixel ticks at the start, top and end of the scale.
    std::array<DialSegment, 3> Ticks() const;

    // Where the needle's tip lies along the scale, in pixels: what a viewer sees it move.
    float NeedleTravel() const { return NeedleTravelAt(needleAngle_); }
    // The first of the next `horizon` frames at which the needle, still aiming where it aims
    // now, has its tip at least `distance` pixels from `fromTravel` (0: the next frame);
    // `horizon` when none does.
    int FramesUntilNeedleMoved(float fromTravel, float distance, int horizon) const;

    // Test hook: puts the needle at an angle.
    void SetNeedleAngle(float angle) { needleAngle_ = angle; }

private:
    void BuildPoints();
    void MoveNeedle();
    // Where one frame's move takes the needle.
    static float MovedNeedle(float needle, float target);
    float NeedleTravelAt(float angle) const;
    DialPoint OnCircle(float angle, float distance) const;

    int framesPerSample_;
    int countdown_;
    double fullScale_ = kStartFullScale;
    float targetAngle_ = kStartAngle;
    float needleAngle_ = kStartAngle;
    float centreX_;
    float centreY_;
    int radius_;
    int cachedWidth_ = -1;  // no size yet: the first frame always builds the face
    int cachedHeight_ = -1;
    int facePointCount_ = 0;
    std::array<DialPoint, kMostFacePoints> facePoints_{};
    std::array<DialPoint, kMostFacePoints> innerArcPoints_{};
};
