#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "appearance/IGraphSettingsTarget.h"
#include "graph/CFrameSignature.h"
#include "graph/CGraphGeometry.h"
#include "graph/CScrollPacer.h"
#include "graph/CWarningBlink.h"
#include "graph/TextLayoutPlan.h"
#include "graphgl/CGraphRenderer.h"
#include "graphgl/CWarningOverlay.h"

class CSampleList;
class CScanlineOverlay;
class CTextOverlay;
class CThemeTable;
class MsClock;

// Draws the graph window once per frame with the current renderer, the quota warning and the
// scanlines, then sleeps the frame delay and shows the frame. A frame nobody can see keeps the
// same pace (scroll, sampling, warning blink, frame delay) but makes no GL call. Nor does a frame
// that would show exactly what the window shows already (no traffic on the bars, the warning
// picture, a frame that only samples): it keeps its pace and is neither drawn nor shown.
class CGraphView : public IGraphSettingsTarget {
public:
    struct Surface {
        std::function<void()> swapBuffers;
        std::function<void()> invalidate;  // asks for one more, paint-driven frame
    };

    CGraphView(CTextOverlay& text, const CThemeTable& themes, const MsClock& clock,
               std::string warningPicturePath, Surface surface, int x, int y);
    ~CGraphView() override;

    // True while the graph is between two steps; false when a sample is due.
    bool DrawFrame(const CSampleList& list);
    // The same frame for a hidden or covered window: same result, no GL call, nothing shown.
    bool RunUnseenFrame(const CSampleList& list);

    // Settings target.
    void SetPosition(int x, int y) override;
    void SetHeight(int height) override;
    void SetWidth(int width) override;
    void SetFrameDelay(int ms) override { frameDelay_ = ms; }
    int FrameDelay() const override { return frameDelay_; }
    bool SetRenderer(int graphType) override;
    int Left() const override { return savedX_; }
    int Top() const override { return savedY_; }
    int Width() const override { return geometry_.Width(); }
    int Height() const override { return geometry_.Height(); }

    // The window's content is no longer what the view last showed (it was exposed again, its
    // buffers were made anew): the next frame is drawn whatever it shows.
    void ForgetShownFrame() { shownKnown_ = false; }

    // A window resize: width and height together, in the order the geometry needs.
    void Resize(int width, int height);

    // The overlay's texture is made (and freed) by the next drawn frame, so switching the effect
    // while the window is hidden needs no GL.
    void CreateScanline() { scanlineWanted_ = true; }
    void DestroyScanline() { scanlineWanted_ = false; }
    bool ScanlineShown() const { return scanlineWanted_; }

    void SetQuotaWarning(bool on) { warningBlink_.SetRaised(on); }
    bool QuotaWarning() const { return warningBlink_.Raised(); }
    bool WarningPhase() const { return warningBlink_.PictureShown(); }

    // For the renderers.
    const CGraphGeometry& Geometry() const { return geometry_; }
    const CThemeTable& Themes() const { return themes_; }
    CTextOverlay& Text() { return text_; }
    float Step() const { return step_; }
    float Speed() const { return speed_; }
    CGraphRenderer* Renderer() { return renderer_.get(); }
    void DrawBackground();
    void DrawScanlinesIfShown();
    void DrawSpeedLabels(const CSampleList& list);

private:
    bool Frame(const CSampleList& list, bool seen);
    // Whether this frame's picture differs from the one on the screen (or may).
    bool ShowsSomethingNew(const CSampleList& list);
    bool DescribeFrame(const CSampleList& list, CFrameSignature& signature);
    void PlanSpeedLabels(const CSampleList& list, TextLayoutPlan& plan) const;
    void Paint(const CSampleList& list);
    void PaintUnderWarning(const CSampleList& list);
    void SyncScanline();

    CTextOverlay& text_;
    const CThemeTable& themes_;
    const MsClock& clock_;
    Surface surface_;

    int frameDelay_ = 0;
    int savedX_;
    int savedY_;
    CGraphGeometry geometry_;
    float step_ = kStartStep;
    float speed_ = kStartSpeed;

    CWarningBlink warningBlink_;
    bool underOverlay_ = false;

    std::unique_ptr<CGraphRenderer> renderer_;
    CWarningOverlay warning_;
    bool scanlineWanted_ = false;
    std::unique_ptr<CScanlineOverlay> scanline_;

    CFrameSignature shown_;  // what the window shows, when shownKnown_
    CFrameSignature next_;
    bool shownKnown_ = false;
    TextLayoutPlan labels_;
    bool labelsPlanned_ = false;  // labels_ holds this frame's labels (its signature planned them)
};
