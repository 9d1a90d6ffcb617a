#include "webstats/CWebStatsPublisher.h"

#include "webstats/WebStatsPage.h"

CWebStatsPublisher::CWebStatsPublisher(CWebStats& model, const CDataFolder& folder,
                                       const LocalClock& localClock, const LocaleTexts& texts)
    : model_(model), folder_(folder), localClock_(localClock), texts_(texts) {
    CCurlFtpSession::GlobalInit();
}

CWebStatsPublisher::~CWebStatsPublisher() {
    Stop();
}

void CWebStatsPublisher::SetOptions(FtpOptions options) {
    options_ = std::move(options);
}

bool CWebStatsPublisher::Start() {
    std::optional<UploadTicket> ticket = model_.BeginUpload();
    if (!ticket) {
        return false;
    }
    // The ticket means the last upload has handed in its own: its thread has nothing left to
    // do but return, so this join does not wait.
    if (worker_.joinable()) {
        worker_.join();
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
    worker_ = std::thread([this, job = std::move(job), options = options_] { Run(job, options); });
    return true;
}

void CWebStatsPublisher::Run(const UploadJob& job, const FtpOptions& options) {
    UploadOutcome outcome;
    {
        CCurlFtpSession session(job.ticket.settings, options, cancelled_);
        outcome = RunUpload(job, session);
    }  // the connection is closed before the upload counts as finished
    model_.FinishUpload(job.ticket, outcome.imagesSent, std::move(outcome.logLine));
}

void CWebStatsPublisher::Stop() {
    cancelled_ = true;
    if (worker_.joinable()) {
        worker_.join();
    }
    cancelled_ = false;
}
