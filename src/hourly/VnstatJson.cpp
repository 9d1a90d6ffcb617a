#include "hourly/VnstatJson.h"

#include "hourly/JsonValue.h"

namespace {

bool WholeNumber(const JsonValue* value, std::int64_t low, std::int64_t high, int& out) {
    std::int64_t number = 0;
    if (value == nullptr || !value->AsInteger(number) || number < low || number > high) {
        return false;
    }
    out = static_cast<int>(number);
    return true;
}

bool ByteCount(const JsonValue* value, std::uint64_t& out) {
    std::int64_t number = 0;
    if (value == nullptr || !value->AsInteger(number) || number < 0) {
        return false;
    }
    out = static_cast<std::uint64_t>(number);
    return true;
}

bool ReadEntry(const JsonValue& json, bool hasTime, VnstatEntry& entry) {
    const JsonValue* date = json.Find("date");
    if (date == nullptr || !WholeNumber(date->Find("year"), 1, 9999, entry.start.date.year) ||
        !WholeNumber(date->Find("month"), 1, 12, entry.start.date.month) ||
        !WholeNumber(date->Find("day"), 1, 31, entry.start.date.day) ||
        !IsValidDate(entry.start.date)) {
        return false;
    }
    if (hasTime) {
        const JsonValue* time = json.Find("time");
        if (time == nullptr || !WholeNumber(time->Find("hour"), 0, 23, entry.start.hour) ||
            !WholeNumber(time->Find("minute"), 0, 59, entry.start.minute)) {
            return false;
        }
    }
    return ByteCount(json.Find("rx"), entry.received) && ByteCount(json.Find("tx"), entry.sent);
}

// A list of entries, or none when the output leaves it out (`vnstat --json d` prints days only).
bool ReadList(const JsonValue& traffic, const char* key, bool hasTime,
              std::vector<VnstatEntry>& entries, std::string& fault) {
    const JsonValue* list = traffic.Find(key);
    if (list == nullptr) {
        return true;
    }
    if (list->kind != JsonValue::Kind::Array) {
        fault = key;
        return false;
    }
    entries.reserve(list->items.size());
    for (std::size_t i = 0; i < list->items.size(); ++i) {
        if (!ReadEntry(list->items[i], hasTime, entries.emplace_back())) {
            fault = std::string(key) + " " + std::to_string(i + 1);
            return false;
        }
    }
    return true;
}

VnstatReading Refuse(VnstatRefusal refusal, std::string detail = std::string()) {
    VnstatReading reading;
    reading.refusal = refusal;
    reading.detail = std::move(detail);
    return reading;
}

}  // namespace

VnstatReading ReadVnstatJson(std::string_view text) {
    JsonValue root;
    if (!ParseJson(text, root)) {
        return Refuse(VnstatRefusal::NotJson);
    }
    const JsonValue* program = root.Find("vnstatversion");
    const JsonValue* version = root.Find("jsonversion");
    const JsonValue* interfaces = root.Find("interfaces");
    if (program == nullptr || version == nullptr || interfaces == nullptr ||
        interfaces->kind != JsonValue::Kind::Array) {
        return Refuse(VnstatRefusal::NotVnstat);
    }
    // vnStat writes the version as a string; a number is taken too.
    if ((version->kind != JsonValue::Kind::String && version->kind != JsonValue::Kind::Number) ||
        version->text != "2") {
        return Refuse(VnstatRefusal::OtherVersion, version->text);
    }
    VnstatReading reading;
    for (const JsonValue& item : interfaces->items) {
        const JsonValue* name = item.Find("name");
        const JsonValue* traffic = item.Find("traffic");
        if (name == nullptr || name->kind != JsonValue::Kind::String || name->text.empty() ||
            traffic == nullptr || traffic->kind != JsonValue::Kind::Object) {
            return Refuse(VnstatRefusal::NotVnstat);
        }
        VnstatInterface& read = reading.interfaces.emplace_back();
        read.name = name->text;
        std::string fault;
        if (!ReadList(*traffic, "fiveminute", true, read.fiveMinutes, fault) ||
            !ReadList(*traffic, "hour", true, read.hours, fault) ||
            !ReadList(*traffic, "day", false, read.days, fault)) {
            return Refuse(VnstatRefusal::BadEntry, read.name + ": " + fault);
        }
    }
    return reading;
}
