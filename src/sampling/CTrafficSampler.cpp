#include "sampling/CTrafficSampler.h"

#include <algorithm>

#include "core/Units.h"

CTrafficSampler::CTrafficSampler(InterfaceSource& source, const MsClock& clock)
    : source_(source), clock_(clock) {}

void CTrafficSampler::Sample(double& downRate, double& upRate) {
    const std::uint32_t now = clock_.NowMs();  // read before the walk
    std::uint64_t in = 0;
    std::uint64_t out = 0;
    Walk(in, out);

    downloaded_ += static_cast<double>(in) / kBytesPerMB;
    uploaded_ += static_cast<double>(out) / kBytesPerMB;

    // Every block of walks the totals are rebuilt from exact byte counts, so rounding in the
    // per-walk additions does not pile up. 64-bit counts: a fast link moves more than 4 GiB in
    // one block.
    bytesIn_ += in;
    bytesOut_ += out;
    blockBytesIn_ += in;
    blockBytesOut_ += out;
    if (++walksInBlock_ >= kBlockLength) {
        baseDownloaded_ += static_cast<double>(blockBytesIn_) / kBytesPerMB;
        baseUploaded_ += static_cast<double>(blockBytesOut_) / kBytesPerMB;
        blockBytesIn_ = 0;
        blockBytesOut_ = 0;
        walksInBlock_ = 0;
        downloaded_ = baseDownloaded_;
        uploaded_ = baseUploaded_;
    }

    // Unsigned difference: correct across the clock's 32-bit wrap.
    const std::uint32_t elapsedMs = MsElapsed(lastSampleMs_, now);
    if (elapsedMs == 0) {
        // No time to divide by: repeat the last speeds and leave the interval open, so these
        // bytes are averaged into the next one.
        downRate = lastDownRate_;
        upRate = lastUpRate_;
        return;
    }
    const double seconds = static_cast<double>(elapsedMs) * 0.001;
    downRate = (downloaded_ - previousDownloaded_) * kKBPerMB / seconds;
    upRate = (uploaded_ - previousUploaded_) * kKBPerMB / seconds;

    lastSampleMs_ = now;
    previousDownloaded_ = downloaded_;
    previousUploaded_ = uploaded_;
    lastDownRate_ = downRate;
    lastUpRate_ = upRate;
}

void CTrafficSampler::Totals(double& downloaded, double& uploaded) const {
    downloaded = downloaded_;
    uploaded = uploaded_;
}

void CTrafficSampler::ByteTotals(std::uint64_t& received, std::uint64_t& sent) const {
    received = bytesIn_;
    sent = bytesOut_;
}

void CTrafficSampler::Select(const std::string& description) {
    if (CInterfaceRecord* record = Find(description)) {
        record->monitored = true;
    }
    std::erase(excluded_, description);
    if (IsExcludedBy(excluded_, description)) {
        excluded_.push_back(KeptDespitePattern(description));  // a pattern still covers it
    }
}

void CTrafficSampler::Deselect(const std::string& description) {
    if (CInterfaceRecord* record = Find(description)) {
        record->monitored = false;
    }
    std::erase(excluded_, KeptDespitePattern(description));
    if (!IsExcludedBy(excluded_, description)) {
        excluded_.push_back(description);
    }
}

bool CTrafficSampler::IsMonitored(const std::string& description) const {
    return !IsExcludedBy(excluded_, description);
}

std::vector<std::string> CTrafficSampler::InterfaceNames() const {
    std::vector<std::string> names;
    names.reserve(known_.size());
    for (const RecordPtr& record : known_) {
        names.push_back(record->description);
    }
    return names;
}

CInterfaceRecord* CTrafficSampler::Find(const std::string& description) const {
    const std::size_t at = FindIndex(description);
    return at < known_.size() ? known_[at].get() : nullptr;
}

std::size_t CTrafficSampler::FindIndex(const std::string& description) const {
    for (std::size_t i = 0; i < known_.size(); ++i) {
        if (known_[i]->description == description) {
            return i;
        }
    }
    return known_.size();
}

std::uint64_t CTrafficSampler::Delta(std::uint64_t now, std::uint64_t last) const {
    const unsigned bits = source_.CounterBits();
    if (bits >= 64) {
        // A 64-bit counter never wraps in practice: going down means it was reset (driver
        // reload, interface re-created), and the bytes before the reset are unknown.
        return now >= last ? now - last : 0;
    }
    // Narrow counters wrap: the difference modulo their width is the true delta.
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    return (now - last) & mask;
}

void CTrafficSampler::Walk(std::uint64_t& sumIn, std::uint64_t& sumOut) {
    sumIn = 0;
    sumOut = 0;

    if (sink_ != nullptr) {
        sink_->WalkStarted();
    }
    source_.AdapterIndexes(adapters_);
    std::uint32_t tableCount = 0;
    if (!source_.TableCount(tableCount)) {
        tableCount = 0;
    }
    // The table counts the adapters and the loopback entry. Where the adapter list leaves
    // loopback out, that entry is the one the walk cannot visit; and never more than the list.
    const std::uint32_t unlisted = source_.ListsLoopback() ? 0 : 1;
    const std::size_t visits =
        std::min<std::size_t>(tableCount > unlisted ? tableCount - unlisted : 0, adapters_.size());

    for (std::size_t i = 0; i < visits; ++i) {
        if (!source_.Entry(adapters_[i], row_)) {
            continue;  // left out of this walk; its record is dropped below
        }
        if (row_.description.size() > kMaxDescription) {
            row_.description.resize(kMaxDescription);
        }
        std::size_t at = FindIndex(row_.description);
        if (at == known_.size()) {
            // Starts from the current counters: traffic from before it was met is not counted.
            auto created = std::make_shared<CInterfaceRecord>();
            created->lastBytesIn = row_.inOctets;
            created->lastBytesOut = row_.outOctets;
            created->monitored = IsMonitored(row_.description);
            created->description = row_.description;
            seen_.push_back(created);
            known_.push_back(std::move(created));
        }
        CInterfaceRecord& record = *known_[at];
        const std::uint64_t in = Delta(row_.inOctets, record.lastBytesIn);
        const std::uint64_t out = Delta(row_.outOctets, record.lastBytesOut);
        if (record.monitored) {
            sumIn += in;
            sumOut += out;
        }
        if (sink_ != nullptr) {
            sink_->InterfaceDelta(record.description, record.monitored, in, out);
        }
        record.lastBytesIn = row_.inOctets;
        record.lastBytesOut = row_.outOctets;
        seen_.push_back(known_[at]);
    }

    // A record created in this walk stands twice in the seen list, so a new interface changes
    // the count in the walk that meets it and again in the next, when the duplicate leaves.
    const bool changed = known_.size() != seen_.size();
    known_.swap(seen_);  // keeps both capacities: no allocation in the steady state
    seen_.clear();
    if (changed) {
        NotifyAll();
    }
}
