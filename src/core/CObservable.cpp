#include "core/CObservable.h"

#include <algorithm>

void CObservable::Attach(CObserver& observer) {
    observers_.push_back(&observer);
    observer.observed_ = this;
}

void CObservable::Detach(CObserver& observer) {
    auto it = std::find(observers_.begin(), observers_.end(), &observer);
    if (it == observers_.end()) {
        return;
    }
    if (notifying_ > 0) {
        *it = nullptr;  // keep indexes stable for the loop in NotifyAll
    } else {
        observers_.erase(it);
    }
    if (observer.observed_ == this) {
        observer.observed_ = nullptr;
    }
}

void CObservable::NotifyAll() {
    // An observer may detach itself (or attach another) while being told: detached slots are
    // left null until the outermost notification ends.
    ++notifying_;
    for (std::size_t i = 0; i < observers_.size(); ++i) {
        if (observers_[i] != nullptr) {
            observers_[i]->Update();
        }
    }
    if (--notifying_ == 0) {
        std::erase(observers_, nullptr);
    }
}

std::size_t CObservable::ObserverCount() const {
    return observers_.size() - std::count(observers_.begin(), observers_.end(), nullptr);
}
