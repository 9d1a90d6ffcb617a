#pragma once

#include <array>
#include <cstdint>
#include <vector>

// One end of a TCP connection: an IPv4 address sits in the first four bytes.
struct TcpEndpoint {
    std::uint8_t family = 0;  // AF_INET or AF_INET6
    std::array<std::uint8_t, 16> address{};
    std::uint16_t port = 0;

    bool operator==(const TcpEndpoint&) const = default;
    auto operator<=>(const TcpEndpoint&) const = default;
};

// The kernel's numbers of the TCP states this program tells apart.
inline constexpr std::uint8_t kTcpEstablished = 1;
inline constexpr std::uint8_t kTcpTimeWait = 6;
inline constexpr std::uint8_t kTcpListen = 10;

// One TCP socket as the kernel reports it, counters included.
struct TcpSocket {
    std::uint64_t cookie = 0;  // the kernel's id of the socket, never reused while it runs
    std::uint64_t inode = 0;   // 0 once no process holds the socket (closed, orphaned)
    std::uint32_t uid = 0;     // its owner's user id
    std::uint8_t state = 0;    // kTcpEstablished, kTcpListen, ...
    bool hasCounters = false;  // false for TIME_WAIT entries, which keep no counters
    TcpEndpoint local;
    TcpEndpoint remote;
    std::uint64_t received = 0;  // payload bytes received
    std::uint64_t sent = 0;      // payload bytes sent and acknowledged
};

// The system's TCP sockets: what is open now, and what closed since the last look.
class SocketSource {
public:
    virtual ~SocketSource() = default;
    // Every TCP socket open now, of every state. False when the system cannot be asked.
    virtual bool OpenSockets(std::vector<TcpSocket>& sockets) = 0;
    // The sockets closed since the last call, with their final counters. Where the system tells
    // of no closings, none.
    virtual void ClosedSockets(std::vector<TcpSocket>& sockets) = 0;
};
