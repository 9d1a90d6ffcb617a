#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One network interface as the system reports it.
struct InterfaceRow {
    std::uint32_t index = 0;
    std::string description;  // the key of the interface table (on Linux: the interface name)
    std::uint32_t type = 0;   // interface type number (ARPHRD_* on Linux)
    std::uint64_t inOctets = 0;
    std::uint64_t outOctets = 0;
};

// The name Linux gives its loopback interface. It is listed like any other interface, so a user
// can choose to monitor it, but a new settings file excludes it: local connections between
// programs are not network traffic.
inline constexpr std::string_view kLoopbackDescription = "lo";

// Container and virtual-machine plumbing: what passes through these passes through a physical
// interface too, so counting both would count it twice. A new settings file excludes them as it
// excludes loopback. They come and go with random suffixes, so they are excluded by pattern.
inline constexpr std::string_view kDoubleCountingPatterns[] = {"docker*", "br-*", "veth*", "virbr*",
                                                               "vnet*"};

// How the list of excluded interfaces is read: an entry ending in "*" excludes every description
// beginning with the rest; "!" before a description takes that one back from a pattern (the
// user ticked it); any other entry excludes the description it equals.
bool IsExcludedBy(std::span<const std::string> excluded, std::string_view description);
// The entry that takes `description` back from a pattern.
std::string KeptDespitePattern(std::string_view description);

// The system's list of network adapters and their byte counters.
//
// The interface table holds every adapter plus the loopback entry. Some systems leave loopback
// out of the adapter list (Windows lists only real adapters, so its table counts one entry more
// than the list); Linux lists "lo" among the adapters, so its table and its list are the same
// size. A walk visits the adapters of the list: as many as the table counts, less the loopback
// entry when the list leaves it out.
//
// A walk asks, in this order: AdapterIndexes, TableCount, then Entry for each visited index.
// Counters are CounterBits() wide and wrap at 2^CounterBits(); values above that width never
// appear. Implementations may take one snapshot of the system in AdapterIndexes and answer the
// rest of the walk from it.
class InterfaceSource {
public:
    virtual ~InterfaceSource() = default;

    // The adapter list, in the system's order. Empty when the system gives none.
    virtual void AdapterIndexes(std::vector<std::uint32_t>& indexes) = 0;
    // Number of entries in the interface table: the adapters and the loopback entry. False when
    // the table cannot be read.
    virtual bool TableCount(std::uint32_t& count) = 0;
    // Whether the adapter list holds the loopback entry.
    virtual bool ListsLoopback() const = 0;
    // One adapter's row; false when that adapter cannot be read now.
    virtual bool Entry(std::uint32_t index, InterfaceRow& row) = 0;
    // Width of the octet counters: 32 (wrapping counters) or 64.
    virtual unsigned CounterBits() const = 0;
};
