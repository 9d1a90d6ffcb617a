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

// The graph window's picture, frame by frame, with the current renderer, the quota warning and
// the scanlines. A frame is worked in two halves: AdvanceFrame moves the graph on (scroll,
// sampling pace, warning blink) without GL, whether or not anyone sees it; the latest frame is
// drawn and shown only when its picture differs visibly from the one on the screen: new content
// (a sample, a text, a colour, a size, the warning phase, the scanlines) or a motion (scroll,
// needle) of at least a quarter pixel. A graph without traffic, the warning picture and a frame
// that only samples are neither drawn nor shown again.
class CGraphView : public IGraphSettingsTarget {
public:
    struct Surface {
        std::function<void()> swapBuffers;
        // Device pixels per window pixel of the screen the window is on now (1 without).
        std::function<double()> pixelRatio = nullptr;
    };

    // `clock` tells each frame its own time (the warning blinks by it).
    CGraphView(CTextOverlay& text, const CThemeTable& themes, const MsClock& clock,
               std::string warningPicturePath, Surface surface, int x, int y);
    ~CGraphView() override;

    // One frame, without drawing. True while the graph is between two steps; false when a
    // sample is due.
    bool AdvanceFrame(const CSampleList& list);
    // Whether the latest frame's picture differs visibly from the one on the screen. Needs the
    // window's GL context current only for ShowPicture.
    bool PictureChanged(const CSampleList& list);
    // Draws the latest frame and shows it.
    void ShowPicture(const CSampleList& list);
    // One frame, shown if it changed anything: what a window shown at every frame does.
    bool DrawFrame(const CSampleList& list);

    // How many frames from now on advance before the one that asks for a sample (0: the next).
    int FramesUntilSample(const CSampleList& list) const;
    // The first of the next `horizon` frames whose picture may differ visibly from the one on
    // the screen (0: the next), leaving the warning's blink aside; `horizon` when none.
    int FramesUntilPictureChanges(const CSampleList& list, int horizon) const;
    // Whether a frame at `now` (ms) flips the warning picture.
    bool WarningFlipsAt(std::uint32_t now) const { return warningBlink_.FlipsAt(now); }
    // Milliseconds each frame sleeps: the frame delay, twice for the dial.
    int SleepPerFrameMs() const;

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
    // buffers were made anew, nobody could see it): the next frame is drawn whatever it shows.
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
    // A line width in window pixels, as device pixels on the window's screen.
    void SetLineWidth(float pixels) const;
    // What the picture was last drawn at: device pixels per window pixel.
    double DrawnPixelRatio() const { return drawnRatio_; }
    void DrawScanlinesIfShown();
    void DrawSpeedLabels(const CSampleList& list);

private:
    bool WarningPictureShown() const {
        return warningBlink_.Raised() && warningBlink_.PictureShown();
    }
    bool DescribeFrame(const CSampleList& list, CFrameSignature& signature);
    void PlanSpeedLabels(const CSampleList& list, TextLayoutPlan& plan) const;
    void Paint(const CSampleList& list);
    void PaintUnderWarning(const CSampleList& list);
    void SyncScanline();
    double PixelRatio() const;
    // Fonts and scanlines follow the screen's scale before a frame is drawn.
    void SyncPixelRatio();

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
    double drawnRatio_ = 1.0;
    std::unique_ptr<CScanlineOverlay> scanline_;

    // What the window shows, when shownKnown_: its content and how far its motion had gone.
    CFrameSignature shown_;
    float shownMotion_ = 0.0f;
    bool shownKnown_ = false;
    // The latest frame's, as PictureChanged found it.
    CFrameSignature next_;
    float nextMotion_ = 0.0f;
    bool nextKnown_ = false;
    TextLayoutPlan labels_;
    bool labelsPlanned_ = false;  // labels_ holds this frame's labels (its signature planned them)
};
