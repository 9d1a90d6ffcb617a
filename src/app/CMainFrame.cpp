#include "app/CMainFrame.h"

#include <QCoreApplication>

#include <utility>

#include "hourly/CHourlyStore.h"
#include "quota/CTrafficQuota.h"
#include "runloop/CFrameClock.h"

namespace {

// What became of the hourly history at the start, for the user; empty when it opened as it
// should.
QString HourlyStoreTrouble(const CHourlyStore& store) {
    switch (store.Outcome()) {
        case CHourlyStore::OpenOutcome::MovedAside:
            return QCoreApplication::translate("CMainFrame",
                                               "The hourly history could not be read; it was kept "
                                               "as %1 and a new one started.")
                .arg(QString::fromStdString(store.KeptAs()));
        case CHourlyStore::OpenOutcome::Failed:
            // Any other reason is a save that failed, which the save failure notice tells.
            if (store.IsNewer()) {
                return QCoreApplication::translate(
                           "CMainFrame",
                           "The hourly history %1 was written by a newer version of Tallyglass; "
                           "it is left as it is and this run keeps no hourly figures.")
                    .arg(QString::fromStdString(store.FilePath()));
            }
            break;
        case CHourlyStore::OpenOutcome::Opened:
        case CHourlyStore::OpenOutcome::Created:
            break;
    }
    return {};
}

}  // namespace

CMainFrame::CMainFrame(const Services& services, CDataFolder folder)
    : services_(services),
      meter_(CMeter::Services{services.sampler, services.msClock, services.localClock,
                              services.zone, services.utcClock, texts_,
                              [this](std::function<void()> task) {
                                  QMetaObject::invokeMethod(this, std::move(task),
                                                            Qt::QueuedConnection);
                              }},
             folder.ReportingTo(saveFailures_)),
      graph_(meter_.Folder(), services.sampler, services.frameClock, meter_.Samples()),
      tools_(meter_, graph_, services.sampler, services.msClock),
      desktop_(meter_, texts_, services.frameClock, saveFailureAlert_) {
    if (const QString trouble = HourlyStoreTrouble(meter_.HourlyStore()); !trouble.isEmpty()) {
        saveFailureAlert_.Tell(
            QCoreApplication::translate("CMainFrame", "Tallyglass's hourly history"), trouble);
    }
}

CMainFrame::~CMainFrame() {
    // Orderly shutdown: the data goes to disk before anything else is torn down.
    meter_.SaveDataFiles();
    // Tool windows go while what they observe still exists.
    tools_.DestroyWindows();
    ready_ = false;
    meter_.StopUploads();
    // Then, as the members go: the tray icon, the menu, the graph window's GL and the window.
}

bool CMainFrame::Create() {
    if (!graph_.Create()) {
        return false;
    }
    tools_.Create();
    desktop_.Create(graph_, *tools_.Menu());
    ready_ = true;
    return true;
}

void CMainFrame::WorkFrame(std::uint32_t frameMs) {
    services_.frameClock.Set(frameMs);
    ++frameCount_;
    if (!graph_.Advance()) {
        meter_.TakeSample();
        tools_.SampleTaken();
        desktop_.ShowRates();
        emit SampleTaken(meter_.DownloadRate(), meter_.UploadRate());
    }
    // Every frame, not only while the quota is on: switching it off ends the warning at once.
    graph_.ShowQuotaWarning(meter_.Quota().IsExceeded());
    desktop_.Refresh();
    graph_.ApplyChangedSettings();
    tools_.Refresh();
    graph_.SizeOnFirstFrame();
}

bool CMainFrame::PictureChanged() {
    return graph_.PictureChanged();
}

void CMainFrame::ShowPicture() {
    graph_.ShowPicture();
}

int CMainFrame::FramesUntilNeeded(const CFrameTimeline& timeline) {
    // The desktop side is asked even when the next frame is needed anyway: the question closes
    // the wake-up for it.
    const int needed = graph_.WorkWaiting(meter_.Quota().IsExceeded())
                           ? 0
                           : tools_.FramesUntilNeeded(graph_.FramesUntilNeeded(timeline));
    return desktop_.FramesUntilNeeded(timeline, needed);
}

CFrameTimeline::Duration CMainFrame::FrameDelay() const {
    return graph_.FrameDelay();
}

void CMainFrame::RunFrame() {
    WorkFrame(services_.msClock.NowMs());
    if (PictureChanged()) {
        ShowPicture();
    }
}
