#include "apps/CAppTraffic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FakeClocks.h"

namespace {

// A socket in a test: inodes 100-199 belong to "firefox" (pid 10), 200-299 to "curl" (pid 20);
// any other inode to no process the user may read.
struct Sock {
    std::uint64_t cookie = 0;
    std::uint64_t inode = 0;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    std::uint16_t remotePort = 443;
    std::uint16_t localPort = 40000;
    std::uint8_t state = kTcpEstablished;
    bool counters = true;
};

TcpSocket Make(const Sock& sock) {
    TcpSocket socket;
    socket.cookie = sock.cookie;
    socket.inode = sock.inode;
    socket.received = sock.received;
    socket.sent = sock.sent;
    socket.state = sock.state;
    socket.hasCounters = sock.counters;
    socket.local.family = socket.remote.family = 2;
    socket.local.address = {127, 0, 0, 1};
    socket.remote.address = {10, 0, 0, 9};
    socket.local.port = sock.localPort;
    socket.remote.port = sock.remotePort;
    return socket;
}

class FakeSystem final : public SocketSource, public ProcessSource {
public:
    std::vector<Sock> open;
    std::vector<Sock> closed;
    bool readable = true;

    bool OpenSockets(std::vector<TcpSocket>& sockets) override {
        for (const Sock& sock : open) {
            sockets.push_back(Make(sock));
        }
        return readable;
    }
    void ClosedSockets(std::vector<TcpSocket>& sockets) override {
        for (const Sock& sock : closed) {
            sockets.push_back(Make(sock));
        }
    }
    int walks = 0;

