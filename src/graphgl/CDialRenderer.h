#pragma once

#include "graph/CDialModel.h"
#include "graphgl/CGraphRenderer.h"

// The speedometer: download speed on a dial whose needle swings towards the newest sample.
class CDialRenderer final : public CGraphRenderer {
public:
    explicit CDialRenderer(CGraphView& view);
    bool Advance(const CSampleList& list) override;
    void FitToSize(const CSampleList& list) override;
    void Paint(const CSampleList& list) override;
    int FramesUntilSample(const CSampleList& list) const override;
    // The dial sleeps its own frame delay on top of the view's, so it runs at a gentler pace.
    int DelaysPerFrame() const override { return 2; }
    // Its labels are always the wide ones.
    TextLayout LabelLayout(int, int) const override { return TextLayout::Wide; }
    bool HasPicture() const override { return frame_.draw; }
    bool DescribePicture(CFrameSignature& signature) const override;
    float Motion() const override { return model_.NeedleTravel(); }
    bool MotionShows() const override { return frame_.draw; }
    int FramesUntilPictureChanges(const CSampleList& list, float shownMotion,
                                  int horizon) const override;

    const CDialModel& Model() const { return model_; }

private:
    void DrawDial(const CSampleList& list);
    void DrawLabels();
    CDialModel model_;
    DialFrame frame_;  // what the last Advance left to paint
};
