#include "graph/CSampleList.h"

void CSampleList::Append(double download, double upload) {
    SampleNode& node = slots_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % kSlots;
    node = SampleNode{upload, download, nullptr, nullptr};
    ++appended_;

    if (count_ == 0) {
        newest_ = &node;
        oldest_ = &node;
        count_ = 1;
    } else {
        node.older = newest_;
        newest_->newer = &node;
        newest_ = &node;
        ++count_;
    }
    if (count_ > kMaxSamples) {
        DropOldest();
    }
}

void CSampleList::DropOldest() {
    if (count_ == 0) {
        return;
    }
    if (count_ == 1) {
        *oldest_ = SampleNode{};
        newest_ = nullptr;
        oldest_ = nullptr;
        count_ = 0;
        nextSlot_ = 0;
        return;
    }
    SampleNode* gone = oldest_;
    oldest_ = gone->newer;
    oldest_->older = nullptr;
    gone->newer = nullptr;
    --count_;
}
