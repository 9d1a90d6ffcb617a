#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "apps/TcpSocket.h"

struct nlmsghdr;

// The kernel's TCP sockets through netlink socket diagnostics, which any user may ask: a dump of
// every IPv4 and IPv6 socket with its tcp_info counters, and the kernel's notices of sockets
// being destroyed, which carry their final counters. Both netlink sockets live only as long as
// this object.
class CSockDiagSource final : public SocketSource {
public:
    CSockDiagSource();
    ~CSockDiagSource() override;
    CSockDiagSource(const CSockDiagSource&) = delete;
    CSockDiagSource& operator=(const CSockDiagSource&) = delete;

    bool OpenSockets(std::vector<TcpSocket>& sockets) override;
    void ClosedSockets(std::vector<TcpSocket>& sockets) override;

    // Closing notices the kernel dropped because we read too slowly, since this was made.
    std::uint64_t MissedClosings() const { return missedClosings_; }

private:
    bool Dump(unsigned char family, std::vector<TcpSocket>& sockets);

    int dumpFd_ = -1;
    int closingsFd_ = -1;
    std::uint32_t sequence_ = 0;
    std::uint64_t missedClosings_ = 0;
    std::vector<char> buffer_;
};

// Reads one socket diagnostics message (an inet_diag_msg and its attributes). False when it is
// not one or is cut short.
bool ParseDiagMessage(const nlmsghdr& header, TcpSocket& socket);
