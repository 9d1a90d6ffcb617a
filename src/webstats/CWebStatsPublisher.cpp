#include "webstats/CWebStatsPublisher.h"

#include <thread>

#include "webstats/WebStatsPage.h"

CWebStatsPublisher::CWebStatsPublisher(CWebStats& model, const CDataFolder& folder,
                                       const LocalClock& localClock, const LocaleTexts& texts)
    : model_(model),
      folder_(folder),
      localClock_(localClock),
      texts_(texts),
      shared_(std::make_shared<Shared>()) {
    CCurlFtpSession::GlobalInit();
    shared_->model = &model_;
}

CWebStatsPublisher::~CWebStatsPublisher() {
    shared_->cancelled = true;
    std::lock_guard lock(shared_->mutex);
    if (shared_->ticket) {
        // Cut short: not logged, as nothing was done.
        model_.FinishUpload(*shared_->ticket, false, {});
        shared_->ticket.reset();
    }
    shared_->model = nullptr;
}

void CWebStatsPublisher::SetOptions(FtpOptions options) {
    options_ = std::move(options);
}

bool CWebStatsPublisher::Start() {
    std::optional<UploadTicket> ticket = model_.BeginUpload();
    if (!ticket) {
        return false;
    }
    const LocalDateTime now = localClock_.Now();
    UploadJob job;
    job.ticket = std::move(*ticket);
    job.logPrefix = texts_.TimeText(now.hour, now.minute) + ": ";
    // Built here, on the caller's thread, which owns the locale texts; it takes well under a
    // millisecond.
    job.page = BuildWebStatsPage(model_.Figures(), now.hour, texts_);
    job.pagePath = folder_.DataFilePath(kLocalPageFileName);
    job.pictureFolder = folder_.ProgramFilePath("gfx/");
    {
        std::lock_guard lock(shared_->mutex);
        shared_->ticket = job.ticket;
    }
    // Detached: the worker holds its job, its options and the shared part, nothing of ours.
    ++workersRunning_;
    std::thread([shared = shared_, job = std::move(job), options = options_] {
        Run(shared, job, options);
        --workersRunning_;
    }).detach();
    return true;
}

void CWebStatsPublisher::Run(const std::shared_ptr<Shared>& shared, const UploadJob& job,
                             const FtpOptions& options) {
    CCurlFtpSession session(job.ticket.settings, options, shared->cancelled);
    UploadOutcome outcome = RunUpload(job, session);
    // The upload is done when its files are: the line does not wait for the connection to
    // close, which the session does after this without waiting for the server either.
    std::lock_guard lock(shared->mutex);
    if (shared->model != nullptr && shared->ticket) {
        shared->model->FinishUpload(job.ticket, outcome.imagesSent, std::move(outcome.logLine));
        shared->ticket.reset();
    }
}
