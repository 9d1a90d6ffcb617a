#include "persistence/CWebStatsFile.h"

#include "persistence/DataFile.h"

WebStatsValues DefaultWebStatsFileValues() {
    WebStatsValues values;
    values.uploadInterval = 30000;
    return values;
}

bool IsOneLine(std::string_view text) {
    return text.find_first_of("\r\n") == std::string_view::npos;
}

std::string FormatWebStats(const WebStatsValues& values) {
    const std::string* texts[] = {&values.hostName, &values.remotePath, &values.pageFileName,
                                  &values.userName, &values.password};
    std::string out;
    out.append(kFileHeader);
    out.push_back('\n');
    for (const std::string* text : texts) {
        if (!IsOneLine(*text)) {
            return {};
        }
        out.append(*text);
        out.push_back('\n');
    }
    AppendFormatted(out, "%d\n%d\n%d\n", values.port, values.uploadInterval,
                    values.enabled ? 1 : 0);
    return out;
}

void ParseWebStats(std::string_view text, WebStatsValues& values) {
    CTextReader reader(text);
    std::string_view line;
    reader.ReadLine(line);  // the header, not checked
    for (std::string* field : {&values.hostName, &values.remotePath, &values.pageFileName,
                               &values.userName, &values.password}) {
        // Whole lines, however long: a length limit here would split one and shift the rest.
        field->assign(reader.ReadLine(line) ? line : std::string_view());
    }
    reader.ScanInt(values.port);
    int interval = 0;
    // No interval of zero or less: every sample would start an upload.
    if (reader.ScanInt(interval) && interval > 0) {
        values.uploadInterval = interval;
    }
    int enabled = 0;
    reader.ScanInt(enabled);
    values.enabled = enabled != 0;
}

bool ReadWebStatsFile(const CDataFolder& folder, WebStatsValues& values) {
    const std::string path = folder.DataFilePath(kWebStatsFileName);
    if (!FileExists(path)) {
        values = WebStatsValues{};
        folder.EnsureDataFolder();
        WriteWebStatsFile(folder, DefaultWebStatsFileValues());  // a failure is retried by Apply
        return false;
    }
    // A file we cannot read is read as empty and left alone until the user saves.
    std::string text;
    ReadTextFile(path, text);
    ParseWebStats(text, values);
    return true;
}

bool WriteWebStatsFile(const CDataFolder& folder, const WebStatsValues& values) {
    const std::string text = FormatWebStats(values);
    return !text.empty() && folder.WriteDataFile(kWebStatsFileName, text);
}
