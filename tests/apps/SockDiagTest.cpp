#include "apps/CSockDiagSource.h"

#include <gtest/gtest.h>
#include <linux/inet_diag.h>
#include <linux/netlink.h>
#include <linux/sock_diag.h>
#include <linux/tcp.h>
#include <netinet/in.h>

#include <cstring>
#include <vector>

namespace {

// A diagnostics message as the kernel writes it, with a tcp_info of `infoBytes`.
std::vector<char> Message(unsigned char family, std::size_t infoBytes, std::uint16_t type) {
    inet_diag_msg message{};
    message.idiag_family = family;
    message.idiag_state = kTcpEstablished;
    message.id.idiag_sport = htons(40000);
    message.id.idiag_dport = htons(443);
    message.id.idiag_src[0] = htonl(0x7f000001);
    message.id.idiag_cookie[0] = 7;
    message.id.idiag_cookie[1] = 1;
    message.idiag_inode = 123456;
    tcp_info info{};
    info.tcpi_bytes_received = 5000000000ULL;
    info.tcpi_bytes_acked = 42;
    const std::size_t attributeLength = NLA_HDRLEN + infoBytes;
    const std::size_t length =
        NLMSG_LENGTH(NLMSG_ALIGN(sizeof message) + NLA_ALIGN(attributeLength));
    std::vector<char> bytes(length);
    nlmsghdr header{};
    header.nlmsg_len = static_cast<std::uint32_t>(length);
    header.nlmsg_type = type;
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + NLMSG_HDRLEN, &message, sizeof message);
    nlattr attribute{static_cast<std::uint16_t>(attributeLength), INET_DIAG_INFO};
    char* at = bytes.data() + NLMSG_HDRLEN + NLMSG_ALIGN(sizeof message);
    std::memcpy(at, &attribute, sizeof attribute);
    std::memcpy(at + NLA_HDRLEN, &info, std::min(infoBytes, sizeof info));
    return bytes;
}

TEST(SockDiag, MessagesGiveTheSocketAndItsCounters) {
    struct Case {
        const char* name;
        unsigned char family;
        std::size_t infoBytes;
        std::uint16_t type;
        bool parsed;
        bool counters;
    };
    const Case cases[] = {
        {"IPv4 with today's tcp_info", AF_INET, sizeof(tcp_info), SOCK_DIAG_BY_FAMILY, true, true},
        {"IPv6", AF_INET6, sizeof(tcp_info), SOCK_DIAG_BY_FAMILY, true, true},
        {"an old kernel's tcp_info without byte counters", AF_INET,
         offsetof(tcp_info, tcpi_bytes_acked), SOCK_DIAG_BY_FAMILY, true, false},
        {"another message type", AF_INET, sizeof(tcp_info), NLMSG_ERROR, false, false},
        {"another family", AF_UNIX, sizeof(tcp_info), SOCK_DIAG_BY_FAMILY, false, false},
    };
    for (const Case& c : cases) {
        const std::vector<char> bytes = Message(c.family, c.infoBytes, c.type);
        nlmsghdr header;
        std::memcpy(&header, bytes.data(), sizeof header);
        // The parser reads past the header: hand it the whole message in place.
        alignas(nlmsghdr) char aligned[1024];
        std::memcpy(aligned, bytes.data(), bytes.size());
        TcpSocket socket;
        ASSERT_EQ(ParseDiagMessage(*reinterpret_cast<nlmsghdr*>(aligned), socket), c.parsed)
            << c.name;
        if (!c.parsed) {
            continue;
        }
        EXPECT_EQ(socket.cookie, (1ULL << 32) + 7) << c.name;
        EXPECT_EQ(socket.inode, 123456U) << c.name;
        EXPECT_EQ(socket.local.port, 40000) << c.name;
        EXPECT_EQ(socket.remote.port, 443) << c.name;
        EXPECT_EQ(socket.local.address[0], 127) << c.name;
        EXPECT_EQ(socket.hasCounters, c.counters) << c.name;
        EXPECT_EQ(socket.received, c.counters ? 5000000000ULL : 0U) << c.name;
        EXPECT_EQ(socket.sent, c.counters ? 42U : 0U) << c.name;
    }
}

}  // namespace
