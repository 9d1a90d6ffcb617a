#pragma once

#include <cstdint>

#include "runloop/CFrameTimeline.h"

// What the run loop works: the frames of the graph, one at a time, and the picture of the latest.
class IFrameWork {
public:
    virtual ~IFrameWork() = default;

    // Works one frame, everything but its drawing, as at `frameMs` on the millisecond clock.
    virtual void WorkFrame(std::uint32_t frameMs) = 0;
    // Whether the latest frame's picture differs visibly from what the screen shows; false while
    // nobody can see the window.
    virtual bool PictureChanged() = 0;
    // Draws the latest frame and shows it.
    virtual void ShowPicture() = 0;
    // The first of the next frames (0: the next one) that must be worked at its own time: it
    // samples, changes the picture someone sees, refreshes an open tool window or meets a
    // deadline. Never more than the frame of the next sample.
    virtual int FramesUntilNeeded(const CFrameTimeline& timeline) = 0;
    // How long the frames sleep (the frame delay), which the timeline counts instead.
    virtual CFrameTimeline::Duration FrameDelay() const = 0;

protected:
    IFrameWork() = default;
    IFrameWork(const IFrameWork&) = default;
    IFrameWork& operator=(const IFrameWork&) = default;
};

// The run loop's rule: at each wake-up, work every frame whose time has come, up to the one the
// loop slept for (a late wake-up does not catch up); show the latest if its picture differs
// visibly, at most once per screen refresh; then sleep until the first frame that must be worked
// at its own time. Frames nobody needs one by one are counted on the timeline, never slept.
class CFrameLoop {
public:
    using Clock = CFrameTimeline::Clock;
    using Duration = CFrameTimeline::Duration;

    enum class Pace {
        Sleeping,    // wakes only for the frames that need it
        EveryFrame,  // wakes for every frame and shows every change: the pace to keep
    };

    // `frameCost` is what one frame adds to its delay on the timeline.
    CFrameLoop(IFrameWork& work, Duration period, Duration frameCost, Pace pace = Pace::Sleeping);

    void Start(Clock::time_point now);
    // One wake-up at `now`, early or on time; returns when the loop wants the next one.
    Clock::time_point Wake(Clock::time_point now);

    // The least time between two shown frames (one screen refresh).
    void SetShowInterval(Duration interval) { showInterval_ = interval; }
    const CFrameTimeline& Timeline() const { return timeline_; }

private:
    IFrameWork& work_;
    CFrameTimeline timeline_;
    Duration frameCost_;
    Pace pace_;
    Duration showInterval_{};
    int planned_ = 0;  // frames up to this one (0: the next) are worked at the next wake-up
    bool shownOnce_ = false;
    Clock::time_point lastShow_{};
};
