#include "app/CGraphFrame.h"

#include <QMessageBox>
#include <QScreen>

#include "app/ScreenMetrics.h"
#include "app/WindowSizing.h"
#include "appearance/CDesktopSchemeWatcher.h"
#include "appearance/CSettings.h"
#include "graph/CSampleList.h"
#include "graphgl/CGraphView.h"
#include "graphgl/CGraphWindow.h"
#include "graphgl/CTextOverlay.h"
#include "persistence/CDataFolder.h"
#include "runloop/CFrameClock.h"

namespace {

constexpr const char* kWarningPicture = "gfx/warning.bmp";

}  // namespace

CGraphFrame::CGraphFrame(const CDataFolder& folder, CTrafficSampler& sampler,
                         const CFrameClock& frameClock, const CSampleList& samples)
    : folder_(folder), sampler_(sampler), frameClock_(frameClock), samples_(samples) {}

CGraphFrame::~CGraphFrame() {
    if (window_ && window_->MakeCurrent()) {
        view_.reset();  // textures and lists go while their context is current
        if (text_) {
            text_->Destroy();
        }
    }
    view_.reset();
    window_.reset();
}

bool CGraphFrame::Create() {
    window_ = std::make_unique<CGraphWindow>();
    const ScreenMetrics screen = ReadScreen();
    const WindowSize size = DefaultWindowSize(screen.width);
    // Centred until InitGL knows where it goes.
    window_->setGeometry(screen.width / 2 - size.width / 2, screen.height / 2 - size.height / 2,
                         size.width, size.height);

    QString error;
    if (window_->CreateGL(error) && !InitGL()) {
        error = tr("Initialization has failed.");
    }
    if (!error.isEmpty()) {
        window_.reset();
        QMessageBox::warning(nullptr, tr("ERROR"), error);
        return false;
    }

    connect(window_.get(), &CGraphWindow::Resized, this, &CGraphFrame::OnResized);
    // An exposed window may have lost what it showed: the next frame is drawn in any case.
    connect(window_.get(), &CGraphWindow::Exposed, this, [this] { view_->ForgetShownFrame(); });
    connect(window_.get(), &CGraphWindow::Moved, this, [this](int x, int y) {
        if (heldPlace_ == QPoint(x, y)) {
            return;
        }
        heldPlace_.reset();
        view_->SetPosition(x, y);
    });
    return true;
}

bool CGraphFrame::InitGL() {
    text_ = std::make_unique<CTextOverlay>();
    if (!text_->Create()) {
        return false;
    }
    CGraphView::Surface surface{[this] { window_->SwapBuffers(); },
                                [this] { return window_->devicePixelRatio(); }};
    view_ = std::make_unique<CGraphView>(*text_, themes_, frameClock_,
                                         folder_.ProgramFilePath(kWarningPicture),
                                         std::move(surface), window_->x(), window_->y());
    view_->Resize(1, 1);
    settings_ = std::make_unique<CSettings>(folder_, themes_, sampler_, *view_);
    desktopScheme_ = std::make_unique<CDesktopSchemeWatcher>(QDBusConnection::sessionBus());
    TellSettingsOfScheme(*desktopScheme_, *settings_);
    desktopScheme_->Start();
    // The opposite of the settings, so the first frame applies both.
    captionShown_ = !settings_->ShowCaption();
    scanlineShown_ = !settings_->ScanlineEffect();
    PlaceWindow();
    return true;
}

void CGraphFrame::PlaceWindow() {
    const ScreenMetrics screen = ReadScreen();
    WindowSize size = SavedSize(settings_->windowWidth, settings_->windowHeight, screen);
    if (size.width <= 0 || size.height <= 0) {
        size = DefaultWindowSize(screen.width);
    }
    bool usedSaved = false;
    const WindowPlace place =
        StartPlace(view_->Left(), view_->Top(), size, screen.screens, screen.primary,
                   screen.panelHeight, usedSaved, window_->devicePixelRatio());
    // A place of the program's choosing is not the user's: the saved one stays in the settings,
    // so the window goes back there once that screen is plugged in again, unless the user moves
    // it first.
    heldPlace_ = usedSaved ? std::nullopt : std::optional(QPoint(place.x, place.y));
    window_->setGeometry(place.x, place.y, size.width, size.height);
}

