#include "persistence/CSettingsFile.h"

#include <algorithm>

#include "persistence/DataFile.h"
#include "platform/InterfaceSource.h"

namespace {

// A value must not carry a line break into the file: it would shift every line after it.
std::string_view UpToLineEnd(std::string_view text) {
    return text.substr(0, std::min(text.find('\n'), text.find('\r')));
}

bool ScanFlag(CTextReader& reader) {
    int value = 0;
    return reader.ScanInt(value) && value != 0;
}

void ScanColour(CTextReader& reader, ColourRgb& colour) {
    reader.ScanInt(colour.red);
    reader.ScanInt(colour.green);
    reader.ScanInt(colour.blue);
}

void AppendColour(std::string& out, const ColourRgb& colour) {
    AppendFormatted(out, "%d\n%d\n%d\n", colour.red, colour.green, colour.blue);
}

void AppendText(std::string& out, std::string_view text) {
    const std::string line(UpToLineEnd(text));
    AppendFormatted(out, "%s\n", line.c_str());
}

}  // namespace

SettingsValues DefaultSettingsFileValues() {
    SettingsValues values;
    values.themeName = "Deep Blue";
    values.graphType = 701;
    values.showCaption = false;
    values.scanlineEffect = false;
    values.frameDelay = 10;  // the in-memory default of a first run is 15; the next run uses this
    values.downloadColour = {255, 255, 255};
    values.uploadColour = {0, 0, 0};
    values.textColour = {0, 0, 0};
    values.backgroundTopColour = {0, 0, 0};
    values.backgroundBottomColour = {0, 0, 0};
    values.windowLeft = values.windowTop = values.windowWidth = values.windowHeight = -1;
    values.hiddenInTray = false;
    // Loopback carries local connections between programs, not network traffic, and container
    // plumbing carries what a physical interface carries too: a new user's meter counts only the
    // real interfaces. They stay listed, so they can be chosen again.
    values.excludedDescriptions = {std::string(kLoopbackDescription)};
    for (const std::string_view pattern : kDoubleCountingPatterns) {
        values.excludedDescriptions.emplace_back(pattern);
    }
    return values;
}

std::string FormatSettings(const SettingsValues& values) {
    std::string out;
    out.append(kFileHeader);
    out.push_back('\n');
    AppendText(out, values.themeName);
    AppendFormatted(out, "%d\n%d\n%d\n%d\n", values.graphType, values.showCaption ? 1 : 0,
                    values.scanlineEffect ? 1 : 0, values.frameDelay);
    AppendColour(out, values.downloadColour);
    AppendColour(out, values.uploadColour);
    AppendColour(out, values.textColour);
    AppendColour(out, values.backgroundTopColour);
    AppendColour(out, values.backgroundBottomColour);
    AppendFormatted(out, "%d\n%d\n%d\n%d\n%d\n", values.windowLeft, values.windowTop,
                    values.windowWidth, values.windowHeight, values.hiddenInTray ? 1 : 0);
    AppendFormatted(out, "%d\n", static_cast<int>(values.excludedDescriptions.size()));
    for (const std::string& description : values.excludedDescriptions) {
        AppendText(out, description);
    }
    AppendFormatted(out, "%d\n", values.trayFace);
    AppendFormatted(out, "%d\n", values.followDesktopScheme ? 1 : 0);
    AppendText(out, values.lightTheme);
    AppendText(out, values.darkTheme);
    return out;
}

void ParseSettings(std::string_view text, SettingsValues& values) {
    CTextReader reader(text);
    std::string_view line;
    reader.ReadLine(line);  // the header, not checked
    if (reader.ReadLine(line)) {
        values.themeName.assign(line);
        // The name keeps its line end, as a plain LF whatever the file used.
        if (!reader.AtEnd() || text.back() == '\n') {
            values.themeName.push_back('\n');
        }
    }

    reader.ScanInt(values.graphType);
    values.showCaption = ScanFlag(reader);
    values.scanlineEffect = ScanFlag(reader);
    if (reader.ScanInt(values.frameDelay)) {
        values.frameDelay = std::clamp(values.frameDelay, kMinFrameDelay, kMaxFrameDelay);
    }
    ScanColour(reader, values.downloadColour);
    ScanColour(reader, values.uploadColour);
    ScanColour(reader, values.textColour);
    ScanColour(reader, values.backgroundTopColour);
    ScanColour(reader, values.backgroundBottomColour);
    reader.ScanInt(values.windowLeft);
    reader.ScanInt(values.windowTop);
    reader.ScanInt(values.windowWidth);
    reader.ScanInt(values.windowHeight);
    values.hiddenInTray = ScanFlag(reader);
    values.followDesktopScheme = false;  // unless the lines below are all there

    int count = 0;
    if (!reader.ScanInt(count)) {
        return;
    }
    reader.SkipLineEnd();
    // A count larger than the lines left (or negative) reads only the lines that are there.
    int read = 0;
    for (; read < count && reader.ReadLine(line); ++read) {
        values.excludedDescriptions.emplace_back(line);
    }
    // Only behind a complete list: a line short, and the last line read was this number.
    if (read != count || !reader.ScanInt(values.trayFace)) {
        return;
    }
    const bool follow = ScanFlag(reader);
    reader.SkipLineEnd();
    std::string_view light;
    std::string_view dark;
    if (reader.ReadLine(light) && reader.ReadLine(dark)) {
        values.followDesktopScheme = follow;
        values.lightTheme.assign(light);
        values.darkTheme.assign(dark);
    }
}

SettingsReadResult ReadSettings(const CDataFolder& folder, SettingsValues& values) {
    const std::string path = folder.DataFilePath(kSettingsFileName);
    if (!FileExists(path)) {
        values.themeName = "Deep Blue";
        values.graphType = 701;
        values.scanlineEffect = false;
        values.frameDelay = 15;
        values.windowLeft = values.windowTop = values.windowWidth = values.windowHeight = -1;
        values.hiddenInTray = false;
        // The first run already leaves out what the new file excludes.
        for (const std::string& description : DefaultSettingsFileValues().excludedDescriptions) {
            if (std::find(values.excludedDescriptions.begin(), values.excludedDescriptions.end(),
                          description) == values.excludedDescriptions.end()) {
                values.excludedDescriptions.push_back(description);
            }
        }
        // A failure is reported through the folder; the file stays missing, so the next start
        // tries again.
        WriteSettings(folder, DefaultSettingsFileValues());
        return SettingsReadResult::Missing;
    }
    // A file we cannot read is not replaced here: the user may still get it back.
    std::string text;
    const bool readable = ReadTextFile(path, text);
    ParseSettings(text, values);
    return readable ? SettingsReadResult::Read : SettingsReadResult::Unreadable;
}

bool WriteSettings(const CDataFolder& folder, const SettingsValues& values) {
    return folder.WriteDataFile(kSettingsFileName, FormatSettings(values));
}
