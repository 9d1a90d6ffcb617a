#include "appearance/CSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "SettingsParts.h"
#include "persistence/DataFile.h"
#include "sampling/CTrafficSampler.h"

namespace {

class SettingsTest : public ::testing::Test, protected SettingsParts {
protected:
    void InstallFile(std::string_view text) {
        ASSERT_TRUE(folder.EnsureDataFolder());
        ASSERT_TRUE(WriteFileAtomically(folder.DataFilePath("settings.dat"), text));
    }
    void InstallFixture(const char* name) {
        std::string text;
        ASSERT_TRUE(ReadTextFile(std::string(TALLYGLASS_TEST_DATA) + "/" + name, text));
        InstallFile(text);
    }
    static ColourRgb Custom(const CThemeTable& table, ColourSlot slot) {
        return table.ThemeColour("Custom", slot);
    }
};

const char* const kFileStart = "V1.0.0\n";
const char* const kColoursAndWindow =
    "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n-1\n-1\n-1\n-1\n0\n0\n";

}  // namespace

TEST_F(SettingsTest, FirstRunUsesDefaultsAndTheNextRunTheWrittenFile) {
    CSettings settings(folder, themes, sampler, view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"position -1 -1", "height -1", "width -1",
                                                    "delay 15", "renderer 701"}));
    EXPECT_EQ(settings.themeName, "Deep Blue");
    EXPECT_EQ(themes.CurrentThemeName(), "Deep Blue");
    EXPECT_FALSE(settings.ShowCaption());
    // "Custom" keeps its built-in colours on a first run.
    EXPECT_EQ(Custom(themes, ColourSlot::BackgroundTop), (ColourRgb{194, 201, 160}));
    EXPECT_EQ(settings.uploadColour, (ColourRgb{200, 200, 200}));
    EXPECT_TRUE(settings.TakeChanged());
    EXPECT_FALSE(settings.TakeChanged());
    EXPECT_EQ(settings.GraphTypeNames(), (std::vector<std::string>{"Lines", "Bars", "Dial"}));

    CThemeTable nextThemes;
    FakeGraphView nextView;
    CSettings next(folder, nextThemes, sampler, nextView);
    EXPECT_EQ(nextView.frameDelay, 10);
    EXPECT_EQ(Custom(nextThemes, ColourSlot::Download), (ColourRgb{255, 255, 255}));
    EXPECT_EQ(Custom(nextThemes, ColourSlot::BackgroundTop), (ColourRgb{0, 0, 0}));
}

TEST_F(SettingsTest, PutsASavedFileIntoEffectInOrder) {
    InstallFixture("settings_saved.dat");  // theme "\tOrange ", bars, window 15 25 300 100
    source.AddAdapter(1, "eth0", 1000, 1000);
    double down = 0.0, up = 0.0;
    sampler.Sample(down, up);

    CSettings settings(folder, themes, sampler, view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"position 15 25", "height 100", "width 300",
                                                    "delay 20", "renderer 702"}));
    // White space around the name is ignored, and "Orange" is not "Orange LCD".
    EXPECT_EQ(settings.themeName, "Orange");
    EXPECT_EQ(themes.CurrentThemeName(), "Orange");
    EXPECT_TRUE(settings.ShowCaption());
    EXPECT_TRUE(settings.ScanlineEffect());
    EXPECT_TRUE(settings.hiddenInTray);
    EXPECT_EQ(settings.windowLeft, 15);
    EXPECT_EQ(settings.windowHeight, 100);
    EXPECT_EQ(Custom(themes, ColourSlot::Download), (ColourRgb{10, 20, 30}));
    EXPECT_EQ(Custom(themes, ColourSlot::BackgroundBottom), (ColourRgb{130, 140, 150}));
    EXPECT_EQ(settings.textColour, (ColourRgb{70, 80, 90}));

    // Both reach the sampler in file order, the absent "wlan0" included.
    EXPECT_EQ(sampler.ExcludedDescriptions(), (std::vector<std::string>{"wlan0", "eth0"}));
    source.AddTraffic(1, 5 * 1024 * 1024, 0);
    clock.Advance(1000);
    sampler.Sample(down, up);
    EXPECT_EQ(down, 0.0);
}

TEST_F(SettingsTest, UnknownThemeGivesCustomWithTheSavedColours) {
    InstallFile(std::string(kFileStart) + "Midnight\n701\n0\n0\n10\n" + kColoursAndWindow);
    CSettings settings(folder, themes, sampler, view);
    EXPECT_EQ(settings.themeName, "Custom");
    EXPECT_EQ(themes.CurrentThemeName(), "Custom");
    EXPECT_EQ(themes.CurrentColour(ColourSlot::Download), (ColourRgb{1, 2, 3}));
    EXPECT_EQ(themes.CurrentColour(ColourSlot::Text), (ColourRgb{7, 8, 9}));
    EXPECT_EQ(settings.backgroundBottomColour, (ColourRgb{13, 14, 15}));
}

