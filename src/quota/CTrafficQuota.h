#pragma once

#include <cstdint>
#include <string>

#include "core/CObservable.h"
#include "persistence/CDataFolder.h"
#include "persistence/CFoundFile.h"
#include "persistence/CQuotaFile.h"
#include "platform/LocalClock.h"
#include "platform/MsClock.h"

class CTrafficHistory;

// The date on which the next billing period begins, seen from `today`, for periods that begin
// on `resetDay` (1-31). The day is the reset day even where that month lacks it: 31 April
// compares after 30 April and before 1 May, so that period ends on 1 May.
LocalDate NextPeriodStart(const LocalDate& today, int resetDay);

// The day a period that starts on `start` begins, that is the day its counters clear: the start
// itself, or the first of the next month when the month lacks the start's day (31 April: 1 May).
LocalDate PeriodBeginsOn(const LocalDate& start);

// used / allowed in percent; 0 while nothing is allowed.
double UsedPercent(double used, double allowed);

// The limits a quota can pass, as bits.
enum QuotaLimit : unsigned {
    kTotalLimit = 1u,
    kDownloadLimit = 2u,
    kUploadLimit = 4u,
};

// The monthly quota ("Capwarden"): counts the traffic of the current billing period from the
// history's session totals, rolls the period over on the reset day, tells whether a limit is
// passed, and keeps itself in "capwarden.dat". Amounts are MB; a limit of -1.0 is not in use.
//
// It observes the history and works on every third notification while it is active; its own
// observers (an open Capwarden window) hear after each such piece of work.
class CTrafficQuota : public CObservable, public CObserver {
public:
    static constexpr std::uint32_t kSavePeriodMs = 300000;
    static constexpr int kUpdateDivisor = 3;

    // Attaches to the history and loads "capwarden.dat" (writing a default one when missing).
    // The history and the clocks must outlive the quota.
    CTrafficQuota(CTrafficHistory& source, CDataFolder folder, const MsClock& msClock,
                  const LocalClock& localClock);
    CTrafficQuota(const CTrafficQuota&) = delete;
    CTrafficQuota& operator=(const CTrafficQuota&) = delete;

    // After each history update: on every third one, while active, checks the period, counts
    // the traffic since the last time, saves every five minutes and notifies.
    void Update() override;
    // Adds the growth of the history's session totals since the last accumulation.
    void Accumulate();
    // Counts what the notifications since the last piece of work brought, in the right period:
    // before the last save, so no traffic is left out of the file.
    void CatchUp();

    // Whether an active quota has passed a limit of its mode; using exactly the allowed amount
    // is not passing it.
    bool IsExceeded() const { return PassedLimits() != 0; }
    // The QuotaLimit bits of the limits passed (none while inactive).
    unsigned PassedLimits() const;

    // Switches the quota on. Traffic from while it was off is not counted.
    void Activate();
    // Switches it off and forgets the limits, the counters and the period (not the reset day).
    void Deactivate();
    // true: one limit on the sum; false: download and upload limits apart. The other mode's
    // limits go out of use.
    void SetLimitMode(bool total);
    // Periods begin on `day` (1-31); the next one is worked out from today.
    void SetResetDay(int day);
    void SetAllowedTotal(double megabytes) { allowedTotal_ = megabytes; }
    void SetAllowedDownload(double megabytes) { allowedDownload_ = megabytes; }
    void SetAllowedUpload(double megabytes) { allowedUpload_ = megabytes; }
    // Zeroes the period's counters. Not saved until the next save.
    void ClearCounters();

    // Writes "capwarden.dat". False when it could not be written (the old file is then intact),
    // or when the file found at start could not be read and is still there: it is never
    // overwritten.
    bool Save();

    // A limit was passed for the first time in the period: `text` says which, and how much is
    // used. Each passing is told once; a quota already past its limit when loaded tells nothing.
    bool TakeNotice(std::string& text);

    bool Active() const { return active_; }
    bool LimitTotal() const { return limitTotal_; }
    int ResetDay() const { return resetDay_; }  // -1: never chosen
    LocalDate NextPeriod() const { return nextPeriod_; }
    double AllowedTotal() const { return allowedTotal_; }
    double AllowedDownload() const { return allowedDownload_; }
    double AllowedUpload() const { return allowedUpload_; }
    double Downloaded() const { return downloaded_; }
    double Uploaded() const { return uploaded_; }
    double Total() const { return downloaded_ + uploaded_; }
    // What the quota counts from, and the clock it keeps its periods by.
    const CTrafficHistory& History() const { return source_; }
    const LocalClock& Clock() const { return localClock_; }

private:
    QuotaValues Values() const;
    void CheckPeriod(const LocalDate& today);
    void CheckLimits();

    CTrafficHistory& source_;
    CDataFolder folder_;
    const MsClock& msClock_;
    const LocalClock& localClock_;

    double uploaded_ = 0.0;
    double downloaded_ = 0.0;
    int resetDay_ = -1;
    LocalDate nextPeriod_{1, 1, 1};
    LocalDate lastCheck_{0, 0, 0};  // none yet: the first working update checks the period
    double allowedUpload_ = -1.0;
    double allowedDownload_ = -1.0;
    double allowedTotal_ = -1.0;
    bool limitTotal_ = true;
    bool active_ = false;

    int updateCount_ = kUpdateDivisor - 1;  // so the first notification already works
    std::uint32_t lastSaveTime_ = 0;

    unsigned toldLimits_ = 0;  // the limits passed as of the last check
    std::string notice_;

    CFoundFile found_;                // how the file was found at start
    CScopedObservation observation_;  // last: it detaches before anything else goes
};
