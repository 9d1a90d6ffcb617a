#pragma once

#include "graph/CBarPlan.h"
#include "graph/CGraphScale.h"
#include "graph/CScrollPacer.h"
#include "graph/CSeriesPlan.h"
#include "graphgl/CGraphRenderer.h"

// What the line and bar graphs share: the scroll pacing, the background, the series walk, the
// rescale, the scanlines and the speed labels. Subclasses draw the series.
class CScrollingRenderer : public CGraphRenderer {
public:
    explicit CScrollingRenderer(CGraphView& view);

    bool Advance(const CSampleList& list) final;
    void Paint(const CSampleList& list) final;
    float Accumulator() const override { return pacer_.Accumulator(); }
    void SetAccumulator(float accumulator) override { pacer_.SetAccumulator(accumulator); }

    const CGraphScale& Scale() const { return scale_; }

protected:
    virtual void BeginFrame() {}
    virtual void DrawSeries(const CSeriesPlan& series) = 0;
    // The line graph sets the text colour before the labels; bars leave the last colour.
    virtual void BeforeLabels() {}

private:
    CScrollPacer pacer_;
    CGraphScale scale_;
    CSeriesPlan series_;
    bool picture_ = false;  // whether the last Advance left something to paint
};

class CLineRenderer final : public CScrollingRenderer {
public:
    using CScrollingRenderer::CScrollingRenderer;

protected:
    void DrawSeries(const CSeriesPlan& series) override;
    void BeforeLabels() override;
};

class CBarRenderer final : public CScrollingRenderer {
public:
    using CScrollingRenderer::CScrollingRenderer;

protected:
    void BeginFrame() override;
    void DrawSeries(const CSeriesPlan& series) override;

private:
    CBarPlan bars_;
};
