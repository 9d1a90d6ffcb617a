#pragma once

#include "platform/LocalClock.h"
#include "statistics/StatisticsLists.h"

// Which month the statistics window shows, and what a history update asks of it. The window
// follows the current day until the user picks another month; that choice holds until the date
// changes, and then the window returns to the current month.
class CShownMonth {
public:
    enum class Refresh {
        Today,    // the current month is shown: redraw it and rewrite today's figures
        Keep,     // another month was chosen: leave it
        Rebuild,  // the date changed: rebuild both lists and show the current month
    };

    // After the lists were built for `today`: its month is shown.
    void Built(const LocalDate& today);
    // The user picked a month.
    void Choose(MonthKey key) { shown_ = key; }

    // `current` is the date of the history's current record. Any change of it rebuilds, not
    // only a change of the day number: a machine that slept from the 5th of one month to the
    // 5th of the next must still see the new month.
    Refresh OnUpdate(const LocalDate& current) const;

    MonthKey Shown() const { return shown_; }

private:
    MonthKey shown_;
    LocalDate builtFor_;
};
