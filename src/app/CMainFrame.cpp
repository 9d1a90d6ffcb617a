#include "app/CMainFrame.h"

#include "app/CFrameRateMeter.h"
#include "core/Formatters.h"
#include "core/Units.h"
#include "graph/CSampleList.h"
#include "persistence/CTrafficHistory.h"
#include "platform/MsClock.h"
#include "sampling/CTrafficSampler.h"

namespace {
constexpr std::uint32_t kTooltipPeriodMs = 200;
}  // namespace

CMainFrame::CMainFrame(const Services& services, CDataFolder folder)
    : services_(services),
      folder_(std::move(folder)),
      samples_(std::make_unique<CSampleList>()),
      history_(std::make_unique<CTrafficHistory>(folder_, services.msClock, services.localClock)),
      tooltipStamp_(services.msClock.NowMs()) {}

CMainFrame::~CMainFrame() {
    // Orderly shutdown: the history goes to disk before anything else is torn down.
    history_->Save();
}

bool CMainFrame::Create() {
    ready_ = true;
    return true;
}

void CMainFrame::RunFrame() {
    if (!AdvanceGraph()) {
        TakeSample();
    }
    RefreshTooltip();
    services_.frameRate.Tick();
}

bool CMainFrame::AdvanceGraph() {
    if (!scroll_.BeginDraw(samples_->Count() == 0)) {
        return false;
    }
    scroll_.Advance();
    return true;
}

void CMainFrame::TakeSample() {
    CTrafficSampler& sampler = services_.sampler;
    sampler.Sample(downloadRate_, uploadRate_);
    samples_->Append(downloadRate_, uploadRate_);
    double downloaded = 0.0;
    double uploaded = 0.0;
    sampler.Totals(downloaded, uploaded);
    history_->Update(downloaded, uploaded);
}

void CMainFrame::RefreshTooltip() {
    const std::uint32_t now = services_.msClock.NowMs();
    if (MsElapsed(tooltipStamp_, now) <= kTooltipPeriodMs) {
        return;
    }
    tooltipStamp_ = now;
    tooltipText_ = "Down: " + FormatSpeed(downloadRate_ / kKBPerMB) +
                   "\nUp: " + FormatSpeed(uploadRate_ / kKBPerMB);
}
