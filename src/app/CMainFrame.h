#pragma once

#include <memory>
#include <string>

#include "graph/CScrollPacer.h"
#include "persistence/CDataFolder.h"

class CFrameRateMeter;
class CSampleList;
class CTrafficHistory;
class CTrafficSampler;
class LocalClock;
class MsClock;

// The program's main object: owns the long-lived data (sample list, traffic history) and runs
// the per-frame update. Its destructor is the orderly shutdown: the history is saved first.
class CMainFrame {
public:
    struct Services {
        const MsClock& msClock;
        const LocalClock& localClock;
        CTrafficSampler& sampler;
        CFrameRateMeter& frameRate;
    };

    CMainFrame(const Services& services, CDataFolder folder);
    ~CMainFrame();
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Finishes set-up; the run loop calls RunFrame only once this has succeeded.
    bool Create();
    bool IsReady() const { return ready_; }

    // One frame: advance the graph, sample at each completed step, feed the consumers.
    void RunFrame();

    CTrafficSampler& Sampler() { return services_.sampler; }
    CTrafficHistory& History() { return *history_; }
    CSampleList& Samples() { return *samples_; }
    const CDataFolder& Folder() const { return folder_; }

    // The latest speeds (KB/s) and the tooltip text built from them.
    double DownloadRate() const { return downloadRate_; }
    double UploadRate() const { return uploadRate_; }
    const std::string& TooltipText() const { return tooltipText_; }

private:
    bool AdvanceGraph();
    void TakeSample();
    void RefreshTooltip();

    Services services_;
    CDataFolder folder_;
    std::unique_ptr<CSampleList> samples_;
    std::unique_ptr<CTrafficHistory> history_;
    bool ready_ = false;

    CScrollPacer scroll_;  // stands in for the graph view's scroll until the window exists

    double downloadRate_ = 0.0;
    double uploadRate_ = 0.0;
    std::uint32_t tooltipStamp_;
    std::string tooltipText_;
};
