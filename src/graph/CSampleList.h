#pragma once

#include <array>
#include <cstdint>

// One (download, upload) pair of the graph history, linked to its neighbours.
struct SampleNode {
    double upload = 0.0;    // KB/s
    double download = 0.0;  // KB/s
    SampleNode* newer = nullptr;
    SampleNode* older = nullptr;
};

// The graph history: at most kMaxSamples samples, newest first. Appending runs once per graph step
// and the renderers walk the list every frame, so the nodes live in a fixed ring and an append
// never allocates. Nodes stay valid until they are dropped.
class CSampleList {
public:
    static constexpr int kMaxSamples = 1000;

    CSampleList() = default;
    // Nodes point at each other inside the ring: the list cannot be copied or moved.
    CSampleList(const CSampleList&) = delete;
    CSampleList& operator=(const CSampleList&) = delete;

    // Adds a sample as the newest; drops the oldest once more than kMaxSamples are held.
    void Append(double download, double upload);
    // Removes the oldest sample; nothing on an empty list.
    void DropOldest();

    const SampleNode* Newest() const { return newest_; }
    const SampleNode* Oldest() const { return oldest_; }
    // The next older sample, or null (also for a null node).
    const SampleNode* Older(const SampleNode* node) const { return node ? node->older : nullptr; }
    int Count() const { return count_; }
    // Samples appended since the list was made: tells a new sample from the same one.
    std::uint64_t Appended() const { return appended_; }

private:
    // One spare slot: an append holds kMaxSamples + 1 samples until it drops the oldest. Slots
    // are taken and released in ring order, so the next slot is always free.
    static constexpr int kSlots = kMaxSamples + 1;

    std::array<SampleNode, kSlots> slots_{};
    int nextSlot_ = 0;
    SampleNode* newest_ = nullptr;
    SampleNode* oldest_ = nullptr;
    int count_ = 0;
    std::uint64_t appended_ = 0;
};
