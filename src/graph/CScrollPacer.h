#pragma once

inline constexpr float kStartStep = 3.0f;    // pixels between two samples
inline constexpr float kStartSpeed = 0.05f;  // pixels scrolled per frame

// The scroll position of the line and bar graphs between two samples. A draw that finds a step
// completed draws nothing and asks for a sample; with the start values that is every 62nd call
// (61 drawn frames, then one sampling call).
class CScrollPacer {
public:
    explicit CScrollPacer(float step = kStartStep, float speed = kStartSpeed)
        : step_(step), speed_(speed) {}

    // Start of a draw. False, with the accumulator back to 0, when a step has completed or there
    // is nothing to draw: the caller draws nothing and a sample is due.
    bool BeginDraw(bool listEmpty) {
        if (!(accumulator_ < step_) || listEmpty) {
            accumulator_ = 0.0f;
            return false;
        }
        return true;
    }
    // Scrolls one frame. Single precision on purpose: it fixes how many frames a step takes.
    void Advance() { accumulator_ = accumulator_ + speed_; }

    float Accumulator() const { return accumulator_; }
    // A renderer that replaces another takes over its scroll position.
    void SetAccumulator(float accumulator) { accumulator_ = accumulator; }
    float Step() const { return step_; }
    float Speed() const { return speed_; }

private:
    float step_;
    float speed_;
    float accumulator_ = 0.0f;
};
