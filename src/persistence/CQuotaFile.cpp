#include "persistence/CQuotaFile.h"

#include <type_traits>

#include "persistence/DataFile.h"

namespace {

// One number alone on its line that `valid` accepts; anything else leaves `value` as it was.
template <typename Number, typename Valid>
bool ScanLine(CTextReader& reader, Number& value, Valid valid) {
    std::string_view line;
    if (!reader.ReadLine(line)) {
        return true;  // a short file: the rest keeps its starting values
    }
    CTextReader field(line);
    Number scanned{};
    bool ok = false;
    if constexpr (std::is_same_v<Number, int>) {
        ok = field.ScanInt(scanned);
    } else {
        ok = field.ScanDouble(scanned);
    }
    if (!ok || !field.AtEndIgnoringSpace() || !valid(scanned)) {
        return false;
    }
    value = scanned;
    return true;
}

bool ScanFlag(CTextReader& reader, bool& flag) {
    int value = flag ? 1 : 0;
    const bool ok = ScanLine(reader, value, [](int) { return true; });
    flag = value != 0;
    return ok;
}

// Far beyond any real allowance or month of traffic (a billion GB), yet finite.
constexpr double kMaxAmount = 1e12;

auto Within(int low, int high) {
    return [low, high](int value) { return value >= low && value <= high; };
}

// -1.0 marks a limit that is not in use.
bool ValidLimit(double value) {
    return value == -1.0 || (value >= 0.0 && value <= kMaxAmount);
}

bool ValidCounter(double value) {
    return value >= 0.0 && value <= kMaxAmount;
}

}  // namespace

QuotaValues MissingQuotaInMemory() {
    QuotaValues values = MissingQuotaWritten();
    values.resetDay = -1;
    return values;
}

QuotaValues MissingQuotaWritten() {
    QuotaValues values;
    values.allowedTotal = 0.0;
    return values;
}

std::string FormatQuota(const QuotaValues& values) {
    std::string out;
    out.append(kFileHeader);
    out.push_back('\n');
    AppendFormatted(out, "%d\n%d\n%d\n%d\n", values.resetDay, values.nextPeriodDay,
                    values.nextPeriodMonth, values.nextPeriodYear);
    AppendFormatted(out, "%f\n%f\n%f\n%f\n%f\n", values.allowedTotal, values.allowedUpload,
                    values.allowedDownload, values.uploaded, values.downloaded);
    AppendFormatted(out, "%d\n%d\n", values.active ? 1 : 0, values.limitTotal ? 1 : 0);
    return out;
}

bool ParseQuota(std::string_view text, QuotaValues& values) {
    CTextReader reader(text);
    std::string_view header;
    reader.ReadLine(header);  // not checked
    bool whole = true;
    // The ranges are what this program writes: a date of 0/0/0 and limits of -1 after the quota
    // is switched off, a reset day of -1 while none was chosen.
    whole &=
        ScanLine(reader, values.resetDay, [](int day) { return day == -1 || Within(1, 31)(day); });
    whole &= ScanLine(reader, values.nextPeriodDay, Within(0, 31));
    whole &= ScanLine(reader, values.nextPeriodMonth, Within(0, 12));
    whole &= ScanLine(reader, values.nextPeriodYear, Within(0, 9999));
    whole &= ScanLine(reader, values.allowedTotal, ValidLimit);
    whole &= ScanLine(reader, values.allowedUpload, ValidLimit);
    whole &= ScanLine(reader, values.allowedDownload, ValidLimit);
    whole &= ScanLine(reader, values.uploaded, ValidCounter);
    whole &= ScanLine(reader, values.downloaded, ValidCounter);
    whole &= ScanFlag(reader, values.active);
    whole &= ScanFlag(reader, values.limitTotal);
    return whole;
}

QuotaReadResult ReadQuotaFile(const CDataFolder& folder, QuotaValues& values, std::string& text,
                              int* errorNumber) {
    text.clear();
    const std::string path = folder.DataFilePath(kQuotaFileName);
    if (!FileExists(path)) {
        values = MissingQuotaInMemory();
        WriteQuotaFile(folder, MissingQuotaWritten());  // a failure is retried by the next save
        return QuotaReadResult::Missing;
    }
    values = QuotaValues();
    if (!ReadTextFile(path, text, errorNumber)) {
        return QuotaReadResult::Unreadable;
    }
    return ParseQuota(text, values) ? QuotaReadResult::Read : QuotaReadResult::Damaged;
}

bool WriteQuotaFile(const CDataFolder& folder, const QuotaValues& values) {
    return folder.WriteDataFile(kQuotaFileName, FormatQuota(values));
}