TEST_F(SettingsTest, UnknownGraphTypeFallsBackToLinesAndTheNextSaveMendsTheFile) {
    InstallFile(std::string(kFileStart) + "Sunset\n704\n0\n0\n10\n" + kColoursAndWindow);
    CSettings settings(folder, themes, sampler, view);
    EXPECT_EQ(view.calls.back(), "renderer 701");
    EXPECT_EQ(view.calls[view.calls.size() - 2], "renderer 704");
    EXPECT_EQ(view.renderer, 701);
    EXPECT_EQ(settings.graphType, kGraphLines);

    ASSERT_TRUE(settings.Save());
    SettingsValues saved;
    ReadSettings(folder, saved);
    EXPECT_EQ(saved.graphType, 701);

    // Later switches: the dial is a valid type; junk never leaves the view without a renderer.
    EXPECT_TRUE(settings.ApplyGraphType(kGraphDial));
    EXPECT_EQ(view.renderer, 703);
    EXPECT_EQ(settings.graphType, 703);
    EXPECT_FALSE(settings.ApplyGraphType(0));
    EXPECT_EQ(view.renderer, 701);
    EXPECT_EQ(settings.graphType, 701);
}

TEST_F(SettingsTest, ANewUsersMeterListsLoopbackAndContainersButCountsOnlyRealInterfaces) {
    source.SetListsLoopback(true);
    source.AddAdapter(1, "lo", 0, 0, 772);
    source.AddAdapter(2, "eth0");
    source.AddAdapter(3, "veth0a1b2c");
    for (int run = 0; run < 2; ++run) {  // the first run, then the one with the written file
        CTrafficSampler meter(source, clock);
        CSettings settings(folder, themes, meter, view);
        std::uint64_t in = 0;
        std::uint64_t out = 0;
        meter.Walk(in, out);
        meter.Walk(in, out);
        EXPECT_EQ(meter.InterfaceNames(), (std::vector<std::string>{"lo", "eth0", "veth0a1b2c"}))
            << run;
        source.AddTraffic(1, 1000000, 1000000);  // local connections
        source.AddTraffic(3, 5000, 5000);        // a container's, which eth0 carries too
        source.AddTraffic(2, 300, 20);
        meter.Walk(in, out);
        EXPECT_EQ(in, 300u) << run;
        EXPECT_EQ(out, 20u) << run;
        EXPECT_EQ(meter.ExcludedDescriptions(),
                  (std::vector<std::string>{"lo", "docker*", "br-*", "veth*", "virbr*", "vnet*"}))
            << run;
    }
}

TEST_F(SettingsTest, SaveWritesTheCurrentValuesAndTheSamplersExcludedList) {
    InstallFixture("settings_saved.dat");
    CSettings settings(folder, themes, sampler, view);

    // What an Apply does: pick a theme, take its colours, change switches, keep the window.
    settings.SetThemeName("XP Silver");
    settings.TakeThemeColours();
    settings.ApplyGraphType(kGraphLines);
    settings.showCaption = false;
    view.SetFrameDelay(1);
    sampler.Select("wlan0");
    sampler.Deselect("lo");
    view.left = 40;
    view.top = 50;
    view.width = 200;
    view.height = 80;
    settings.KeepCurrentWindowRect();
    settings.hiddenInTray = false;  // the tray toggle, saved with the next Apply
    settings.trayFace = TrayFace::Speeds;
    settings.MarkChanged();
    EXPECT_TRUE(settings.TakeChanged());

    ASSERT_TRUE(settings.Save());
    std::string first;
    ASSERT_TRUE(ReadTextFile(folder.DataFilePath("settings.dat"), first));
    EXPECT_EQ(first,
              "V1.0.0\nXP Silver\n701\n0\n1\n1\n"
              "0\n0\n0\n146\n145\n162\n0\n0\n0\n164\n163\n190\n251\n252\n252\n"
              "40\n50\n200\n80\n0\n2\neth0\nlo\n1\n"  // the size restored next time
              "0\nXP Silver\nOrange On Gray\n");
    ASSERT_TRUE(settings.Save());
    std::string second;
    ASSERT_TRUE(ReadTextFile(folder.DataFilePath("settings.dat"), second));
    EXPECT_EQ(second, first);
}

// The graph shows the light or dark choice for the desktop's preference ("no preference" and
// numbers the portal may add later count as light), else the user's own theme, which the file
// keeps. Following needs both its themes in the table and all its lines in the file.
TEST_F(SettingsTest, ShowsTheDesktopsLightOrDarkChoiceOrTheOwnTheme) {
    const char* const following = "0\n1\nSunset\nRed LCD\n";
    const struct {
        const char* name;
        const char* tail;
        std::optional<std::uint32_t> portal;  // the portal's number; none: no portal
        const char* shown;
    } cases[] = {
        {"dark", following, 1, "Red LCD"},
        {"light", following, 2, "Sunset"},
        {"no preference", following, 0, "Sunset"},
        {"a later number", following, 7, "Sunset"},
        {"no portal", following, std::nullopt, "Khaki"},
        {"off", "0\n0\nSunset\nRed LCD\n", 1, "Khaki"},
        {"dark theme unknown", "0\n1\nSunset\nMidnight\n", 1, "Khaki"},
        {"written before following", "0\n", 1, "Khaki"},
    };
    for (const auto& c : cases) {
        InstallFile(std::string(kFileStart) + "Khaki\n701\n0\n0\n10\n" + kColoursAndWindow +
                    c.tail);
        CThemeTable table;
        CSettings settings(folder, table, sampler, view);
        settings.SetDesktopScheme(c.portal ? std::optional(DesktopSchemeFromNumber(*c.portal))
                                           : std::nullopt);
        EXPECT_EQ(table.CurrentThemeName(), c.shown) << c.name;
        EXPECT_EQ(settings.OwnColour(ColourSlot::Text),
                  table.ThemeColour("Khaki", ColourSlot::Text))
            << c.name;
        EXPECT_EQ(settings.CurrentValues().themeName, "Khaki") << c.name;
    }
}
