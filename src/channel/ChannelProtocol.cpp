#include "channel/ChannelProtocol.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

constexpr std::string_view kMagic = "tallyglass";
constexpr std::string_view kShown = "shown";
constexpr std::string_view kStatus = "status";

struct VerbName {
    ChannelVerb verb;
    std::string_view name;
};
constexpr VerbName kVerbs[] = {
    {ChannelVerb::Show, "show"},
    {ChannelVerb::Status, "status"},
    {ChannelVerb::Follow, "follow"},
};

// "tallyglass <version> " before every line.
std::string Header() {
    return std::string(kMagic) + " " + std::to_string(kChannelVersion) + " ";
}

// The fields of a line, split at single spaces. Two spaces, or one at either end, make an empty
// field, which no line of ours has.
class CFields {
public:
    explicit CFields(std::string_view line) : rest_(line) {}

    // The next field; false after the last.
    bool Next(std::string_view& field) {
        if (done_) {
            return false;
        }
        const std::size_t end = rest_.find(' ');
        field = rest_.substr(0, end);
        done_ = end == std::string_view::npos;
        rest_ = done_ ? std::string_view() : rest_.substr(end + 1);
        return true;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

// A number that is the whole of `text`.
template <typename Number>
bool ParseAll(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// A version number as we write them: decimal digits without a leading zero or a sign.
bool ParseVersion(std::string_view text, std::uint32_t& version) {
    if (text.empty() || text.size() > 9 || text[0] == '0') {
        return false;
    }
    return ParseAll(text, version);
}

// Strips the line end of a line no longer than `maxLength`; false when it has none, or another
// inside.
bool TakeLine(std::string_view& line, std::size_t maxLength) {
    if (line.empty() || line.size() > maxLength || line.back() != '\n') {
        return false;
    }
    line.remove_suffix(1);
    return line.find('\n') == std::string_view::npos;
}

void AppendNumber(std::string& out, double value) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    out.append(text, error == std::errc() ? end : text);
}

bool ParseNumber(std::string_view text, double& value) {
    double parsed = 0.0;
    if (!ParseAll(text, parsed) || !std::isfinite(parsed)) {
        return false;
    }
    value = parsed;
    return true;
}

// The fields of a status line, in the order they are written. Each may come once.
enum StatusField : unsigned {
    kSample,
    kDown,
    kUp,
    kTodayDown,
    kTodayUp,
    kSessionDown,
    kSessionUp,
    kQuota,
    kExceeded,
    kProjected,
    kLimit,
    kFieldCount
};
constexpr std::string_view kFieldNames[kFieldCount] = {
    "sample",     "down",  "up",       "today_down", "today_up", "session_down",
    "session_up", "quota", "exceeded", "projected",  "limit"};
constexpr unsigned Bit(StatusField field) {
    return 1u << field;
}
constexpr unsigned kRequiredFields = Bit(kSample) | Bit(kDown) | Bit(kUp) | Bit(kTodayDown) |
                                     Bit(kTodayUp) | Bit(kSessionDown) | Bit(kSessionUp);

double* AmountField(MeterStatus& status, StatusField field) {
    switch (field) {
        case kDown:
            return &status.downloadRate;
        case kUp:
            return &status.uploadRate;
        case kTodayDown:
            return &status.todayDownload;
        case kTodayUp:
            return &status.todayUpload;
        case kSessionDown:
            return &status.sessionDownload;
        case kSessionUp:
            return &status.sessionUpload;
        default:
            return nullptr;
    }
}

bool ParseField(StatusField field, std::string_view value, MeterStatus& status) {
    if (double* amount = AmountField(status, field)) {
        return ParseNumber(value, *amount);
    }
    double share = 0.0;
    switch (field) {
        case kSample:
            return ParseAll(value, status.sample);
        case kExceeded:
            status.quotaExceeded = value == "1";
            return value == "0" || value == "1";
        case kQuota:
        case kProjected:
            if (!ParseNumber(value, share)) {
                return false;
            }
            (field == kQuota ? status.quotaUsed : status.quotaProjected) = share;
            return true;
        case kLimit:
            for (const StatusLimit limit :
                 {StatusLimit::Total, StatusLimit::Download, StatusLimit::Upload}) {
                if (value == StatusLimitName(limit)) {
                    status.quotaLimit = limit;
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

// A name a later meter may use for a field of its own.
bool IsFieldName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        if (!((c >= 'a' && c <= 'z') || c == '_')) {
            return false;
        }
    }
    return true;
}

}  // namespace

RequestCheck ParseChannelRequest(std::string_view line, ChannelVerb& verb) {
    if (!TakeLine(line, kMaxRequestLength)) {
        return RequestCheck::Malformed;
    }
    CFields fields(line);
    std::string_view magic;
    std::string_view versionText;
    std::uint32_t version = 0;
    if (!fields.Next(magic) || magic != kMagic || !fields.Next(versionText) ||
        !ParseVersion(versionText, version)) {
        return RequestCheck::Malformed;
    }
    if (version != kChannelVersion) {
        return RequestCheck::UnknownVersion;
    }
    std::string_view name;
    std::string_view extra;
    if (!fields.Next(name) || fields.Next(extra)) {
        return RequestCheck::Malformed;
    }
    for (const VerbName& known : kVerbs) {
        if (known.name == name) {
            verb = known.verb;
            return RequestCheck::Valid;
        }
    }
    return RequestCheck::Malformed;
}

std::string ChannelRequest(ChannelVerb verb) {
    for (const VerbName& known : kVerbs) {
        if (known.verb == verb) {
            return Header() + std::string(known.name) + "\n";
        }
    }
    return {};
}

std::string ShownAnswer() {
    return Header() + std::string(kShown) + "\n";
}

std::string EncodeStatusAnswer(const MeterStatus& status) {
    std::string line = Header() + std::string(kStatus);
    const auto name = [&line](StatusField field) {
        line += ' ';
        line += kFieldNames[field];
        line += '=';
    };
    const auto field = [&](StatusField which, double value) {
        name(which);
        AppendNumber(line, value);
    };
    name(kSample);
    line += std::to_string(status.sample);
    field(kDown, status.downloadRate);
    field(kUp, status.uploadRate);
    field(kTodayDown, status.todayDownload);
    field(kTodayUp, status.todayUpload);
    field(kSessionDown, status.sessionDownload);
    field(kSessionUp, status.sessionUpload);
    if (status.quotaUsed) {
        field(kQuota, *status.quotaUsed);
        name(kExceeded);
        line += status.quotaExceeded ? '1' : '0';
        if (status.quotaProjected) {
            field(kProjected, *status.quotaProjected);
        }
        name(kLimit);
        line += StatusLimitName(status.quotaLimit);
    }
    return line + "\n";
}

bool DecodeStatusAnswer(std::string_view line, MeterStatus& status) {
    const std::string head = Header() + std::string(kStatus) + " ";
    if (!TakeLine(line, kMaxAnswerLength) || !line.starts_with(head)) {
        return false;
    }
    CFields fields(line.substr(head.size()));
    MeterStatus decoded;
    unsigned seen = 0;
    std::string_view field;
    while (fields.Next(field)) {
        const std::size_t equals = field.find('=');
        if (equals == std::string_view::npos || equals + 1 == field.size() ||
            !IsFieldName(field.substr(0, equals))) {
            return false;
        }
        const std::string_view name = field.substr(0, equals);
        unsigned index = 0;
        while (index < kFieldCount && kFieldNames[index] != name) {
            ++index;
        }
        if (index == kFieldCount) {
            continue;  // a field of a later meter
        }
        const StatusField known = static_cast<StatusField>(index);
        if ((seen & Bit(known)) != 0 || !ParseField(known, field.substr(equals + 1), decoded)) {
            return false;
        }
        seen |= Bit(known);
    }
    // The quota's fields come together, and a forecast or a limit only with them (a meter
    // before the limit was told spoke of the total or the fuller limit unnamed).
    const bool quota = (seen & Bit(kQuota)) != 0;
    if ((seen & kRequiredFields) != kRequiredFields || quota != ((seen & Bit(kExceeded)) != 0) ||
        ((seen & (Bit(kProjected) | Bit(kLimit))) != 0 && !quota)) {
        return false;
    }
    status = decoded;
    return true;
}
