#include "graphgl/CGraphView.h"

#include <GL/gl.h>

#include <chrono>
#include <thread>

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

bool CGraphView::DrawFrame(const CSampleList& list) {
    return Frame(list, true);
}

bool CGraphView::RunUnseenFrame(const CSampleList& list) {
    return Frame(list, false);
}

bool CGraphView::Frame(const CSampleList& list, bool seen) {
    bool between = false;  // without a renderer (not yet set up) sampling still goes on
    if (renderer_ != nullptr) {
        // The blink keeps its pace whether or not the frame is drawn.
        if (warningBlink_.Raised()) {
            warningBlink_.Phase(clock_.NowMs());
        }
        between = renderer_->Advance(list);
        if (seen) {
            Paint(list);
        }
    }
    // The delay stays for unseen frames: it sets the frame rate, and with it the sampling rate.
    if (frameDelay_ > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(frameDelay_));
    }
    if (seen && surface_.swapBuffers) {
        surface_.swapBuffers();
    }
    if (surface_.invalidate) {
        surface_.invalidate();
    }
    return between;
}

void CGraphView::Paint(const CSampleList& list) {
    SyncScanline();
    if (warningBlink_.Raised() && warningBlink_.PictureShown()) {
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
    warning_.Draw(geometry_.Width(), geometry_.Height());
    glDisable(GL_TEXTURE_2D);
    if (scanline_) {
        CScanlineOverlay::RestoreTextureState();
    }
}

void CGraphView::SyncScanline() {
    if (scanlineWanted_ && !scanline_) {
        scanline_ = std::make_unique<CScanlineOverlay>(themes_.ScanlineStrength());
        scanline_->Resize(geometry_.Width(), geometry_.Height());
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
    geometry_.SetWidth(width);
    geometry_.SetHeight(height);
    geometry_.SetPlotWidth(width);
    geometry_.SetBaseline(height);
    if (scanline_) {
        scanline_->Resize(width, height);
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
    glBegin(GL_QUADS);
    SetColour(themes_.CurrentColour(ColourSlot::BackgroundTop));
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    SetColour(themes_.CurrentColour(ColourSlot::BackgroundBottom));
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();
}

void CGraphView::DrawScanlinesIfShown() {
    if (scanline_ && !underOverlay_) {
        scanline_->Draw(themes_.ScanlineStrength());
    }
}

void CGraphView::DrawSpeedLabels(const CSampleList& list) {
    const SampleNode* newest = list.Newest();
    const TextLayout layout = ChooseTextLayout(geometry_.Width(), geometry_.Height());
    if (newest == nullptr || layout == TextLayout::None) {
        return;
    }
    text_.DrawLayout(layout, geometry_.Width(), geometry_.Height(), newest->download,
                     newest->upload, themes_);
}
