#include "app/CMeter.h"

#include <utility>

#include "graph/CSampleList.h"
#include "hourly/CHourlyRecorder.h"
#include "hourly/CHourlyStore.h"
#include "persistence/CTrafficHistory.h"
#include "quota/CQuotaEarlyWarning.h"
#include "quota/CTrafficQuota.h"
#include "sampling/CTrafficSampler.h"
#include "webstats/CWebStats.h"
#include "webstats/CWebStatsPublisher.h"

CMeter::CMeter(const Services& services, CDataFolder folder)
    : sampler_(services.sampler),
      folder_(std::move(folder)),
      samples_(std::make_unique<CSampleList>()),
      history_(std::make_unique<CTrafficHistory>(folder_, services.msClock, services.localClock)),
      quota_(std::make_unique<CTrafficQuota>(*history_, folder_, services.msClock,
                                             services.localClock)),
      quotaEarlyWarning_(std::make_unique<CQuotaEarlyWarning>(*quota_, folder_)),
      webStats_(std::make_unique<CWebStats>(folder_, services.msClock, services.localClock)),
      webStatsPublisher_(std::make_unique<CWebStatsPublisher>(*webStats_, folder_,
                                                              services.localClock, services.texts)),
      hourlyStore_(std::make_unique<CHourlyStore>(folder_, services.zone)) {
    // Log lines come from the upload's thread; the observers hear of them on this one.
    webStats_->SetLogListener(
        [this, post = services.post] { post([this] { webStats_->NotifyAll(); }); });
    // Without the store the rest runs on as before.
    if (hourlyStore_->Open(services.utcClock.NowUtc()) != CHourlyStore::OpenOutcome::Failed) {
        // The hours are saved first: a kill before "stats.dat" followed left its days here.
        for (const DayRecord& day : hourlyStore_->SavedDays()) {
            history_->CatchUpWith(day);
        }
        hourlyRecorder_ =
            std::make_unique<CHourlyRecorder>(services.zone, services.utcClock, *hourlyStore_);
        sampler_.SetDeltaSink(hourlyRecorder_.get());
        history_->SetSaveCompanion(hourlyRecorder_.get());
    } else if (!hourlyStore_->IsNewer()) {
        // It could not be made or written (a full disk, a read-only folder): a save that failed,
        // told once with the others. A newer program's file is the owner's to tell of.
        folder_.ReportSaveFailure(CHourlyStore::kFileName, hourlyStore_->OpenError());
    }
}

CMeter::~CMeter() {
    // The sampler outlives the meter; the history goes with it, but not before the recorder.
    sampler_.SetDeltaSink(nullptr);
    history_->SetSaveCompanion(nullptr);
}

void CMeter::TakeSample() {
    sampler_.Sample(downloadRate_, uploadRate_);
    samples_->Append(downloadRate_, uploadRate_);
    double downloaded = 0.0;
    double uploaded = 0.0;
    RecordTotals(downloaded, uploaded);
    if (webStats_->AddSample(downloaded, uploaded)) {
        webStatsPublisher_->Start();  // returns at once; the upload runs on its own thread
    }
}

void CMeter::SaveDataFiles() {
    // Without a last sample the traffic since the last graph step (up to a step's worth) would be
    // lost. The graph is not fed: this is no step of its.
    sampler_.Sample(downloadRate_, uploadRate_);
    double downloaded = 0.0;
    double uploaded = 0.0;
    RecordTotals(downloaded, uploaded);
    history_->Save();
    quota_->CatchUp();  // the quota works on every third sample only
    quota_->Save();
}

void CMeter::StopUploads() {
    webStatsPublisher_.reset();
}

void CMeter::RecordTotals(double& downloaded, double& uploaded) {
    sampler_.Totals(downloaded, uploaded);
    history_->Update(downloaded, uploaded);
}

MeterStatus CMeter::Status() const {
    return CollectStatus(*samples_, *history_, *quota_);
}
