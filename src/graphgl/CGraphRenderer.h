#pragma once

class CFrameSignature;
class CSampleList;
class CGraphView;

// One graph type. Each frame comes in two halves: Advance moves the graph on (and sets the pace
// of sampling) without touching GL, and Paint draws where Advance arrived. Paint is left out for
// a window nobody can see, so hiding the window never changes when samples are taken.
class CGraphRenderer {
public:
    explicit CGraphRenderer(CGraphView& view) : view_(view) {}
    virtual ~CGraphRenderer() = default;

    // False when a graph step has just completed (the caller then takes a sample), true while
    // between two steps.
    virtual bool Advance(const CSampleList& list) = 0;
    // Draws the picture of the last Advance, or nothing when that frame has none.
    virtual void Paint(const CSampleList& list) = 0;

    // Whether the last Advance left anything to paint. A frame without a picture paints nothing,
    // so the window goes on showing the frame before it.
    virtual bool HasPicture() const { return true; }
    // Writes down everything the picture of the last Advance depends on (the view adds the
    // geometry, colours, scanlines and texts); false when the renderer cannot, and its every
    // frame is then drawn.
    virtual bool DescribePicture(CFrameSignature&) const { return false; }

    // The scroll position within the current step, handed over when the graph type changes.
    virtual float Accumulator() const { return 0.0f; }
    virtual void SetAccumulator(float) {}

protected:
    CGraphView& view_;
};
