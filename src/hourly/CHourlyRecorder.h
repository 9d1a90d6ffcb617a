#pragma once

#include "hourly/CHourlyStore.h"
#include "hourly/CHourlyTally.h"
#include "persistence/CTrafficHistory.h"
#include "platform/UtcClock.h"
#include "sampling/CTrafficSampler.h"

// Keeps the hourly figures of the meter: takes every interface's deltas from the sampler's walks
// into a tally, and adds the tally to the store whenever the day history saves, so the two files
// are written at the same moments and never per sample.
class CHourlyRecorder final : public InterfaceDeltaSink, public SaveCompanion {
public:
    // All must outlive the recorder.
    CHourlyRecorder(const LocalZone& zone, const UtcClock& clock, CHourlyStore& store)
        : clock_(clock), store_(store), tally_(zone) {}

    void WalkStarted() override { walkTime_ = clock_.NowUtc(); }
    void InterfaceDelta(std::string_view description, bool monitored, std::uint64_t received,
                        std::uint64_t sent) override {
        tally_.Add(description, monitored, received, sent, walkTime_);
    }
    // A failed save keeps the figures for the next one.
    void SaveWithHistory(std::span<const DayRecord> days) override {
        if (store_.Save(tally_.Rows(), days)) {
            tally_.Clear();
        }
    }

    const CHourlyTally& Tally() const { return tally_; }

private:
    const UtcClock& clock_;
    CHourlyStore& store_;
    CHourlyTally tally_;
    std::int64_t walkTime_ = 0;
};
