#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "appearance/CColourTheme.h"

// The fixed table of colour themes with the one current theme. "Custom" is always the last row;
// its colours are the ones the user edits.
class CThemeTable {
public:
    static constexpr int kThemeCount = 21;

    CThemeTable();

    CThemeTable(const CThemeTable&) = delete;
    CThemeTable& operator=(const CThemeTable&) = delete;

    std::vector<std::string> ThemeNames() const;
    // The name a theme list shows for a theme, in English: the file's own, but for a misspelling
    // that settings files keep ("Turqoise" shows as "Turquoise").
    static std::string ShownName(const std::string& name);
    int Count() const { return static_cast<int>(themes_.size()); }
    const CColourTheme& Theme(int index) const { return themes_[index]; }

    // Exact, case-sensitive lookup; null when absent.
    const CColourTheme* FindTheme(std::string_view name) const;

    // Ignores white space at both ends of either name, so a name read from the settings file
    // with its line end still matches. An unknown name leaves the current theme as it was.
    bool SelectTheme(std::string_view name);

    bool HasCurrent() const { return current_ >= 0; }
    // Empty until a theme has been selected.
    const std::string& CurrentThemeName() const;

    // Colour of a named row; black for a name that is not in the table.
    ColourRgb ThemeColour(std::string_view name, ColourSlot slot) const;

    // The current row's colours and strength; black and 0 while nothing is selected.
    ColourRgb CurrentColour(ColourSlot slot) const;
    int ScanlineStrength() const;

    // Overwrites one colour of the current row, each channel clamped to 0-255. False while
    // nothing is selected.
    bool SetCurrentColour(ColourSlot slot, ColourRgb colour);

private:
    std::vector<CColourTheme> themes_;
    int current_ = -1;
};
