// The history reader on any bytes: every day it keeps is one the rest of the program can use
// (a date the calendar has, amounts that are finite, not negative and within the limit), and
// written back in the file's own line format each one reads back as a good line.

#include <cmath>
#include <cstdint>

#include "FuzzSupport.h"
#include "persistence/DataFile.h"
#include "persistence/HistoryFile.h"
#include "platform/LocalClock.h"

namespace {

bool UsableAmount(double amount) {
    return std::isfinite(amount) && !std::signbit(amount) && amount <= kMaxDayAmount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const HistoryFileContents contents = ParseHistory(AsText(data, size));

    std::string written(kFileHeader);
    written += '\n';
    for (const DayRecord& day : contents.days) {
        FUZZ_CHECK(IsValidDate({day.day, day.month, day.year}));
        FUZZ_CHECK(UsableAmount(day.uploaded));
        FUZZ_CHECK(UsableAmount(day.downloaded));
        AppendFormatted(written, "%d %d %d %f %f\n", day.day, day.month, day.year, day.uploaded,
                        day.downloaded);
    }

    const HistoryFileContents again = ParseHistory(written);
    FUZZ_CHECK(!again.damaged);
    FUZZ_CHECK(again.days.size() == contents.days.size());
    for (std::size_t i = 0; i < again.days.size(); ++i) {
        const DayRecord& before = contents.days[i];
        const DayRecord& after = again.days[i];
        FUZZ_CHECK(after.day == before.day && after.month == before.month &&
                   after.year == before.year);
        // "%f" keeps six decimals.
        FUZZ_CHECK(std::fabs(after.uploaded - before.uploaded) <= 5e-7 * (1 + before.uploaded));
        FUZZ_CHECK(std::fabs(after.downloaded - before.downloaded) <=
                   5e-7 * (1 + before.downloaded));
    }
    return 0;
}
