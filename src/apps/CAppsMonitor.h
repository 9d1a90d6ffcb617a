#pragma once

#include <cstdint>
#include <memory>

#include "apps/CAppTraffic.h"

// The per-application model with the sources it reads, made when someone starts looking and gone
// when they stop: while it does not exist no socket table is read and no process walked. It turns
// the meter's running byte counts into the deltas the model wants, one poll per sample.
class CAppsMonitor {
public:
    // `received` and `sent`: the monitored interfaces' bytes counted so far; the model's window
    // opens now, so nothing before counts.
    CAppsMonitor(std::unique_ptr<SocketSource> sockets, std::unique_ptr<ProcessSource> processes,
                 const MsClock& clock, std::uint32_t userId, std::uint64_t received,
                 std::uint64_t sent);

    // A sample was taken: polls with what the interfaces carried since the previous poll. A
    // sample in the same millisecond as that poll waits for the next: its interval has no time
    // to divide by, and the speeds would show 0.
    void Sample(std::uint64_t received, std::uint64_t sent);

    CAppTraffic& Traffic() { return traffic_; }

private:
    std::unique_ptr<SocketSource> sockets_;
    std::unique_ptr<ProcessSource> processes_;
    const MsClock& clock_;
    CAppTraffic traffic_;
    std::uint32_t lastPollMs_;
    std::uint64_t received_;
    std::uint64_t sent_;
};
