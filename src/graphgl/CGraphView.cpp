#include "graphgl/CGraphView.h"

#include <GL/gl.h>

#include <cmath>
#include <utility>

#include "appearance/CThemeTable.h"
#include "graph/CSampleList.h"
#include "graph/TextLayoutPlan.h"
#include "graphgl/CDialRenderer.h"
#include "graphgl/CScanlineOverlay.h"
#include "graphgl/CScrollingRenderer.h"
#include "graphgl/CTextOverlay.h"
#include "graphgl/GlDraw.h"
#include "platform/MsClock.h"

CGraphView::CGraphView(CTextOverlay& text, const CThemeTable& themes, const MsClock& clock,
                       std::string warningPicturePath, Surface surface, int x, int y)
    : text_(text),
      themes_(themes),
      clock_(clock),
      surface_(std::move(surface)),
      savedX_(x),
      savedY_(y),
      warning_(std::move(warningPicturePath)) {}

CGraphView::~CGraphView() = default;

bool CGraphView::AdvanceFrame(const CSampleList& list) {
    labelsPlanned_ = false;
    if (renderer_ == nullptr) {
        return false;  // not yet set up: sampling still goes on
    }
    // The blink keeps its pace whether or not the frame is drawn.
    if (warningBlink_.Raised()) {
        warningBlink_.Phase(clock_.NowMs());
    }
    return renderer_->Advance(list);
}

bool CGraphView::PictureChanged(const CSampleList& list) {
    if (renderer_ == nullptr) {
        return false;
    }
    nextKnown_ = false;
    if (!WarningPictureShown() && !renderer_->HasPicture()) {
        // Nothing is painted: showing the frame would show the last one drawn again.
        return !shownKnown_;
    }
    renderer_->FitToSize(list);
    next_.Clear();
    nextKnown_ = DescribeFrame(list, next_);
    const bool moving = !WarningPictureShown() && renderer_->MotionShows();
    nextMotion_ = moving ? renderer_->Motion() : 0.0f;
    if (!nextKnown_ || !shownKnown_ || !(next_ == shown_)) {
        return true;
    }
    return moving && std::fabs(nextMotion_ - shownMotion_) >= CGraphRenderer::kVisibleMotion;
}

void CGraphView::ShowPicture(const CSampleList& list) {
    if (renderer_ != nullptr) {
        SyncPixelRatio();
        Paint(list);
    }
    if (surface_.swapBuffers) {
        surface_.swapBuffers();
    }
    std::swap(shown_, next_);
    shownMotion_ = nextMotion_;
    shownKnown_ = nextKnown_;
}

bool CGraphView::DrawFrame(const CSampleList& list) {
    const bool between = AdvanceFrame(list);
    if (PictureChanged(list)) {
        ShowPicture(list);
    }
    return between;
}

int CGraphView::FramesUntilSample(const CSampleList& list) const {
    return renderer_ == nullptr ? 0 : renderer_->FramesUntilSample(list);
}

int CGraphView::FramesUntilPictureChanges(const CSampleList& list, int horizon) const {
    if (renderer_ == nullptr || WarningPictureShown()) {
        return horizon;  // the picture covers the graph until the blink flips it away
    }
    if (!shownKnown_) {
        return 0;
    }
    return renderer_->FramesUntilPictureChanges(list, shownMotion_, horizon);
}

int CGraphView::SleepPerFrameMs() const {
    return frameDelay_ * (renderer_ == nullptr ? 1 : renderer_->DelaysPerFrame());
}

bool CGraphView::DescribeFrame(const CSampleList& list, CFrameSignature& signature) {
    signature.Add(geometry_.Width());
    signature.Add(geometry_.Height());
    signature.Add(PixelRatio());
    if (WarningPictureShown()) {
        // The picture covers the cleared window; what the graph drew beneath it is gone. Without
        // its texture the quad takes whatever colour and texture the graph left: draw it then.
        signature.Add('W');
        for (ColourSlot slot : {ColourSlot::BackgroundTop, ColourSlot::BackgroundBottom}) {
            const ColourRgb colour = themes_.CurrentColour(slot);
            signature.Add(colour.red);
            signature.Add(colour.green);
            signature.Add(colour.blue);
        }
        return warning_.HasTexture();
    }
    if (!renderer_->DescribePicture(signature)) {
        return false;
    }
    signature.Add(geometry_.PlotWidth());
    signature.Add(geometry_.Baseline());
    for (ColourSlot slot : kColourSlots) {
        const ColourRgb colour = themes_.CurrentColour(slot);
        signature.Add(colour.red);
        signature.Add(colour.green);
        signature.Add(colour.blue);
    }
    signature.Add(scanlineWanted_);
    signature.Add(scanlineWanted_ ? themes_.ScanlineStrength() : 0);
    PlanSpeedLabels(list, labels_);
    labelsPlanned_ = true;  // drawn as planned here, should the frame be drawn
    signature.Add(labels_.layout);
    for (int r = 0; r < labels_.runCount; ++r) {
        const TextRun& run = labels_.runs[r];
        signature.Add(run.originX);
        signature.Add(run.originY);
        signature.Add(run.rasterX);
        signature.Add(run.rasterY);
        signature.Add(run.hasSquare);
        if (run.hasSquare) {
            signature.Add(run.square.colour);
            signature.Add(run.square.left);
            signature.Add(run.square.top);
            signature.Add(run.square.right);
            signature.Add(run.square.bottom);
        }
        for (int p = 0; p < run.pieceCount; ++p) {
            signature.Add(run.pieces[p].font);
            signature.AddText(run.pieces[p].text);
        }
    }
    return true;
}

