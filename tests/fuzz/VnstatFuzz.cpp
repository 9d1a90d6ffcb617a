// vnStat's JSON reader on any bytes: it refuses the input whole or takes only entries the rest
// of the program can use (dates the calendar has, times of a day), and planning their import
// gives days of the calendar too.

#include <cstdint>

#include "FuzzSupport.h"
#include "hourly/VnstatImport.h"
#include "hourly/VnstatJson.h"

namespace {

class FixedZone final : public LocalZone {
public:
    int OffsetAt(std::int64_t utcSeconds) const override {
        return utcSeconds % 7 == 0 ? 3600 : 7200;  // a zone that changes all the time
    }
};

void CheckEntries(const std::vector<VnstatEntry>& entries) {
    for (const VnstatEntry& entry : entries) {
        FUZZ_CHECK(IsValidDate(entry.start.date));
        FUZZ_CHECK(entry.start.hour >= 0 && entry.start.hour <= 23);
        FUZZ_CHECK(entry.start.minute >= 0 && entry.start.minute <= 59);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const VnstatReading reading = ReadVnstatJson(AsText(data, size));
    if (reading.refusal != VnstatRefusal::None) {
        FUZZ_CHECK(reading.interfaces.empty());
        return 0;
    }
    for (const VnstatInterface& interface : reading.interfaces) {
        FUZZ_CHECK(!interface.name.empty());
        CheckEntries(interface.fiveMinutes);
        CheckEntries(interface.hours);
        CheckEntries(interface.days);
    }
    static const FixedZone zone;
    const VnstatImportPlan plan =
        PlanVnstatImport(reading.interfaces, zone, [](std::string_view) { return true; });
    for (const DayRecord& day : plan.days) {
        FUZZ_CHECK(IsValidDate({day.day, day.month, day.year}));
        FUZZ_CHECK(day.downloaded >= 0 && day.uploaded >= 0);
    }
    return 0;
}
