#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LocalClock.h"

// One entry of vnStat's traffic lists: the period's start as vnStat's local clock showed it.
struct VnstatEntry {
    LocalDateTime start;  // days start at 00:00
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

struct VnstatInterface {
    std::string name;
    std::vector<VnstatEntry> fiveMinutes;
    std::vector<VnstatEntry> hours;
    std::vector<VnstatEntry> days;
};

// Why a text was not taken as vnStat's output.
enum class VnstatRefusal {
    None,
    NotJson,       // not a JSON document at all
    NotVnstat,     // JSON, but not what vnStat prints
    OtherVersion,  // vnStat's, in a JSON version other than 2 (`detail` holds it)
    BadEntry,      // an entry without a valid date or byte counts (`detail` says which)
};

struct VnstatReading {
    VnstatRefusal refusal = VnstatRefusal::None;
    std::string detail;
    std::vector<VnstatInterface> interfaces;
};

// Reads what `vnstat --json` of vnStat 2 prints (JSON version 2): per interface, its five-minute,
// hour and day entries where present; months, years and the top list are left out, as they only
// repeat the days. Anything else is refused whole, with the reason.
VnstatReading ReadVnstatJson(std::string_view text);
