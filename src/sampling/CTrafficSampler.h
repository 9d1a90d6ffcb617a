#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CObservable.h"
#include "platform/InterfaceSource.h"
#include "platform/MsClock.h"

// One network interface the sampler has met, keyed by its description.
struct CInterfaceRecord {
    std::uint64_t lastBytesIn = 0;  // counters at the last walk, in the source's width
    std::uint64_t lastBytesOut = 0;
    bool monitored = true;  // counted into the traffic
    std::string description;
};

// Told every interface's counter deltas of each walk, monitored or not.
class InterfaceDeltaSink {
public:
    virtual ~InterfaceDeltaSink() = default;
    // Before the deltas of one walk.
    virtual void WalkStarted() = 0;
    virtual void InterfaceDelta(std::string_view description, bool monitored,
                                std::uint64_t received, std::uint64_t sent) = 0;
};

// Walks the system's interfaces, keeps the table of those met and the user's choice of monitored
// ones, and turns the counter deltas into running totals (MB) and speeds (KB/s). Observers are
// told when the set of interfaces changes; they re-read InterfaceNames().
class CTrafficSampler : public CObservable {
public:
    CTrafficSampler(InterfaceSource& source, const MsClock& clock);

    // One walk and the speeds over the interval since the previous sample, in KB/s.
    void Sample(double& downRate, double& upRate);
    // MB received and sent by monitored interfaces since start.
    void Totals(double& downloaded, double& uploaded) const;
    // The same in bytes, exact.
    void ByteTotals(std::uint64_t& received, std::uint64_t& sent) const;

    void Select(const std::string& description);
    void Deselect(const std::string& description);
    // True when the description is not excluded; records are not consulted.
    bool IsMonitored(const std::string& description) const;
    // Descriptions of the known interfaces in walk order (an interface met for the first time
    // in the last walk stands there twice).
    std::vector<std::string> InterfaceNames() const;
    const std::vector<std::string>& ExcludedDescriptions() const { return excluded_; }

    // Also tells `sink` (null for none) every interface's deltas; it must outlive the sampler or
    // be replaced first.
    void SetDeltaSink(InterfaceDeltaSink* sink) { sink_ = sink; }

    // Updates the table from the source and gives the byte deltas of the monitored interfaces.
    // Sample calls it; public so tests can drive the table alone.
    void Walk(std::uint64_t& sumIn, std::uint64_t& sumOut);

    static constexpr std::size_t kMaxDescription = 256;
    static constexpr int kBlockLength = 30;  // walks per rebase of the totals

private:
    using RecordPtr = std::shared_ptr<CInterfaceRecord>;

    CInterfaceRecord* Find(const std::string& description) const;
    // Position of the first known record with that description, or known_.size().
    std::size_t FindIndex(const std::string& description) const;
    std::uint64_t Delta(std::uint64_t now, std::uint64_t last) const;

    InterfaceSource& source_;
    const MsClock& clock_;
    InterfaceDeltaSink* sink_ = nullptr;

    // Table.
    std::vector<std::string> excluded_;
    std::vector<RecordPtr> known_;
    std::vector<RecordPtr> seen_;          // built by a walk, empty between walks
    std::vector<std::uint32_t> adapters_;  // reused by every walk
    InterfaceRow row_;

    // Totals and rates.
    double downloaded_ = 0.0;
    double uploaded_ = 0.0;
    std::uint32_t lastSampleMs_ = 0;
    double previousDownloaded_ = 0.0;
    double previousUploaded_ = 0.0;
    double lastDownRate_ = 0.0;
    double lastUpRate_ = 0.0;
    std::uint64_t blockBytesIn_ = 0;
    std::uint64_t blockBytesOut_ = 0;
    std::uint64_t bytesIn_ = 0;
    std::uint64_t bytesOut_ = 0;
    double baseDownloaded_ = 0.0;
    double baseUploaded_ = 0.0;
    int walksInBlock_ = 0;
};
