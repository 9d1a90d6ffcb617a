#pragma once

#include <vector>

class CObservable;

// Something that wants to hear when an observable changes. It detaches itself before it dies.
class CObserver {
public:
    virtual ~CObserver() = default;
    virtual void Update() = 0;

    // The observable this observer was last attached to, or null.
    CObservable* Observed() const { return observed_; }

private:
    friend class CObservable;
    CObservable* observed_ = nullptr;
};

// An ordered list of observers, told synchronously and in attach order.
class CObservable {
public:
    virtual ~CObservable() = default;

    // Appends without a duplicate check: attaching twice means being told twice.
    void Attach(CObserver& observer);
    // Removes the first occurrence; absent observers are ignored.
    void Detach(CObserver& observer);
    void NotifyAll();

    std::size_t ObserverCount() const;

private:
    std::vector<CObserver*> observers_;  // null marks a detach made while notifying
    int notifying_ = 0;
};

// Attaches an observer for as long as it lives: a window that holds one is detached however it
// is destroyed. The observable must outlive it.
class CScopedObservation {
public:
    CScopedObservation(CObservable& observable, CObserver& observer)
        : observable_(observable), observer_(observer) {
        observable_.Attach(observer_);
    }
    ~CScopedObservation() { observable_.Detach(observer_); }
    CScopedObservation(const CScopedObservation&) = delete;
    CScopedObservation& operator=(const CScopedObservation&) = delete;

private:
    CObservable& observable_;
    CObserver& observer_;
};
