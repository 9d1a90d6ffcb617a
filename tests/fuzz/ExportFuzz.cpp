// `tallyglass --export` on a data folder whose history holds any bytes: it succeeds (the file
// is readable), prints each good date once in ascending order with the reader's amounts, and
// the CSV and the JSON tell the same days.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "cli/ExportCommand.h"
#include "persistence/CTrafficHistory.h"

namespace {

const LocalDate kToday{7, 12, 2026};

std::string Export(const std::string& folder, ExportFormat format) {
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = ::open_memstream(&buffer, &length);
    static std::FILE* const err = std::fopen("/dev/null", "w");
    FUZZ_CHECK(out != nullptr && err != nullptr);
    FUZZ_CHECK(RunExport(folder, format, kToday, out, err) == 0);
    std::fclose(out);
    std::string text(buffer, length);
    std::free(buffer);
    return text;
}

struct CsvDay {
    std::string date;
    std::string download;
    std::string upload;
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        FUZZ_CHECK(end != std::string::npos);  // every line ends
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

std::string IsoDate(const DayRecord& day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const CScratchFolder folder;
    const std::string_view text = AsText(data, size);
    folder.Write(CTrafficHistory::kFileName, text);

    // The dates the reader keeps, each with its first line.
    std::map<std::string, const DayRecord*> dates;
    const HistoryFileContents contents = ParseHistory(text);
    for (const DayRecord& day : contents.days) {
        dates.emplace(IsoDate(day), &day);
    }

    const std::vector<std::string> csv = Lines(Export(folder.Path(), ExportFormat::Csv));
    FUZZ_CHECK(!csv.empty() && csv[0] == "date,download_mib,upload_mib,total_mib");
    FUZZ_CHECK(csv.size() == dates.size() + 1);
    std::vector<CsvDay> days;
    for (std::size_t i = 1; i < csv.size(); ++i) {
        const std::vector<std::string> fields = Split(csv[i], ',');
        FUZZ_CHECK(fields.size() == 4);
        FUZZ_CHECK(i == 1 || fields[0] > days.back().date);
        const auto first = dates.find(fields[0]);
        FUZZ_CHECK(first != dates.end());
        const double down = std::strtod(fields[1].c_str(), nullptr);
        const double up = std::strtod(fields[2].c_str(), nullptr);
        const double total = std::strtod(fields[3].c_str(), nullptr);
        // The amounts of the date's first line, to the six decimals printed.
        FUZZ_CHECK(std::fabs(down - first->second->downloaded) <=
                   5e-7 * (1 + first->second->downloaded));
        FUZZ_CHECK(std::fabs(up - first->second->uploaded) <= 5e-7 * (1 + first->second->uploaded));
        FUZZ_CHECK(std::fabs(down + up - total) <= 2e-6 * (1 + total));
        days.push_back({fields[0], fields[1], fields[2]});
    }

    const std::string json = Export(folder.Path(), ExportFormat::Json);
    const std::string since = days.empty() ? std::string("2026-12-07") : days.front().date;
    FUZZ_CHECK(json.rfind("{\"since\": \"" + since + "\", \"days\": [", 0) == 0);
    FUZZ_CHECK(json.size() >= 3 && json.compare(json.size() - 3, 3, "]}\n") == 0);
    std::size_t at = 0;
    for (const CsvDay& day : days) {
        const std::string entry = "{\"date\": \"" + day.date +
                                  "\", \"download_mib\": " + day.download +
                                  ", \"upload_mib\": " + day.upload + "}";
        at = json.find(entry, at);
        FUZZ_CHECK(at != std::string::npos);
        at += entry.size();
    }
    FUZZ_CHECK(json.find("{\"date\"", at) == std::string::npos);
    return 0;
}
