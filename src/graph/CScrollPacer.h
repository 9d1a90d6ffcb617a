#pragma once

inline constexpr float kStartStep = 3.0f;    // pixels between two samples
inline constexpr float kStartSpeed = 0.05f;  // pixels scrolled per frame

// The scroll position of the line and bar graphs between two samples. A frame that finds a step
// completed has no picture and asks for a sample; with the start values that is every 62nd frame
// (61 pictures, then one sampling frame). The pace never depends on whether a frame is drawn.
class CScrollPacer {
public:
    explicit CScrollPacer(float step = kStartStep, float speed = kStartSpeed)
        : step_(step), speed_(speed) {}

    // One frame. False, with the accumulator back to 0, when a step has completed or there is
    // nothing to show: the frame has no picture and a sample is due. Otherwise scrolls one frame
    // on (in single precision on purpose: it fixes how many frames a step takes) and returns true.
    bool NextFrame(bool listEmpty) {
        if (!(accumulator_ < step_) || listEmpty) {
            accumulator_ = 0.0f;
            return false;
        }
        accumulator_ = accumulator_ + speed_;
        return true;
    }

    // How many frames from now on scroll before the one that asks for a sample (0: the next).
    int FramesUntilStep(bool listEmpty) const {
        if (listEmpty) {
            return 0;
        }
        int frames = 0;
        for (float accumulator = accumulator_; accumulator < step_ && frames < kMostFrames;
             accumulator = accumulator + speed_) {
            ++frames;
        }
        return frames;
    }

    // The first of the next `horizon` frames whose scroll lies at least `distance` pixels from
    // `from` (0: the next frame); `horizon` when none before then, or when a step completes first.
    int FramesUntilScrolled(float from, float distance, int horizon) const {
        float accumulator = accumulator_;
        for (int frame = 0; frame < horizon; ++frame) {
            if (!(accumulator < step_)) {
                return horizon;
            }
            accumulator = accumulator + speed_;
            const float moved = accumulator > from ? accumulator - from : from - accumulator;
            if (moved >= distance) {
                return frame;
            }
        }
        return horizon;
    }

    float Accumulator() const { return accumulator_; }
    // A renderer that replaces another takes over its scroll position.
    void SetAccumulator(float accumulator) { accumulator_ = accumulator; }
    float Step() const { return step_; }
    float Speed() const { return speed_; }

private:
    // A step of any sane step and speed takes far fewer frames; this only bounds the count.
    static constexpr int kMostFrames = 100000;
    float step_;
    float speed_;
    float accumulator_ = 0.0f;
};