void CGraphFrame::OnResized(int width, int height) {
    if (!window_->MakeCurrent()) {
        return;
    }
    CGraphWindow::ResizeGL(width, height, window_->devicePixelRatio());
    view_->Resize(width, height == 0 ? 1 : height);
    if (heldPlace_ != window_->position()) {
        heldPlace_.reset();
        view_->SetPosition(window_->x(), window_->y());
    }
}

bool CGraphFrame::Advance() {
    return view_->AdvanceFrame(samples_);
}

void CGraphFrame::ShowQuotaWarning(bool exceeded) {
    view_->SetQuotaWarning(exceeded);
}

void CGraphFrame::ApplyChangedSettings() {
    if (!settings_->TakeChanged()) {
        return;
    }
    if (settings_->ShowCaption() != captionShown_) {
        captionShown_ = settings_->ShowCaption();
        window_->SetCaptionShown(captionShown_);
    }
    if (settings_->ScanlineEffect() != scanlineShown_) {
        scanlineShown_ = settings_->ScanlineEffect();
        if (scanlineShown_) {
            view_->CreateScanline();
        } else {
            view_->DestroyScanline();
        }
    }
}

void CGraphFrame::SizeOnFirstFrame() {
    if (firstFrameDone_) {
        return;
    }
    firstFrameDone_ = true;
    const ScreenMetrics screen = ReadScreen();
    WindowSize size = SavedSize(settings_->windowWidth, settings_->windowHeight, screen);
    if (size.width == -1 && size.height == -1) {
        size = DefaultWindowSize(screen.width);
    }
    window_->resize(size.width, size.height);
}

bool CGraphFrame::WorkWaiting(bool exceeded) const {
    return !firstFrameDone_ || settings_->Changed() || exceeded != view_->QuotaWarning();
}

int CGraphFrame::FramesUntilNeeded(const CFrameTimeline& timeline) const {
    // No later than the frame of the next sample, which everything else may depend on.
    int needed = view_->FramesUntilSample(samples_);
    if (Seen()) {
        needed = view_->FramesUntilPictureChanges(samples_, needed);
        if (view_->QuotaWarning()) {
            needed = timeline.FirstFrame(
                needed, [this](std::uint32_t ms) { return view_->WarningFlipsAt(ms); });
        }
    }
    return needed;
}

bool CGraphFrame::Seen() const {
    return window_->isExposed() && !window_->FullyCovered();
}

bool CGraphFrame::PictureChanged() {
    // A window nobody can see keeps its pace and its samples; only the drawing is left out, and
    // it needs no GL context then.
    if (!Seen()) {
        view_->ForgetShownFrame();
        return false;
    }
    return view_->PictureChanged(samples_);
}

void CGraphFrame::ShowPicture() {
    if (window_->MakeCurrent()) {
        view_->ShowPicture(samples_);
    }
}

CFrameTimeline::Duration CGraphFrame::ShowInterval() const {
    // Screens that tell no believable rate count as the common 60 Hz.
    const QScreen* screen = window_->screen();
    const double rate = screen != nullptr ? screen->refreshRate() : 0.0;
    const double hertz = rate >= 10.0 && rate <= 1000.0 ? rate : 60.0;
    return std::chrono::duration_cast<CFrameTimeline::Duration>(
        std::chrono::duration<double>(1.0 / hertz));
}

CFrameTimeline::Duration CGraphFrame::FrameDelay() const {
    return std::chrono::milliseconds(view_->SleepPerFrameMs());
}

QRect CGraphFrame::Frame() const {
    return window_ && window_->isVisible() ? window_->frameGeometry() : QRect();
}

void CGraphFrame::MakeCurrent() {
    if (window_) {
        window_->MakeCurrent();
    }
}
