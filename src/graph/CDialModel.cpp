#include "graph/CDialModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Distance along the scale from the start angle; angles just past 2pi count as a full turn on.
float AlongScale(float angle) {
    if (angle <= CDialModel::kEndAngle + 0.2f) {
        return angle + CDialModel::kTwoPi - CDialModel::kStartAngle;
    }
    return angle - CDialModel::kStartAngle;
}

}  // namespace

CDialModel::CDialModel(int width, int height, float step, float speed) {
    // Divided in double: in float 3.0f / 0.05f rounds up to exactly 60, while the single-precision
    // 0.05 is a little above 0.05, so a sample is due every 59 frames.
    const double frames = speed > 0.0f ? static_cast<double>(step) / speed : 1.0;
    framesPerSample_ = std::max(1, static_cast<int>(frames));
    countdown_ = framesPerSample_;
    centreX_ = static_cast<float>(width / 2);
    centreY_ = static_cast<float>(height / 2);
    radius_ = width / 6;
    BuildPoints();
}

DialFrame CDialModel::Frame(const CSampleList& list, int width, int height) {
    DialFrame frame;
    if (list.Count() == 0) {
        return frame;
    }
    Resize(width, height);
    frame.draw = Aim(list);
    frame.sampleDue = !CountDown();
    return frame;
}

bool CDialModel::Resize(int width, int height) {
    if (width == cachedWidth_ && height == cachedHeight_) {
        return false;
    }
    centreX_ = static_cast<float>(width / 2);
    centreY_ = static_cast<float>(height / 2);
    radius_ = std::min(width, height) / 3;
    BuildPoints();
    cachedWidth_ = width;
    cachedHeight_ = height;
    return true;
}

bool CDialModel::CountDown() {
    if (countdown_-- >= 2) {
        return true;
    }
    countdown_ = framesPerSample_;
    return false;
}

DialPoint CDialModel::OnCircle(float angle, float distance) const {
    return {centreX_ + distance * std::cos(angle), centreY_ + distance * std::sin(angle)};
}

void CDialModel::BuildPoints() {
    facePointCount_ = 0;
    const float radius = static_cast<float>(radius_);
    for (int k = 0; k < kMostFacePoints; ++k) {
        const float angle = static_cast<float>(k) * kPi / 25.0f;
        const bool inGap = angle <= kStartAngle - 0.1f && angle >= kEndAngle + 0.1f;
        if (inGap) {
            continue;
        }
        facePoints_[facePointCount_] = OnCircle(angle, radius);
        innerArcPoints_[facePointCount_] = OnCircle(angle, kInnerArc * radius);
        ++facePointCount_;
    }
}

bool CDialModel::Aim(const CSampleList& list) {
    if (list.Count() < 3 || !(fullScale_ > 0.00001)) {
        return false;
    }
    const double download = list.Newest()->download;

    double target = download / fullScale_ * kSweep + kStartAngle;
    if (target > kTwoPi) {
        target -= kTwoPi;
    }
    const bool inGap = target > kEndAngle && target < kStartAngle;
    targetAngle_ = (inGap || download > fullScale_) ? kEndAngle : static_cast<float>(target);
    if (download > fullScale_) {
        fullScale_ = download;
    }
    MoveNeedle();
    return true;
}

void CDialModel::MoveNeedle() {
    needleAngle_ = MovedNeedle(needleAngle_, targetAngle_);
}

float CDialModel::MovedNeedle(float needleAngle, float targetAngle) {
    const float needle = AlongScale(needleAngle);
    const float target = AlongScale(targetAngle);
    // Far targets are approached fast, near ones slowly; falling is steady.
    const float move = needle < target ? kRiseRate * (target - needle) / kSweep : kFallRate * 0.5f;
    const float next = needleAngle + move;
    // Across 2pi or 0 the needle keeps the whole move, so it does not skip at the top right.
    if (move > 0.0f && next > kTwoPi) {
        return next - kTwoPi;
    }
    if (move < 0.0f && next < 0.0f) {
        return next + kTwoPi;
    }
    if (move < 0.0f && needleAngle >= kStartAngle && next < kStartAngle) {
        return kStartAngle;
    }
    if (move > 0.0f && needleAngle <= kEndAngle && next > kEndAngle) {
        return kEndAngle;
    }
    return next;
}

