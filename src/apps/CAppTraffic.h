#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "apps/ProcessInfo.h"
#include "apps/TcpSocket.h"
#include "core/CObservable.h"
#include "platform/MsClock.h"

// One application's TCP traffic.
struct AppTraffic {
    std::string app;
    std::vector<ProcessInfo> processes;  // those seen holding its sockets since the opening
    double downKiBs = 0.0;               // over the last interval
    double upKiBs = 0.0;
    std::uint64_t downBytes = 0;  // since the window opened
    std::uint64_t upBytes = 0;
};

// What the monitored interfaces carried that no application was found for.
struct OtherTraffic {
    double downKiBs = 0.0;
    double upKiBs = 0.0;
    std::uint64_t downBytes = 0;
    std::uint64_t upBytes = 0;
    // More was attributed than the interfaces carried (loopback not monitored, say): the figure
    // shown is 0, not negative.
    bool attributedExceededTotal = false;
};

// Splits the traffic of the user's own programs by application, from the TCP sockets' counters.
// A window opens at the first poll: the sockets open then count from their counters at that
// moment, so no old bytes arrive as a burst; a socket met later counts from zero. A socket that
// closed between polls counts its final counters, given to the application it was last seen
// with, or, if it was never seen, to the one application that listens on its port or that was
// seen talking to its peer. Whatever is left of the monitored interfaces' bytes is "other"
// traffic (UDP, other users, the system). The model exists only while someone looks at it.
class CAppTraffic : public CObservable {
public:
    // `userId`: the user whose processes can be read. The processes are walked again only when
    // one of that user's sockets is met that no process walked so far held: a poll of
    // connections that stay open reads no process.
    CAppTraffic(SocketSource& sockets, ProcessSource& processes, const MsClock& clock,
                std::uint32_t userId);

    // One poll. `received` and `sent`: the monitored interfaces' bytes since the previous poll
    // (the first poll opens the window and ignores them).
    void Poll(std::uint64_t received, std::uint64_t sent);

    // Busiest first (by the current speed, then by the totals, then by name).
    const std::vector<AppTraffic>& Apps() const { return apps_; }
    const OtherTraffic& Other() const { return other_; }
    // False when the system's socket table could not be read at the last poll.
    bool SocketsReadable() const { return readable_; }
    // Closed sockets that could be given to no application since the window opened.
    std::uint64_t UnplacedClosedSockets() const { return unplacedClosed_; }

    // Polls after which a peer or a listening port is forgotten for closed sockets never seen.
    static constexpr int kEndpointMemoryPolls = 30;
    // Sockets gone from the table but not yet told closed are kept for their closing notice: a
    // connection its peer closed first leaves the table for time-wait while its program still
    // holds it. Beyond this many the oldest are forgotten.
    static constexpr std::size_t kMaxAwaitedClosings = 10000;

private:
    struct Tracked {
        std::string app;  // empty while no process of ours holds it
        std::uint64_t received = 0;
        std::uint64_t sent = 0;
        std::uint64_t poll = 0;  // the last poll that saw it open
    };
    struct Seen {
        std::string app;
        bool shared = false;  // several applications were seen there: none can claim it
        std::uint64_t poll = 0;
    };
    struct Counts {
        std::uint64_t down = 0;
        std::uint64_t up = 0;
    };

    void Remember(std::map<TcpEndpoint, Seen>& memory, const TcpEndpoint& key,
                  const std::string& app);
    std::string PlaceClosed(const TcpSocket& socket) const;
    void Forget();

    SocketSource& sockets_;
    ProcessSource& processes_;
    const MsClock& clock_;
    const std::uint32_t userId_;

    bool opened_ = false;
    bool readable_ = false;
    std::uint64_t polls_ = 0;
    std::uint32_t lastPollMs_ = 0;
    std::map<std::uint64_t, Tracked> tracked_;  // by cookie: open ones and awaited closings
    std::map<TcpEndpoint, Seen> peers_;         // remote ends our applications talked to
    std::map<TcpEndpoint, Seen> listeners_;     // ports they listen on (address left empty)
    std::map<std::string, Counts> totals_;
    std::map<std::string, std::map<int, ProcessInfo>> holders_;  // by application, then pid
    std::uint64_t attributedDown_ = 0;
    std::uint64_t attributedUp_ = 0;
    std::uint64_t interfaceDown_ = 0;
    std::uint64_t interfaceUp_ = 0;
    std::uint64_t unplacedClosed_ = 0;
    std::vector<AppTraffic> apps_;
    OtherTraffic other_;
    // Reused by every poll.
    std::vector<TcpSocket> open_;
    std::vector<TcpSocket> closed_;
    std::vector<ProcessInfo> processInfo_;                  // as of the last walk
    std::unordered_map<std::uint64_t, std::size_t> owner_;  // inode: its process in processInfo_
    std::unordered_set<std::uint64_t> unowned_;  // the user's inodes the last walk did not find
};
