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
    bool HasPicture() const override { return picture_; }
    bool DescribePicture(CFrameSignature& signature) const final;
    float Accumulator() const override { return pacer_.Accumulator(); }
    void SetAccumulator(float accumulator) override { pacer_.SetAccumulator(accumulator); }

    const CGraphScale& Scale() const { return scale_; }
    // The series of the last frame with a picture.
    const CSeriesPlan& Series() const { return series_; }

protected:
    // Called once the frame's series is placed, drawn or not.
    virtual void SeriesPlaced(const CSeriesPlan&) {}
    virtual void DescribeSeries(const CSeriesPlan& series, CFrameSignature& signature) const = 0;
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
    void DescribeSeries(const CSeriesPlan& series, CFrameSignature& signature) const override;
    void DrawSeries(const CSeriesPlan& series) override;
    void BeforeLabels() override;
};

class CBarRenderer final : public CScrollingRenderer {
public:
    using CScrollingRenderer::CScrollingRenderer;

    const CBarPlan& Bars() const { return bars_; }

protected:
    void SeriesPlaced(const CSeriesPlan& series) override;
    void DescribeSeries(const CSeriesPlan& series, CFrameSignature& signature) const override;
    void BeginFrame() override;
    void DrawSeries(const CSeriesPlan& series) override;

private:
    CBarPlan bars_;
};
