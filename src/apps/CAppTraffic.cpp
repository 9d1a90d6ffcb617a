#include "apps/CAppTraffic.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <utility>

namespace {

constexpr double kBytesPerKiB = 1024.0;

// Counters only grow while a socket lives; a smaller one is taken as no traffic.
std::uint64_t Grown(std::uint64_t now, std::uint64_t before) {
    return now > before ? now - before : 0;
}

// Kept apart from the address: a listening socket may have taken every address, and an accepted
// connection shares its port.
TcpEndpoint PortOnly(const TcpEndpoint& endpoint) {
    TcpEndpoint key;
    key.port = endpoint.port;
    return key;
}

}  // namespace

CAppTraffic::CAppTraffic(SocketSource& sockets, ProcessSource& processes, const MsClock& clock,
                         std::uint32_t userId)
    : sockets_(sockets), processes_(processes), clock_(clock), userId_(userId) {}

void CAppTraffic::Remember(std::map<TcpEndpoint, Seen>& memory, const TcpEndpoint& key,
                           const std::string& app) {
    const auto [seen, added] = memory.try_emplace(key, Seen{app, false, polls_});
    if (!added) {
        seen->second.shared = seen->second.shared || seen->second.app != app;
        seen->second.poll = polls_;
    }
}

std::string CAppTraffic::PlaceClosed(const TcpSocket& socket) const {
    const auto listener = listeners_.find(PortOnly(socket.local));
    if (listener != listeners_.end()) {
        return listener->second.shared ? std::string() : listener->second.app;
    }
    const auto peer = peers_.find(socket.remote);
    return peer != peers_.end() && !peer->second.shared ? peer->second.app : std::string();
}

void CAppTraffic::Forget() {
    if (tracked_.size() > kMaxAwaitedClosings) {
        std::vector<std::pair<std::uint64_t, std::uint64_t>> byAge;  // last seen, cookie
        for (const auto& [cookie, tracked] : tracked_) {
            if (tracked.poll != polls_) {
                byAge.emplace_back(tracked.poll, cookie);
            }
        }
        std::sort(byAge.begin(), byAge.end());
        for (std::size_t i = 0; i < byAge.size() && tracked_.size() > kMaxAwaitedClosings; ++i) {
            tracked_.erase(byAge[i].second);
        }
    }
    for (auto* memory : {&peers_, &listeners_}) {
        std::erase_if(*memory, [this](const auto& entry) {
            return polls_ - entry.second.poll > static_cast<std::uint64_t>(kEndpointMemoryPolls);
        });
    }
}

