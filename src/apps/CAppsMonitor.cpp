#include "apps/CAppsMonitor.h"

#include <utility>

CAppsMonitor::CAppsMonitor(std::unique_ptr<SocketSource> sockets,
                           std::unique_ptr<ProcessSource> processes, const MsClock& clock,
                           std::uint32_t userId, std::uint64_t received, std::uint64_t sent)
    : sockets_(std::move(sockets)),
      processes_(std::move(processes)),
      clock_(clock),
      traffic_(*sockets_, *processes_, clock, userId),
      lastPollMs_(clock.NowMs()),
      received_(received),
      sent_(sent) {
    traffic_.Poll(0, 0);
}

void CAppsMonitor::Sample(std::uint64_t received, std::uint64_t sent) {
    const std::uint32_t now = clock_.NowMs();
    if (MsElapsed(lastPollMs_, now) == 0) {
        return;
    }
    lastPollMs_ = now;
    // The counts only grow; a smaller one would be a restarted count, which carried nothing yet.
    const std::uint64_t newReceived = received >= received_ ? received - received_ : 0;
    const std::uint64_t newSent = sent >= sent_ ? sent - sent_ : 0;
    received_ = received;
    sent_ = sent;
    traffic_.Poll(newReceived, newSent);
}
