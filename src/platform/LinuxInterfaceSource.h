#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/InterfaceSource.h"

// The kernel's interfaces: byte counters from /proc/net/dev, the type number from
// /sys/class/net/NAME/type, the interface name as description. Each walk reads /proc/net/dev
// once; indexes are positions in that snapshot. Every interface is listed, loopback included, so
// the table count is the number of interfaces.
class LinuxInterfaceSource final : public InterfaceSource {
public:
    explicit LinuxInterfaceSource(std::string procNetDev = "/proc/net/dev",
                                  std::string sysClassNet = "/sys/class/net");

    void AdapterIndexes(std::vector<std::uint32_t>& indexes) override;
    bool TableCount(std::uint32_t& count) override;
    bool ListsLoopback() const override { return true; }
    bool Entry(std::uint32_t index, InterfaceRow& row) override;
    unsigned CounterBits() const override { return 64; }

private:
    struct Adapter {
        std::string name;
        std::uint64_t inOctets = 0;
        std::uint64_t outOctets = 0;
        std::uint32_t type = 0;
    };
    struct KnownType {
        std::string name;
        std::uint32_t type = 0;
    };

    bool ReadSnapshot();
    void Parse();
    std::uint32_t TypeOf(std::string_view name);
    std::uint32_t ReadType(std::string_view name) const;

    std::string procNetDev_;
    std::string sysClassNet_;
    static constexpr std::size_t kMaxSnapshotBytes = 16 * 1024 * 1024;
    std::string buffer_;             // the last read of /proc/net/dev, its capacity reused
    std::vector<Adapter> adapters_;  // entries [0, count_) are the current snapshot
    std::size_t count_ = 0;
    bool readable_ = false;
    std::vector<KnownType> types_;  // every name met so far: the type is read once per name
};