void CAppTraffic::Poll(std::uint64_t received, std::uint64_t sent) {
    const std::uint32_t now = clock_.NowMs();
    ++polls_;
    // Closings first: a socket that closes after this drain and before the table is read is
    // told at the next poll, still known by its cookie.
    closed_.clear();
    sockets_.ClosedSockets(closed_);
    open_.clear();
    readable_ = sockets_.OpenSockets(open_);
    const auto unknown = [this](const TcpSocket& socket) {
        return socket.inode != 0 && socket.uid == userId_ && !owner_.contains(socket.inode) &&
               !unowned_.contains(socket.inode);
    };
    if (!opened_ || std::any_of(open_.begin(), open_.end(), unknown)) {
        processInfo_.clear();
        processes_.Processes(processInfo_);
        owner_.clear();
        for (std::size_t i = 0; i < processInfo_.size(); ++i) {
            for (const std::uint64_t inode : processInfo_[i].socketInodes) {
                owner_.emplace(inode, i);
            }
        }
        // Held where we cannot look (a process of ours that is not dumpable, say): not a reason
        // to walk again at every poll.
        unowned_.clear();
        for (const TcpSocket& socket : open_) {
            if (unknown(socket)) {
                unowned_.insert(socket.inode);
            }
        }
    }
    const auto& owner = owner_;

    std::map<std::string, Counts> interval;
    std::map<std::string, std::set<std::size_t>> holders;
    for (const TcpSocket& socket : open_) {
        std::string app;
        const auto held = socket.inode != 0 ? owner.find(socket.inode) : owner.end();
        if (held != owner.end()) {
            app = processInfo_[held->second].app;
            holders[app].insert(held->second);
        }
        const auto known = tracked_.find(socket.cookie);
        if (app.empty() && known != tracked_.end()) {
            app = known->second.app;  // closed by its program, still finishing: its last owner
        }
        if (!app.empty()) {
            if (socket.state == kTcpListen) {
                Remember(listeners_, PortOnly(socket.local), app);
            } else if (socket.remote.port != 0) {
                Remember(peers_, socket.remote, app);
            }
        }
        if (!socket.hasCounters) {
            continue;
        }
        // A socket first met after the window opened counts from zero.
        const Tracked before = known != tracked_.end() ? known->second : Tracked{};
        tracked_[socket.cookie] = Tracked{app, socket.received, socket.sent, polls_};
        if (!opened_ || app.empty()) {
            continue;
        }
        Counts& counts = interval[app];
        counts.down += Grown(socket.received, before.received);
        counts.up += Grown(socket.sent, before.sent);
    }
    if (opened_) {
        for (const TcpSocket& socket : closed_) {
            if (!socket.hasCounters) {
                continue;
            }
            const auto known = tracked_.find(socket.cookie);
            const Tracked before = known != tracked_.end() ? known->second : Tracked{};
            const std::string app = known != tracked_.end() ? before.app : PlaceClosed(socket);
            if (known != tracked_.end()) {
                tracked_.erase(known);
            }
            if (app.empty()) {
                ++unplacedClosed_;
                continue;
            }
            Counts& counts = interval[app];
            counts.down += Grown(socket.received, before.received);
            counts.up += Grown(socket.sent, before.sent);
        }
    }
    Forget();

    for (const auto& [app, indexes] : holders) {
        for (const std::size_t index : indexes) {
            holders_[app][processInfo_[index].pid] = processInfo_[index];
        }
    }

    double seconds = 0.0;
    if (opened_) {
        seconds = MsElapsed(lastPollMs_, now) / 1000.0;
    } else {
        received = 0;
        sent = 0;
    }
    opened_ = true;
    lastPollMs_ = now;

    std::uint64_t attributedDown = 0;
    std::uint64_t attributedUp = 0;
    for (const auto& [app, counts] : interval) {
        totals_[app].down += counts.down;
        totals_[app].up += counts.up;
        attributedDown += counts.down;
        attributedUp += counts.up;
    }
    const auto rate = [seconds](std::uint64_t bytes) {
        return seconds > 0.0 ? bytes / kBytesPerKiB / seconds : 0.0;
    };

    apps_.clear();
    std::set<std::string> names;
    for (const auto& entry : totals_) {
        names.insert(entry.first);
    }
    for (const auto& entry : holders_) {
        names.insert(entry.first);
    }
    for (const std::string& name : names) {
        AppTraffic row;
        row.app = name;
        if (const auto found = holders_.find(name); found != holders_.end()) {
            for (const auto& entry : found->second) {
                row.processes.push_back(entry.second);
            }
        }
        if (const auto found = interval.find(name); found != interval.end()) {
            row.downKiBs = rate(found->second.down);
            row.upKiBs = rate(found->second.up);
        }
        row.downBytes = totals_[name].down;
        row.upBytes = totals_[name].up;
        apps_.push_back(std::move(row));
    }
    std::stable_sort(apps_.begin(), apps_.end(), [](const AppTraffic& a, const AppTraffic& b) {
        const double speedA = a.downKiBs + a.upKiBs;
        const double speedB = b.downKiBs + b.upKiBs;
        if (speedA != speedB) {
            return speedA > speedB;
        }
        return a.downBytes + a.upBytes > b.downBytes + b.upBytes;
    });

    interfaceDown_ += received;
    interfaceUp_ += sent;
    attributedDown_ += attributedDown;
    attributedUp_ += attributedUp;
    other_.downKiBs = rate(Grown(received, attributedDown));
    other_.upKiBs = rate(Grown(sent, attributedUp));
    other_.downBytes = Grown(interfaceDown_, attributedDown_);
    other_.upBytes = Grown(interfaceUp_, attributedUp_);
    // The sockets and the interfaces are read a moment apart, so the programs' share of a busy
    // loopback runs a little over its total now and then; only a clear excess since the opening
    // says the programs' traffic goes through an interface not monitored.
    const auto clearlyOver = [](std::uint64_t attributed, std::uint64_t total) {
        constexpr std::uint64_t kSlackBytes = 256 * 1024;
        return attributed > total + std::max(kSlackBytes, total / 20);
    };
    other_.attributedExceededTotal =
        clearlyOver(attributedDown_, interfaceDown_) || clearlyOver(attributedUp_, interfaceUp_);
    NotifyAll();
}
