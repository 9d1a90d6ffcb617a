#include "apps/CSockDiagSource.h"

#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>

namespace {

constexpr std::size_t kBufferBytes = 64 * 1024;
// Room for bursts of closings between two polls; the kernel caps it at what a user may ask.
constexpr int kClosingsBufferBytes = 4 * 1024 * 1024;

TcpEndpoint Endpoint(unsigned char family, const __be32 address[4], __be16 port) {
    TcpEndpoint endpoint;
    endpoint.family = family;
    std::memcpy(endpoint.address.data(), address, family == AF_INET ? 4 : 16);
    endpoint.port = ntohs(port);
    return endpoint;
}

// Visits the whole messages in the first `bytes` of `buffer` as NLMSG_OK and NLMSG_NEXT walk
// them, without those macros' mix of signed and unsigned lengths, until `visit` returns false.
template <typename Visit>
void ForEachMessage(char* buffer, std::size_t bytes, Visit visit) {
    std::size_t offset = 0;
    while (offset + sizeof(nlmsghdr) <= bytes) {
        auto* header = reinterpret_cast<nlmsghdr*>(buffer + offset);
        if (header->nlmsg_len < sizeof(nlmsghdr) || header->nlmsg_len > bytes - offset ||
            !visit(*header)) {
            return;
        }
        offset += NLMSG_ALIGN(header->nlmsg_len);
    }
}

}  // namespace

bool ParseDiagMessage(const nlmsghdr& header, TcpSocket& socket) {
    if (header.nlmsg_type != SOCK_DIAG_BY_FAMILY ||
        header.nlmsg_len < NLMSG_LENGTH(sizeof(inet_diag_msg))) {
        return false;
    }
    inet_diag_msg message;
    std::memcpy(&message, NLMSG_DATA(&header), sizeof message);
    if (message.idiag_family != AF_INET && message.idiag_family != AF_INET6) {
        return false;
    }
    socket = TcpSocket{};
    socket.cookie =
        message.id.idiag_cookie[0] | static_cast<std::uint64_t>(message.id.idiag_cookie[1]) << 32;
    socket.inode = message.idiag_inode;
    socket.uid = message.idiag_uid;
    socket.state = message.idiag_state;
    socket.local = Endpoint(message.idiag_family, message.id.idiag_src, message.id.idiag_sport);
    socket.remote = Endpoint(message.idiag_family, message.id.idiag_dst, message.id.idiag_dport);

    const char* data = static_cast<const char*>(NLMSG_DATA(&header));
    std::size_t offset = NLMSG_ALIGN(sizeof(inet_diag_msg));
    const std::size_t end = header.nlmsg_len - NLMSG_HDRLEN;
    while (offset + sizeof(nlattr) <= end) {
        nlattr attribute;
        std::memcpy(&attribute, data + offset, sizeof attribute);
        if (attribute.nla_len < sizeof(nlattr) || offset + attribute.nla_len > end) {
            break;
        }
        if ((attribute.nla_type & NLA_TYPE_MASK) == INET_DIAG_INFO) {
            // Older kernels send a shorter tcp_info: the counters must be inside what came.
            const std::size_t payload = attribute.nla_len - NLA_HDRLEN;
            constexpr std::size_t needed =
                offsetof(tcp_info, tcpi_bytes_received) + sizeof(std::uint64_t);
            if (payload >= needed) {
                tcp_info info{};
                std::memcpy(&info, data + offset + NLA_HDRLEN, std::min(payload, sizeof info));
                socket.received = info.tcpi_bytes_received;
                socket.sent = info.tcpi_bytes_acked;
                socket.hasCounters = true;
            }
        }
        offset += NLA_ALIGN(attribute.nla_len);
    }
    return true;
}

CSockDiagSource::CSockDiagSource() : buffer_(kBufferBytes) {
    dumpFd_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    closingsFd_ = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_SOCK_DIAG);
    if (closingsFd_ >= 0) {
        ::setsockopt(closingsFd_, SOL_SOCKET, SO_RCVBUF, &kClosingsBufferBytes,
                     sizeof kClosingsBufferBytes);
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups =
            1U << (SKNLGRP_INET_TCP_DESTROY - 1) | 1U << (SKNLGRP_INET6_TCP_DESTROY - 1);
        if (::bind(closingsFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(closingsFd_);  // an old kernel: closed sockets then lose their last interval
            closingsFd_ = -1;
        }
    }
}

CSockDiagSource::~CSockDiagSource() {
    for (const int fd : {dumpFd_, closingsFd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool CSockDiagSource::OpenSockets(std::vector<TcpSocket>& sockets) {
    return dumpFd_ >= 0 && Dump(AF_INET, sockets) && Dump(AF_INET6, sockets);
}

bool CSockDiagSource::Dump(unsigned char family, std::vector<TcpSocket>& sockets) {
    struct {
        nlmsghdr header;
        inet_diag_req_v2 request;
    } ask{};
    ask.header.nlmsg_len = sizeof ask;
    ask.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    ask.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    ask.header.nlmsg_seq = ++sequence_;
    ask.request.sdiag_family = family;
    ask.request.sdiag_protocol = IPPROTO_TCP;
    ask.request.idiag_states = ~0U;
    ask.request.idiag_ext = 1U << (INET_DIAG_INFO - 1);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(dumpFd_, &ask, sizeof ask, 0, reinterpret_cast<sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        return false;
    }
    for (;;) {
        const ssize_t got = ::recv(dumpFd_, buffer_.data(), buffer_.size(), 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        std::optional<bool> ended;  // by the dump's end (true) or its error (false)
        ForEachMessage(buffer_.data(), static_cast<std::size_t>(got), [&](nlmsghdr& header) {
            if (header.nlmsg_seq != sequence_) {
                return true;
            }
            if (header.nlmsg_type == NLMSG_DONE || header.nlmsg_type == NLMSG_ERROR) {
                ended = header.nlmsg_type == NLMSG_DONE;
                return false;
            }
            TcpSocket socket;
            if (ParseDiagMessage(header, socket)) {
                sockets.push_back(socket);
            }
            return true;
        });
        if (ended) {
            return *ended;
        }
        if (got == 0) {
            return false;
        }
    }
}

void CSockDiagSource::ClosedSockets(std::vector<TcpSocket>& sockets) {
    if (closingsFd_ < 0) {
        return;
    }
    for (;;) {
        const ssize_t got = ::recv(closingsFd_, buffer_.data(), buffer_.size(), 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == ENOBUFS) {
                ++missedClosings_;  // some were dropped; the queue goes on after them
                continue;
            }
            return;  // EAGAIN: all read
        }
        ForEachMessage(buffer_.data(), static_cast<std::size_t>(got), [&](nlmsghdr& header) {
            TcpSocket socket;
            if (ParseDiagMessage(header, socket)) {
                sockets.push_back(socket);
            }
            return true;
        });
        if (got == 0) {
            return;
        }
    }
}
