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
    void FitToSize(const CSampleList& list) final;
    void Paint(const CSampleList& list) final;
    int FramesUntilSample(const CSampleList& list) const final {
        return pacer_.FramesUntilStep(list.Count() == 0);
    }
    bool HasPicture() const override { return picture_; }
    bool DescribePicture(CFrameSignature& signature) const final;
    float Motion() const final { return pacer_.Accumulator(); }
    bool MotionShows() const final { return picture_ && !StandsStill(series_); }
    int FramesUntilPictureChanges(const CSampleList& list, float shownMotion,
                                  int horizon) const final;
    float Accumulator() const override { return pacer_.Accumulator(); }
    void SetAccumulator(float accumulator) override { pacer_.SetAccumulator(accumulator); }

    const CGraphScale& Scale() const { return scale_; }
    // The series of the last frame with a picture.
    const CSeriesPlan& Series() const { return series_; }

protected:
    // Called once the frame's series is placed, drawn or not.
    virtual void SeriesPlaced(const CSeriesPlan&) {}
    // One letter per graph type, for the picture's description.
    virtual char Kind() const = 0;
    // Whether the series looks the same at every scroll position.
    virtual bool StandsStill(const CSeriesPlan& series) const = 0;
    virtual void BeginFrame() {}
    virtual void DrawSeries(const CSeriesPlan& series) = 0;
    // The line graph sets the text colour before the labels; bars leave the last colour.
    virtual void BeforeLabels() {}

private:
    CScrollPacer pacer_;
    CGraphScale scale_;
    CSeriesPlan series_;
    bool picture_ = false;  // whether the last Advance left something to paint
    // Places the series (and what the subclass builds from it) for the view's present size.
    void Plan(const CSampleList& list, double scale);

    // What the series was planned for: the plot's size, and the scale of its frame.
    int plannedWidth_ = -1;
    int plannedHeight_ = -1;
    double plannedScale_ = 0.0;
};

class CLineRenderer final : public CScrollingRenderer {
public:
    using CScrollingRenderer::CScrollingRenderer;

protected:
    char Kind() const override { return 'L'; }
    bool StandsStill(const CSeriesPlan& series) const override;
    void DrawSeries(const CSeriesPlan& series) override;
    void BeforeLabels() override;
};

class CBarRenderer final : public CScrollingRenderer {
public:
    using CScrollingRenderer::CScrollingRenderer;

    const CBarPlan& Bars() const { return bars_; }

protected:
    void SeriesPlaced(const CSeriesPlan& series) override;
    char Kind() const override { return 'B'; }
    bool StandsStill(const CSeriesPlan& series) const override;
    void BeginFrame() override;
    void DrawSeries(const CSeriesPlan& series) override;

private:
    CBarPlan bars_;
};
