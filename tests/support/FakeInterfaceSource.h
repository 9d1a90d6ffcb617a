#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/InterfaceSource.h"

// An interface source the test scripts by hand: the adapter list, the table count or its failure,
// one row per index or its failure, and the counter width. Counters are kept within that width.
// By default the list leaves the loopback entry out, so the table counts one entry more than the
// list; SetListsLoopback(true) makes table and list the same size, as on Linux.
class FakeInterfaceSource final : public InterfaceSource {
public:
    explicit FakeInterfaceSource(unsigned counterBits = 32) : bits_(counterBits) {}

    // Appends an adapter to the list with its row.
    void AddAdapter(std::uint32_t index, const std::string& description, std::uint64_t in = 0,
                    std::uint64_t out = 0, std::uint32_t type = 6) {
        list_.push_back(index);
        Adapter& adapter = rows_[index];
        adapter.row.index = index;
        adapter.row.description = description;
        adapter.row.type = type;
        adapter.row.inOctets = in & Mask();
        adapter.row.outOctets = out & Mask();
        adapter.fails = false;
    }
    // Takes the adapter out of the list and forgets its row.
    void RemoveAdapter(std::uint32_t index) {
        list_.erase(std::remove(list_.begin(), list_.end(), index), list_.end());
        rows_.erase(index);
    }

    void SetCounters(std::uint32_t index, std::uint64_t in, std::uint64_t out) {
        rows_[index].row.inOctets = in & Mask();
        rows_[index].row.outOctets = out & Mask();
    }
    // Moves the counters on, wrapping at the counter width like the real ones.
    void AddTraffic(std::uint32_t index, std::uint64_t in, std::uint64_t out) {
        InterfaceRow& row = rows_[index].row;
        row.inOctets = (row.inOctets + in) & Mask();
        row.outOctets = (row.outOctets + out) & Mask();
    }
    void SetEntryFails(std::uint32_t index, bool fails) { rows_[index].fails = fails; }

    void SetTableCount(std::uint32_t count) { tableCount_ = count; }
    void SetTableFails(bool fails) { tableFails_ = fails; }
    void SetListsLoopback(bool lists) { listsLoopback_ = lists; }

    // Indexes asked for by Entry, in order, since the last ClearLog.
    const std::vector<std::uint32_t>& EntryLog() const { return entryLog_; }
    void ClearLog() { entryLog_.clear(); }

    void AdapterIndexes(std::vector<std::uint32_t>& indexes) override { indexes = list_; }
    bool TableCount(std::uint32_t& count) override {
        if (tableFails_) {
            return false;
        }
        const std::size_t loopbackEntry = listsLoopback_ ? 0 : 1;
        count =
            tableCount_ ? *tableCount_ : static_cast<std::uint32_t>(list_.size() + loopbackEntry);
        return true;
    }
    bool ListsLoopback() const override { return listsLoopback_; }
    bool Entry(std::uint32_t index, InterfaceRow& row) override {
        entryLog_.push_back(index);
        auto it = rows_.find(index);
        if (it == rows_.end() || it->second.fails) {
            return false;
        }
        row = it->second.row;
        return true;
    }
    unsigned CounterBits() const override { return bits_; }

private:
    struct Adapter {
        InterfaceRow row;
        bool fails = false;
    };

    std::uint64_t Mask() const {
        return bits_ >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits_) - 1;
    }

    unsigned bits_;
    std::vector<std::uint32_t> list_;
    std::map<std::uint32_t, Adapter> rows_;
    std::optional<std::uint32_t> tableCount_;
    bool tableFails_ = false;
    bool listsLoopback_ = false;
    std::vector<std::uint32_t> entryLog_;
};