float CDialModel::NeedleTravelAt(float angle) const {
    return AlongScale(angle) * kNeedleLength * static_cast<float>(radius_);
}

int CDialModel::FramesUntilNeedleMoved(float fromTravel, float distance, int horizon) const {
    float needle = needleAngle_;
    for (int frame = 0; frame < horizon; ++frame) {
        const float next = MovedNeedle(needle, targetAngle_);
        if (next == needle) {
            return horizon;  // settled: it stays put until the next sample
        }
        needle = next;
        if (std::fabs(NeedleTravelAt(needle) - fromTravel) >= distance) {
            return frame;
        }
    }
    return horizon;
}

std::array<DialPoint, 4> CDialModel::NeedleCorners() const {
    const float c = std::cos(needleAngle_);
    const float s = std::sin(needleAngle_);
    auto place = [&](float along, float across) {
        return DialPoint{centreX_ + along * c - across * s, centreY_ + along * s + across * c};
    };
    const float tip = kNeedleLength * static_cast<float>(radius_);
    return {place(-kNeedleBack, -kNeedleHalfWidth), place(tip, -kNeedleHalfWidth),
            place(tip, kNeedleHalfWidth), place(-kNeedleBack, kNeedleHalfWidth)};
}

DialLabels CDialModel::Labels(const std::function<DialTextSize(const char*)>& measure, int width,
                              int height, float lowestBaseline) const {
    DialLabels result;
    std::array<DialLabel, 4>& labels = result.labels;
    std::snprintf(labels[0].text, sizeof labels[0].text, "0");
    std::snprintf(labels[1].text, sizeof labels[1].text, "%.0f", fullScale_ * 0.5);
    std::snprintf(labels[2].text, sizeof labels[2].text, "%.0f", fullScale_);
    std::snprintf(labels[3].text, sizeof labels[3].text, "KB/S");

    // Anything nearer the centre than this touches the rim's line or a tick.
    const float clear = static_cast<float>(radius_) + kLabelGap;
    // Half the scale: centred over the top tick, its digits ending clear of the rim.
    const DialTextSize half = measure(labels[1].text);
    labels[1].x = centreX_ - half.width / 2.0f;
    labels[1].y = centreY_ - clear;
    // The ends: level with the outer ends of their ticks, or higher where the speed texts are,
    // moved sideways off the rim. The box's edge nearest the centre's height decides how far.
    const float tickY = OnCircle(kStartAngle, static_cast<float>(radius_)).y;
    auto besideRim = [&](DialLabel& label, bool left) {
        const DialTextSize size = measure(label.text);
        label.y = std::min(tickY + size.height / 2.0f, lowestBaseline);
        // How far the box's nearest row lies from the centre's height, above or below.
        const float rise = std::max({0.0f, label.y - size.height - centreY_, centreY_ - label.y});
        const float reach = rise < clear ? std::sqrt(clear * clear - rise * rise) : 0.0f;
        label.x = left ? centreX_ - reach - size.width : centreX_ + reach;
        return size;
    };
    const DialTextSize zero = besideRim(labels[0], true);
    const DialTextSize full = besideRim(labels[2], false);

    const float distance = kLabelRadius * static_cast<float>(radius_);
    labels[3].x = centreX_ - 12.0f - 0.5f;
    labels[3].y = centreY_ + distance - 20.0f - 0.4f;

    auto inside = [width, height](const DialLabel& label, const DialTextSize& size) {
        return label.x >= 0.0f && label.x + size.width <= static_cast<float>(width) &&
               label.y - size.height >= 0.0f && label.y <= static_cast<float>(height);
    };
    result.inside = inside(labels[0], zero) && inside(labels[1], half) && inside(labels[2], full);
    return result;
}

std::array<DialSegment, 3> CDialModel::Ticks() const {
    const float radius = static_cast<float>(radius_);
    auto tick = [&](float angle) {
        return DialSegment{OnCircle(angle, radius), OnCircle(angle, kInnerArc * radius)};
    };
    return {tick(kStartAngle), tick(3.0f * kPi / 2.0f), tick(kEndAngle)};
}
