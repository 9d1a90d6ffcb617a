#pragma once

#include "graph/CDialModel.h"
#include "graphgl/CGraphRenderer.h"

// The speedometer: download speed on a dial whose needle swings towards the newest sample.
class CDialRenderer final : public CGraphRenderer {
public:
    explicit CDialRenderer(CGraphView& view);
    bool Advance(const CSampleList& list) override;
    void Paint(const CSampleList& list) override;

    const CDialModel& Model() const { return model_; }

private:
    void DrawDial(const CSampleList& list);
    CDialModel model_;
    DialFrame frame_;  // what the last Advance left to paint
};
