#include "hourly/HourlyExport.h"

#include <charconv>
#include <cstdlib>

#include "core/Formatters.h"
#include "persistence/DataFile.h"

namespace {

// Pieces of about this size go out, so ten years of hours never sit in memory at once.
constexpr std::size_t kPiece = 1 << 16;

// The numbers are written by hand rather than through a printf: hundreds of thousands of rows
// would otherwise spend most of the export's time switching locales.
void AppendNumber(std::string& out, std::uint64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

void AppendHourStart(std::string& out, std::int64_t utcSeconds, const LocalZone& zone) {
    const int offset = zone.OffsetAt(utcSeconds);
    const LocalDateTime local = zone.LocalAt(utcSeconds);
    AppendTwoDigits(out, local.date.year / 100);
    AppendTwoDigits(out, local.date.year % 100);
    out += '-';
    AppendTwoDigits(out, local.date.month);
    out += '-';
    AppendTwoDigits(out, local.date.day);
    out += 'T';
    AppendTwoDigits(out, local.hour);
    out += ':';
    AppendTwoDigits(out, local.minute);
    const int minutes = std::abs(offset) / 60;
    out += offset < 0 ? '-' : '+';
    AppendTwoDigits(out, minutes / 60);
    out += ':';
    AppendTwoDigits(out, minutes % 60);
}

bool ExportHours(const CHourlyStore& store, std::string_view interfaceName, ExportFormat format,
                 const LocalZone& zone, const std::function<bool(const std::string&)>& write,
                 bool& writeFailed) {
    writeFailed = false;
    std::string out;
    out.reserve(kPiece + 256);
    const auto flush = [&] {
        if (!writeFailed && !out.empty() && !write(out)) {
            writeFailed = true;
        }
        out.clear();
    };
    const bool csv = format == ExportFormat::Csv;
    out += csv ? "interface,hour,download_bytes,upload_bytes,total_bytes,monitored\n"
               : "{\"interfaces\": [";
    std::string current;  // the interface whose hours are being written
    bool any = false;
    const bool read = !store.IsOpen() || store.ForEachHour([&](const HourRow& row) {
        if (writeFailed || (!interfaceName.empty() && row.interfaceName != interfaceName)) {
            return;
        }
        if (csv) {
            out += row.interfaceName;
            out += ',';
            AppendHourStart(out, row.hourStart, zone);
            out += ',';
            AppendNumber(out, row.received);
            out += ',';
            AppendNumber(out, row.sent);
            out += ',';
            AppendNumber(out, row.received + row.sent);
            out += row.monitored ? ",1\n" : ",0\n";
        } else {
            const bool first = !any || row.interfaceName != current;
            if (first) {
                out += any ? "\n  ]},\n" : "\n";
                out += "  {\"name\": ";
                AppendJsonString(out, row.interfaceName);
                out += ", \"hours\": [\n    {\"hour\": \"";
                current = row.interfaceName;
            } else {
                out += ",\n    {\"hour\": \"";
            }
            AppendHourStart(out, row.hourStart, zone);
            out += "\", \"download_bytes\": ";
            AppendNumber(out, row.received);
            out += ", \"upload_bytes\": ";
            AppendNumber(out, row.sent);
            out += row.monitored ? ", \"monitored\": true}" : ", \"monitored\": false}";
        }
        any = true;
        if (out.size() >= kPiece) {
            flush();
        }
    });
    if (!csv) {
        out += any ? "\n  ]}\n]}\n" : "]}\n";
    }
    flush();
    return read && !writeFailed;
}
