#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

#include <memory>
#include <optional>

#include "appearance/CThemeTable.h"
#include "runloop/CFrameTimeline.h"

class CDataFolder;
class CDesktopSchemeWatcher;
class CFrameClock;
class CGraphView;
class CGraphWindow;
class CSampleList;
class CSettings;
class CTextOverlay;
class CTrafficSampler;

// The graph window: made with its GL view and the settings it is drawn by, placed and sized on
// the screen, and each frame moved on, brought up to changed settings and drawn when someone
// can see a change.
class CGraphFrame : public QObject {
    Q_OBJECT
public:
    // `samples` is what the graph draws; `frameClock` tells each frame its own time.
    CGraphFrame(const CDataFolder& folder, CTrafficSampler& sampler, const CFrameClock& frameClock,
                const CSampleList& samples);
    // Frees the GL resources while their context is current, then closes the window.
    ~CGraphFrame() override;

    // Creates the graph window and its GL set-up, placed where it was last; shows the "ERROR"
    // message and returns false when that fails.
    bool Create();

    // The graph's part of a frame, in the order the frame does them.
    // Moves the graph on one frame; false when a sample is due.
    bool Advance();
    void ShowQuotaWarning(bool exceeded);
    // Caption and scanlines as the settings now say.
    void ApplyChangedSettings();
    // The window's size as saved (or the default), once its first frame has run.
    void SizeOnFirstFrame();

    // Whether the next frame has work whatever the timeline says: the first sizing, settings
    // just changed, or a quota warning (`exceeded`) the graph does not show yet or still shows.
    bool WorkWaiting(bool exceeded) const;
    // The first of the next frames that samples or changes the picture someone sees.
    int FramesUntilNeeded(const CFrameTimeline& timeline) const;
    bool PictureChanged();
    void ShowPicture();
    CFrameTimeline::Duration FrameDelay() const;
    // The least time between two shown frames: one refresh of the graph window's screen.
    CFrameTimeline::Duration ShowInterval() const;
    // Whether someone can see the graph window: shown, not minimised, not fully covered.
    bool Seen() const;

    // Where the graph window and its frame are on the screen; empty while it is not shown.
    QRect Frame() const;
    // Makes the graph window's GL context current, as the GL of other windows needs it.
    void MakeCurrent();

    CGraphWindow* Window() { return window_.get(); }
    CGraphView* View() { return view_.get(); }
    CSettings* Settings() { return settings_.get(); }
    CThemeTable& Themes() { return themes_; }
    // The desktop's light or dark, which the settings follow when asked.
    const CDesktopSchemeWatcher& DesktopScheme() const { return *desktopScheme_; }

private:
    bool InitGL();
    void PlaceWindow();
    void OnResized(int width, int height);

    const CDataFolder& folder_;
    CTrafficSampler& sampler_;
    const CFrameClock& frameClock_;
    const CSampleList& samples_;
    CThemeTable themes_;

    std::unique_ptr<CGraphWindow> window_;
    std::unique_ptr<CTextOverlay> text_;
    std::unique_ptr<CGraphView> view_;
    std::unique_ptr<CSettings> settings_;
    std::unique_ptr<CDesktopSchemeWatcher> desktopScheme_;  // tells settings_, so goes first

    // Where the program put the graph because its saved place is on no screen now; until the
    // window leaves it, the saved place is kept.
    std::optional<QPoint> heldPlace_;
    bool captionShown_ = false;
    bool scanlineShown_ = false;
    bool firstFrameDone_ = false;
};
