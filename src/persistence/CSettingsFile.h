#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "appearance/ColourRgb.h"
#include "persistence/CDataFolder.h"

// Reading and writing "settings.dat": the appearance, window and interface choices.

inline constexpr const char* kSettingsFileName = "settings.dat";

// The graph view sleeps this long after every frame; anything longer would freeze the window.
inline constexpr int kMinFrameDelay = 1;
inline constexpr int kMaxFrameDelay = 33;

// The themes offered for the desktop's light and dark looks until the user picks others: a pale
// one and a dark grey one.
inline constexpr const char* kDefaultLightTheme = "XP Silver";
inline constexpr const char* kDefaultDarkTheme = "Orange On Gray";

// Every value the file holds, in the order of its lines.
struct SettingsValues {
    // As read, the name may still end with its line end (LF only); theme lookups ignore it.
    std::string themeName = "Deep Blue";
    int graphType = 701;
    bool showCaption = false;
    bool scanlineEffect = false;
    int frameDelay = 15;  // ms
    ColourRgb downloadColour;
    ColourRgb uploadColour;
    ColourRgb textColour;
    ColourRgb backgroundTopColour;
    ColourRgb backgroundBottomColour;
    int windowLeft = -1;  // -1: none saved
    int windowTop = -1;
    int windowWidth = -1;
    int windowHeight = -1;
    bool hiddenInTray = false;
    std::vector<std::string> excludedDescriptions;
    // What the tray icon shows: 0 the traffic picture, 1 the speeds. Written after the excluded
    // list, where readers that know nothing of it stop reading: a file stays readable both ways.
    int trayFace = 0;
    // Whether the theme follows the desktop's light and dark, and the theme for each. After the
    // tray face, for the same reason; a file that lacks them reads as not following.
    bool followDesktopScheme = false;
    std::string lightTheme = kDefaultLightTheme;
    std::string darkTheme = kDefaultDarkTheme;
};

enum class SettingsReadResult {
    Read,        // the file was there and was read (parts it lacks keep the starting values)
    Missing,     // no file: defaults in memory, a default file written
    Unreadable,  // there but not readable: left alone, read as if empty
};

// The values a new default file is written with.
SettingsValues DefaultSettingsFileValues();

// The file's text for these values.
std::string FormatSettings(const SettingsValues& values);

// Reads the file's text over `values`, which hold the caller's starting values: numbers that
// cannot be read keep them, flags that cannot be read are false, excluded descriptions are
// appended. Following the desktop is on only when its flag and both theme lines are there.
// Line ends may be LF or CR LF.
void ParseSettings(std::string_view text, SettingsValues& values);

// Loads "settings.dat" from the data folder into `values` (see ParseSettings). When the file is
// missing, the in-memory defaults are set (the caption flag and the colours keep the caller's
// values; the excluded list keeps its entries and gains those a default file excludes, loopback),
// the folder is created and a default file written.
SettingsReadResult ReadSettings(const CDataFolder& folder, SettingsValues& values);

// Replaces "settings.dat" (mode 0600), creating the folder if needed; on failure the old file
// stays, the folder's save notice hears why, and false is returned.
bool WriteSettings(const CDataFolder& folder, const SettingsValues& values);
