#include "appearance/CThemeTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(CThemeTable, HoldsTheTwentyOneThemesInOrderWithCustomLast) {
    const CThemeTable table;
    const std::vector<std::string> expected = {
        "XP Blue",        "XP Silver", "XP Olive", "Sunset",    "Deep Blue", "Acid Green",
        "Red & Blue",     "Scarlet",   "Violet",   "Bubblegum", "Green LCD", "Orange LCD",
        "Red LCD",        "Khaki",     "Yellow",   "Autumn",    "Orange",    "Turqoise",
        "Orange On Gray", "Burgundy",  "Custom"};
    EXPECT_EQ(table.ThemeNames(), expected);
    ASSERT_EQ(table.Count(), CThemeTable::kThemeCount);

    const CColourTheme& blue = table.Theme(0);
    EXPECT_EQ(blue.download, (ColourRgb{255, 255, 255}));
    EXPECT_EQ(blue.upload, (ColourRgb{200, 200, 200}));
    EXPECT_EQ(blue.backgroundTop, (ColourRgb{105, 142, 249}));
    EXPECT_EQ(blue.backgroundBottom, (ColourRgb{37, 74, 254}));
    EXPECT_EQ(blue.scanlineStrength, 74);

    const CColourTheme& redBlue = table.Theme(6);
    EXPECT_EQ(redBlue.download, (ColourRgb{220, 50, 94}));
    EXPECT_EQ(redBlue.upload, (ColourRgb{71, 115, 180}));
    EXPECT_EQ(redBlue.text, (ColourRgb{0, 0, 0}));

    EXPECT_EQ(table.Theme(10).scanlineStrength, 60);                       // Green LCD
    EXPECT_EQ(table.Theme(15).text, (ColourRgb{255, 249, 191}));           // Autumn
    EXPECT_EQ(table.Theme(18).backgroundBottom, (ColourRgb{41, 39, 40}));  // Orange On Gray

    const CColourTheme& custom = table.Theme(20);
    EXPECT_EQ(custom.backgroundTop, (ColourRgb{194, 201, 160}));
    EXPECT_EQ(custom.backgroundBottom, (ColourRgb{126, 151, 122}));
    EXPECT_EQ(custom.scanlineStrength, 40);

    EXPECT_EQ(table.ThemeColour("Sunset", ColourSlot::Upload), (ColourRgb{254, 175, 48}));
    EXPECT_EQ(table.FindTheme("Turqoise"), &table.Theme(17));
    EXPECT_EQ(table.FindTheme("turqoise"), nullptr);  // exact spelling and case
    EXPECT_EQ(table.FindTheme("Custom "), nullptr);
}

TEST(CThemeTable, SelectsByTrimmedNameAndIgnoresUnknownNames) {
    CThemeTable table;
    EXPECT_FALSE(table.HasCurrent());
    EXPECT_EQ(table.CurrentThemeName(), "");
    EXPECT_EQ(table.CurrentColour(ColourSlot::Text), ColourRgb{});
    EXPECT_EQ(table.ScanlineStrength(), 0);
    EXPECT_FALSE(table.SetCurrentColour(ColourSlot::Text, {1, 2, 3}));

    EXPECT_TRUE(table.SelectTheme(" \tOrange\r\n"));  // as read from the settings file
    EXPECT_EQ(table.CurrentThemeName(), "Orange");
    EXPECT_EQ(table.CurrentColour(ColourSlot::BackgroundTop), (ColourRgb{255, 153, 0}));
    EXPECT_EQ(table.CurrentColour(ColourSlot::BackgroundBottom), (ColourRgb{225, 123, 0}));
    EXPECT_EQ(table.ScanlineStrength(), 30);

    EXPECT_FALSE(table.SelectTheme("Fuchsia"));
    EXPECT_FALSE(table.SelectTheme(""));
    EXPECT_EQ(table.CurrentThemeName(), "Orange");
}

TEST(CThemeTable, CustomColoursChangeOnlyTheCurrentRow) {
    CThemeTable table;
    ASSERT_TRUE(table.SelectTheme("Custom"));
    EXPECT_TRUE(table.SetCurrentColour(ColourSlot::Download, {10, 20, 30}));
    EXPECT_TRUE(table.SetCurrentColour(ColourSlot::Upload, {300, -4, 255}));  // clamped
    EXPECT_EQ(table.CurrentColour(ColourSlot::Download), (ColourRgb{10, 20, 30}));
    EXPECT_EQ(table.CurrentColour(ColourSlot::Upload), (ColourRgb{255, 0, 255}));
    EXPECT_EQ(table.ThemeColour("Custom", ColourSlot::Download), (ColourRgb{10, 20, 30}));
    EXPECT_EQ(table.ThemeColour("XP Blue", ColourSlot::Download), (ColourRgb{255, 255, 255}));

    ASSERT_TRUE(table.SelectTheme("XP Blue"));
    ASSERT_TRUE(table.SelectTheme("Custom"));
    EXPECT_EQ(table.CurrentColour(ColourSlot::Download), (ColourRgb{10, 20, 30}));  // kept
}