    void Processes(std::vector<ProcessInfo>& processes) override {
        ++walks;
        ProcessInfo firefox{10, "firefox", "firefox --new-tab", {}};
        ProcessInfo curl{20, "curl", "curl https://example.org", {}};
        for (const Sock& sock : open) {
            if (sock.inode >= 100 && sock.inode < 200) {
                firefox.socketInodes.push_back(sock.inode);
            } else if (sock.inode >= 200 && sock.inode < 300) {
                curl.socketInodes.push_back(sock.inode);
            }
        }
        processes = {firefox, curl};
    }
};

struct Step {
    std::vector<Sock> open = {};
    std::vector<Sock> closed = {};
    std::uint64_t interfaceIn = 0;
    std::uint64_t interfaceOut = 0;
};

struct Totals {
    std::uint64_t down = 0;
    std::uint64_t up = 0;
    bool operator==(const Totals&) const = default;
};

TEST(AppTraffic, BytesGoToTheApplicationTheirSocketBelongsTo) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::map<std::string, Totals> apps;
        Totals other;
        bool exceeded = false;
    };
    const Case cases[] = {
        {"a socket open when the window opens counts from its counters then",
         {{{{1, 100, 5000, 3000}}}, {{{1, 100, 5600, 3100}}, {}, 1000, 200}},
         {{"firefox", {600, 100}}},
         {400, 100}},
        {"a socket met after the opening counts from zero",
         {{}, {{{2, 200, 700, 50}}, {}, 1000, 100}},
         {{"curl", {700, 50}}},
         {300, 50}},
        {"a closed socket gives its final counters to the application it was seen with",
         {{{{1, 100, 100, 100}}},
          {{{1, 100, 300, 100}}, {}, 200, 0},
          {{}, {{1, 0, 800, 100}}, 500, 0}},
         {{"firefox", {700, 0}}},
         {0, 0}},
        {"a socket its program closed stays with that program while it finishes",
         {{{{1, 100}}}, {{{1, 0, 400, 0}}, {}, 400, 0}},
         {{"firefox", {400, 0}}},
         {0, 0}},
        {"a socket born and closed between polls goes to the one talking to its peer",
         {{{{1, 200, 0, 0, 443}}}, {{}, {{2, 0, 900, 10, 443}}, 1000, 10}},
         {{"curl", {900, 10}}},
         {100, 0}},
        {"an accepted socket never seen goes to the one listening on its port",
         {{{{1, 100, 0, 0, 0, 8080, kTcpListen}}},
          {{{1, 100, 0, 0, 0, 8080, kTcpListen}}, {{5, 0, 0, 1000, 51000, 8080}}, 0, 1000}},
         {{"firefox", {0, 1000}}},
         {0, 0}},
        {"a peer two applications talk to places no unseen socket",
         {{{{1, 100, 0, 0, 443}, {2, 200, 0, 0, 443}}}, {{}, {{3, 0, 500, 0, 443}}, 500, 0}},
         {{"curl", {0, 0}}, {"firefox", {0, 0}}},
         {500, 0}},
        {"a peer two applications talked to, one after the other, places nothing",
         {{{{1, 100, 0, 0, 443}}}, {{{2, 200, 0, 0, 443}}}, {{}, {{3, 0, 500, 0, 443}}, 500, 0}},
         {{"curl", {0, 0}}, {"firefox", {0, 0}}},
         {500, 0}},
        {"a connection gone to time-wait while its program holds it counts at its closing",
         {{{{1, 100}}},
          {{{1, 100, 0, 500}}, {}, 0, 500},
          {{}, {}, 0, 0},
          {{}, {{1, 0, 0, 800}}, 0, 300}},
         {{"firefox", {0, 800}}},
         {0, 0}},
        {"another user's socket is other traffic",
         {{{{1, 900}}}, {{{1, 900, 500, 500}}, {}, 600, 600}},
         {},
         {600, 600}},
        {"more attributed than the interfaces carried shows no negative other traffic",
         {{{{1, 100}}}, {{{1, 100, 5000000, 0}}, {}, 1000, 0}},
         {{"firefox", {5000000, 0}}},
         {0, 0},
         true},
        {"a little more attributed, as sockets and interfaces are read apart, is no excess",
         {{{{1, 100}}}, {{{1, 100, 1050000, 0}}, {}, 1000000, 0}},
         {{"firefox", {1050000, 0}}},
         {0, 0}},
        {"the interfaces' bytes before the opening are not counted",
         {{{}, {}, 5000, 5000}, {{}, {}, 100, 100}},
         {},
         {100, 100}},
        {"closings told before the window opened are old news",
         {{{}, {{7, 0, 999, 999}}}, {}},
         {},
         {0, 0}},
        {"a time-wait entry without counters counts nothing",
         {{{{1, 100}}}, {{{1, 100, 10, 0}, {4, 0, 0, 0, 443, 40000, kTcpTimeWait, false}}}},
         {{"firefox", {10, 0}}},
         {0, 0}},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        FakeMsClock clock(1000);
        CAppTraffic traffic(system, system, clock, 0);
        for (const Step& step : c.steps) {
            system.open = step.open;
            system.closed = step.closed;
            clock.Advance(1000);
            traffic.Poll(step.interfaceIn, step.interfaceOut);
        }
        std::map<std::string, Totals> apps;
        for (const AppTraffic& app : traffic.Apps()) {
            apps[app.app] = {app.downBytes, app.upBytes};
        }
        EXPECT_EQ(apps, c.apps) << c.name;
        EXPECT_EQ((Totals{traffic.Other().downBytes, traffic.Other().upBytes}), c.other) << c.name;
        EXPECT_EQ(traffic.Other().attributedExceededTotal, c.exceeded) << c.name;
    }
}

TEST(AppTraffic, ProcessesAreWalkedOnlyForSocketsNoWalkFound) {
    struct Case {
        const char* name;
        std::vector<std::vector<Sock>> polls;
        int walks;
    };
    const Case cases[] = {
        {"connections that stay open", {{{1, 100}}, {{1, 100, 5}}, {{1, 100, 9}}}, 1},
        {"a new connection", {{{1, 100}}, {{1, 100}, {2, 200}}, {{1, 100}, {2, 200}}}, 2},
        {"a socket no readable process holds", {{{1, 900}}, {{1, 900}, {2, 901}}, {{2, 901}}}, 2},
        {"a socket that has left its program", {{{1, 100}}, {{1, 0}}, {}}, 1},
    };
    for (const Case& c : cases) {
        FakeSystem system;
        FakeMsClock clock;
        CAppTraffic traffic(system, system, clock, 0);
        for (const std::vector<Sock>& open : c.polls) {
            system.open = open;
            traffic.Poll(0, 0);
        }
        EXPECT_EQ(system.walks, c.walks) << c.name;
    }
}

}  // namespace