void CGraphView::Paint(const CSampleList& list) {
    SyncScanline();
    if (WarningPictureShown()) {
        PaintUnderWarning(list);
    } else {
        renderer_->Paint(list);
    }
}

void CGraphView::PaintUnderWarning(const CSampleList& list) {
    // The graph is drawn beneath the picture as on any other frame.
    glEnable(GL_TEXTURE_2D);
    underOverlay_ = true;
    renderer_->Paint(list);
    underOverlay_ = false;
    warning_.Draw(geometry_.Width(), geometry_.Height(), drawnRatio_, [this] { DrawBackground(); });
    glDisable(GL_TEXTURE_2D);
    if (scanline_) {
        CScanlineOverlay::RestoreTextureState();
    }
}

double CGraphView::PixelRatio() const {
    return surface_.pixelRatio ? surface_.pixelRatio() : 1.0;
}

void CGraphView::SyncPixelRatio() {
    const double ratio = PixelRatio();
    if (ratio == drawnRatio_ && ratio == text_.Scale()) {
        return;
    }
    drawnRatio_ = ratio;
    text_.SetScale(ratio);
    if (scanline_) {
        scanline_->Resize(geometry_.Width(), geometry_.Height(), ratio);
    }
}

void CGraphView::SetLineWidth(float pixels) const {
    glLineWidth(static_cast<GLfloat>(pixels * drawnRatio_));
}

void CGraphView::SyncScanline() {
    if (scanlineWanted_ && !scanline_) {
        scanline_ = std::make_unique<CScanlineOverlay>(themes_.ScanlineStrength());
        scanline_->Resize(geometry_.Width(), geometry_.Height(), drawnRatio_);
    } else if (!scanlineWanted_) {
        scanline_.reset();
    }
}

void CGraphView::SetPosition(int x, int y) {
    savedX_ = x;
    savedY_ = y;
}

void CGraphView::SetHeight(int height) {
    geometry_.SetHeight(height);
}

void CGraphView::SetWidth(int width) {
    geometry_.SetWidth(width);
}

void CGraphView::Resize(int width, int height) {
    ForgetShownFrame();
    geometry_.SetWidth(width);
    geometry_.SetHeight(height);
    geometry_.SetPlotWidth(width);
    geometry_.SetBaseline(height);
    if (scanline_) {
        scanline_->Resize(width, height, drawnRatio_);
    }
}

bool CGraphView::SetRenderer(int graphType) {
    std::unique_ptr<CGraphRenderer> next;
    switch (graphType) {
        case kGraphLines:
            next = std::make_unique<CLineRenderer>(*this);
            break;
        case kGraphBars:
            next = std::make_unique<CBarRenderer>(*this);
            break;
        case kGraphDial:
            next = std::make_unique<CDialRenderer>(*this);
            break;
        default:
            return false;
    }
    if (renderer_) {
        // The new graph continues the current step, so nothing jumps.
        next->SetAccumulator(renderer_->Accumulator());
    }
    renderer_ = std::move(next);
    return true;
}

void CGraphView::DrawBackground() {
    const float width = static_cast<float>(geometry_.PlotWidth());
    const float height = static_cast<float>(geometry_.Height());
    // Opaque colours blend to themselves: leaving blending out gives the same pixels for less.
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    SetColour(themes_.CurrentColour(ColourSlot::BackgroundTop));
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    SetColour(themes_.CurrentColour(ColourSlot::BackgroundBottom));
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();
    glEnable(GL_BLEND);
}

void CGraphView::DrawScanlinesIfShown() {
    if (scanline_ && !underOverlay_) {
        scanline_->Draw(themes_.ScanlineStrength());
    }
}

void CGraphView::PlanSpeedLabels(const CSampleList& list, TextLayoutPlan& plan) const {
    const SampleNode* newest = list.Newest();
    const TextLayout layout = renderer_->LabelLayout(geometry_.Width(), geometry_.Height());
    if (newest == nullptr || layout == TextLayout::None) {
        plan = TextLayoutPlan{};
        return;
    }
    PlanTextLayout(layout, geometry_.Width(), geometry_.Height(), newest->download, newest->upload,
                   plan);
}

void CGraphView::DrawSpeedLabels(const CSampleList& list) {
    if (!labelsPlanned_) {
        PlanSpeedLabels(list, labels_);
    }
    text_.DrawPlan(labels_, themes_);
}
