#pragma once

#include <cstdint>

#include "platform/LocalClock.h"

// The user's time zone as a rule from real time (UTC seconds since 1970) to the local calendar.
// Everything local about a moment follows from its offset and the calendar of LocalClock.h, so a
// day that gains or loses an hour at a daylight-saving change has 25 or 23 hours here too.
class LocalZone {
public:
    virtual ~LocalZone() = default;

    // Seconds the local clock is ahead of UTC at the moment `utcSeconds` (negative west of UTC).
    virtual int OffsetAt(std::int64_t utcSeconds) const = 0;

    // The local date and time of the moment `utcSeconds`.
    LocalDateTime LocalAt(std::int64_t utcSeconds) const;
    // The first moment of the local hour that holds `utcSeconds`: in a zone half an hour off
    // UTC, local hours begin at half past a UTC hour.
    std::int64_t HourStart(std::int64_t utcSeconds) const;
    // The moment the local clock shows `at`; for a wall time a clock change skips, the first
    // moment after the gap. In the hour a change repeats, one of its two moments.
    std::int64_t MomentOf(const LocalDateTime& at) const;
    // The first moment of local date `date`.
    std::int64_t DayStart(const LocalDate& date) const { return MomentOf({date, 0, 0}); }
};

// The zone of the system (the TZ variable or /etc/localtime), as localtime_r knows it.
class SystemLocalZone final : public LocalZone {
public:
    int OffsetAt(std::int64_t utcSeconds) const override;
};
