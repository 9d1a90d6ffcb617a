#pragma once

class CSampleList;
class CGraphView;

// One graph type. Draw is called once per frame; it returns false when a graph step has just
// completed (the caller then takes a sample), true while between two steps.
class CGraphRenderer {
public:
    explicit CGraphRenderer(CGraphView& view) : view_(view) {}
    virtual ~CGraphRenderer() = default;

    virtual bool Draw(const CSampleList& list) = 0;

    // The scroll position within the current step, handed over when the graph type changes.
    virtual float Accumulator() const { return 0.0f; }
    virtual void SetAccumulator(float) {}

protected:
    CGraphView& view_;
};
