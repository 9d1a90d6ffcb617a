#include "appearance/CThemeTable.h"

#include <algorithm>

#include "core/Translatable.h"
#include "core/TrimSpace.h"

namespace {

struct ThemeRow {
    const char* name;
    ColourRgb download;
    ColourRgb upload;
    ColourRgb text;
    ColourRgb backgroundTop;
    ColourRgb backgroundBottom;
    int scanlineStrength;
};

// The rows in the order the theme list shows them. "Custom" comes last: its colours are the
// user's own, and CSettings finds it by name. The names are the ones the settings file keeps;
// the list shows them translated.
constexpr ThemeRow kRows[CThemeTable::kThemeCount] = {
    {TRANSLATABLE("Themes", "XP Blue"),
     {255, 255, 255},
     {200, 200, 200},
     {255, 255, 255},
     {105, 142, 249},
     {37, 74, 254},
     74},
    {TRANSLATABLE("Themes", "XP Silver"),
     {0, 0, 0},
     {146, 145, 162},
     {0, 0, 0},
     {164, 163, 190},
     {251, 252, 252},
     40},
    {TRANSLATABLE("Themes", "XP Olive"),
     {246, 246, 236},
     {211, 218, 174},
     {246, 246, 236},
     {171, 184, 131},
     {149, 162, 114},
     30},
    {TRANSLATABLE("Themes", "Sunset"),
     {247, 222, 210},
     {254, 175, 48},
     {247, 222, 210},
     {203, 26, 47},
     {237, 124, 47},
     40},
    {TRANSLATABLE("Themes", "Deep Blue"),
     {191, 208, 242},
     {89, 183, 249},
     {191, 208, 242},
     {20, 103, 219},
     {1, 42, 156},
     40},
    {TRANSLATABLE("Themes", "Acid Green"),
     {185, 229, 221},
     {167, 218, 169},
     {185, 229, 221},
     {86, 201, 148},
     {21, 171, 64},
     30},
    {TRANSLATABLE("Themes", "Red & Blue"),
     {220, 50, 94},
     {71, 115, 180},
     {0, 0, 0},
     {223, 224, 225},
     {255, 255, 255},
     30},
    {TRANSLATABLE("Themes", "Scarlet"),
     {255, 255, 255},
     {255, 255, 0},
     {255, 255, 255},
     {255, 0, 0},
     {193, 0, 0},
     30},
    {TRANSLATABLE("Themes", "Violet"),
     {55, 67, 140},
     {200, 202, 242},
     {255, 255, 255},
     {114, 123, 188},
     {154, 159, 217},
     40},
    {TRANSLATABLE("Themes", "Bubblegum"),
     {254, 204, 210},
     {65, 94, 167},
     {254, 204, 210},
     {239, 118, 119},
     {254, 64, 64},
     30},
    {TRANSLATABLE("Themes", "Green LCD"),
     {0, 255, 0},
     {0, 128, 64},
     {0, 255, 0},
     {13, 64, 4},
     {7, 32, 2},
     60},
    {TRANSLATABLE("Themes", "Orange LCD"),
     {255, 163, 17},
     {202, 129, 13},
     {255, 163, 17},
     {112, 71, 7},
     {52, 26, 0},
     30},
    {TRANSLATABLE("Themes", "Red LCD"),
     {240, 0, 0},
     {155, 0, 0},
     {240, 0, 0},
     {98, 1, 8},
     {54, 0, 0},
     30},
    {TRANSLATABLE("Themes", "Khaki"),
     {255, 255, 255},
     {209, 197, 179},
     {255, 255, 255},
     {161, 147, 127},
     {181, 167, 147},
     30},
    {TRANSLATABLE("Themes", "Yellow"),
     {0, 0, 0},
     {244, 8, 17},
     {0, 0, 0},
     {249, 232, 5},
     {237, 221, 5},
     30},
    {TRANSLATABLE("Themes", "Autumn"),
     {203, 183, 0},
     {170, 143, 36},
     {255, 249, 191},
     {96, 75, 12},
     {137, 117, 18},
     30},
    {TRANSLATABLE("Themes", "Orange"),
     {255, 230, 191},
     {255, 210, 0},
     {255, 255, 255},
     {255, 153, 0},
     {225, 123, 0},
     30},
    {"Turqoise", {191, 255, 255}, {0, 107, 107}, {255, 255, 255}, {0, 170, 170}, {0, 130, 130}, 30},
    {TRANSLATABLE("Themes", "Orange On Gray"),
     {219, 115, 0},
     {254, 0, 0},
     {255, 255, 255},
     {62, 62, 62},
     {41, 39, 40},
     30},
    {TRANSLATABLE("Themes", "Burgundy"),
     {255, 255, 255},
     {247, 50, 77},
     {255, 255, 255},
     {165, 0, 34},
     {155, 0, 24},
     30},
    {TRANSLATABLE("Themes", "Custom"),
     {255, 255, 255},
     {200, 200, 200},
     {255, 255, 255},
     {194, 201, 160},
     {126, 151, 122},
     40},
};

int Channel(int value) {
    return std::clamp(value, 0, 255);
}

}  // namespace

CThemeTable::CThemeTable() {
    themes_.reserve(kThemeCount);
    for (const ThemeRow& row : kRows) {
        CColourTheme theme;
        theme.name = row.name;
        theme.backgroundTop = row.backgroundTop;
        theme.backgroundBottom = row.backgroundBottom;
        theme.text = row.text;
        theme.download = row.download;
        theme.upload = row.upload;
        theme.scanlineStrength = row.scanlineStrength;
        themes_.push_back(std::move(theme));
    }
}

std::vector<std::string> CThemeTable::ThemeNames() const {
    std::vector<std::string> names;
    names.reserve(themes_.size());
    for (const CColourTheme& theme : themes_) {
        names.push_back(theme.name);
    }
    return names;
}

const CColourTheme* CThemeTable::FindTheme(std::string_view name) const {
    for (const CColourTheme& theme : themes_) {
        if (theme.name == name) {
            return &theme;
        }
    }
    return nullptr;
}

bool CThemeTable::SelectTheme(std::string_view name) {
    const std::string_view wanted = TrimSpace(name);
    for (std::size_t i = 0; i < themes_.size(); ++i) {
        if (TrimSpace(themes_[i].name) == wanted) {
            current_ = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

const std::string& CThemeTable::CurrentThemeName() const {
    static const std::string kNone;
    return HasCurrent() ? themes_[current_].name : kNone;
}

ColourRgb CThemeTable::ThemeColour(std::string_view name, ColourSlot slot) const {
    const CColourTheme* theme = FindTheme(name);
    return theme ? theme->Colour(slot) : ColourRgb{};
}

ColourRgb CThemeTable::CurrentColour(ColourSlot slot) const {
    return HasCurrent() ? themes_[current_].Colour(slot) : ColourRgb{};
}

int CThemeTable::ScanlineStrength() const {
    return HasCurrent() ? themes_[current_].scanlineStrength : 0;
}

bool CThemeTable::SetCurrentColour(ColourSlot slot, ColourRgb colour) {
    if (!HasCurrent()) {
        return false;
    }
    themes_[current_].SetColour(slot,
                                {Channel(colour.red), Channel(colour.green), Channel(colour.blue)});
    return true;
}

std::string CThemeTable::ShownName(const std::string& name) {
    if (name == "Turqoise") {
        return TRANSLATABLE("Themes", "Turquoise");
    }
    return name;
}
