#pragma once

#include "graph/TextLayoutPlan.h"

class CFrameSignature;
class CSampleList;
class CGraphView;

// One graph type. Each frame comes in two halves: Advance moves the graph on (and sets the pace
// of sampling) without touching GL, and Paint draws where Advance arrived. Paint is left out for
// a window nobody can see, and for a frame nobody could tell from the one on the screen, so
// neither changes when samples are taken.
//
// A picture is described in two parts: its content (DescribePicture), and how far its one
// continuous motion has gone (Motion: the scroll, the needle). The view shows a frame when the
// content differs from the one on the screen, or when the motion has gone a visible distance
// while it moves any pixel (MotionShows).
class CGraphRenderer {
public:
    explicit CGraphRenderer(CGraphView& view) : view_(view) {}
    virtual ~CGraphRenderer() = default;

    // False when a graph step has just completed (the caller then takes a sample), true while
    // between two steps.
    virtual bool Advance(const CSampleList& list) = 0;
    // Plans the picture of the last Advance again when the view's size has changed since, as
    // Advance would have planned it for this size: a resize may come with no frame due, and a
    // graph that stands still would otherwise show the old size's picture until the next sample.
    virtual void FitToSize(const CSampleList&) {}
    // Draws the picture of the last Advance, or nothing when that frame has none.
    virtual void Paint(const CSampleList& list) = 0;

    // How many frames from now on advance before the one that asks for a sample (0: the next).
    virtual int FramesUntilSample(const CSampleList& list) const = 0;
    // How many times the frame delay each frame sleeps.
    virtual int DelaysPerFrame() const { return 1; }
    // The speed labels' layout in a window of this size.
    virtual TextLayout LabelLayout(int width, int height) const {
        return ChooseTextLayout(width, height);
    }

    // Whether the last Advance left anything to paint. A frame without a picture paints nothing,
    // so the window goes on showing the frame before it.
    virtual bool HasPicture() const { return true; }
    // Writes down everything the picture of the last Advance depends on but its motion (the view
    // adds the geometry, colours, scanlines and texts); false when the renderer cannot, and its
    // every frame is then drawn.
    virtual bool DescribePicture(CFrameSignature&) const { return false; }
    // How far the motion has gone, in pixels on the screen.
    virtual float Motion() const { return 0.0f; }
    // Whether the motion moves any pixel now: a graph without traffic stays put as it scrolls.
    virtual bool MotionShows() const { return false; }
    // The first of the next `horizon` frames (0: the next) whose picture may differ visibly from
    // one with the same content shown at `shownMotion`; `horizon` when none before then.
    virtual int FramesUntilPictureChanges(const CSampleList& list, float shownMotion,
                                          int horizon) const = 0;

    // The scroll position within the current step, handed over when the graph type changes.
    virtual float Accumulator() const { return 0.0f; }
    virtual void SetAccumulator(float) {}

    // A visible distance: a quarter pixel.
    static constexpr float kVisibleMotion = 0.25f;

protected:
    CGraphView& view_;
};
