#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One network interface as the system reports it.
struct InterfaceRow {
    std::uint32_t index = 0;
    std::string description;  // the key of the interface table (on Linux: the interface name)
    std::uint32_t type = 0;   // interface type number (ARPHRD_* on Linux)
    std::uint64_t inOctets = 0;
    std::uint64_t outOctets = 0;
};

// The system's list of network adapters and their byte counters.
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
    // Number of entries in the interface table; false when the table cannot be read.
    virtual bool TableCount(std::uint32_t& count) = 0;
    // One adapter's row; false when that adapter cannot be read now.
    virtual bool Entry(std::uint32_t index, InterfaceRow& row) = 0;
    // Width of the octet counters: 32 (wrapping counters) or 64.
    virtual unsigned CounterBits() const = 0;
};
