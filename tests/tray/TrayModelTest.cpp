#include <gtest/gtest.h>

#include <string>

#include "tray/CTrayActivation.h"
#include "tray/CTrayHiding.h"
#include "tray/TrayRules.h"

namespace {

TEST(TrayRules, PictureFollowsBothRates) {
    EXPECT_EQ(TrayIconForRates(3.2, 0.0), kTrayIconDown);
    EXPECT_EQ(TrayIconForRates(0.0, 0.0), kTrayIconIdle);
    EXPECT_EQ(TrayIconForRates(0.0, 1.5), kTrayIconUp);
    EXPECT_EQ(TrayIconForRates(0.001, 1.5), kTrayIconDownUp);
    EXPECT_EQ(TrayIconForRates(-1.0, -1.0), kTrayIconIdle);  // only speeds above 0 count
}

TEST(TrayRules, TipIsCutAt127BytesNeverInsideACharacter) {
    const std::string tip = "Down: 512.0 KB/s\nUp: 0.0 KB/s";
    EXPECT_EQ(CutTrayTip(tip), tip);
    EXPECT_EQ(CutTrayTip(std::string(127, 'a')).size(), 127u);
    EXPECT_EQ(CutTrayTip(std::string(300, 'a')), std::string(127, 'a'));

    // "é" is two bytes, "€" three, "𝄞" four: each placed so that it straddles byte 127.
    const std::string two = std::string(126, 'a') + "\xC3\xA9" + "b";
    EXPECT_EQ(CutTrayTip(two), std::string(126, 'a'));
    const std::string three = std::string(125, 'a') + "\xE2\x82\xAC" + "b";
    EXPECT_EQ(CutTrayTip(three), std::string(125, 'a'));
    const std::string four = std::string(124, 'a') + "\xF0\x9D\x84\x9E" + "b";
    EXPECT_EQ(CutTrayTip(four), std::string(124, 'a'));
    // A character ending exactly at byte 127 stays whole.
    const std::string fits = std::string(125, 'a') + "\xC3\xA9" + "b";
    EXPECT_EQ(CutTrayTip(fits), std::string(125, 'a') + "\xC3\xA9");
    EXPECT_EQ(CutTrayTip(""), "");
}

TEST(TrayActivation, StatusNotifierClickTogglesOncePerDoubleClickInterval) {
    CTrayActivation activation(CTrayActivation::Host::StatusNotifier, 400);
    EXPECT_TRUE(activation.Toggles(CTrayActivation::Event::Click, 1000));
    // A host reporting each click of a double click: the second one is the same gesture.
    EXPECT_FALSE(activation.Toggles(CTrayActivation::Event::Click, 1200));
    EXPECT_TRUE(activation.Toggles(CTrayActivation::Event::Click, 1400));
    EXPECT_FALSE(activation.Toggles(CTrayActivation::Event::ContextMenu, 5000));
    EXPECT_FALSE(activation.Toggles(CTrayActivation::Event::MiddleClick, 6000));
    // Across the wrap of the millisecond clock.
    CTrayActivation wrapping(CTrayActivation::Host::StatusNotifier, 400);
    EXPECT_TRUE(wrapping.Toggles(CTrayActivation::Event::Click, 0xFFFFFF00u));
    EXPECT_FALSE(wrapping.Toggles(CTrayActivation::Event::Click, 0x00000010u));
    EXPECT_TRUE(wrapping.Toggles(CTrayActivation::Event::Click, 0x00000200u));
}

TEST(TrayActivation, XEmbedDoubleClickTogglesExactlyOnce) {
    CTrayActivation activation(CTrayActivation::Host::XEmbed, 400);
    // A single click does nothing; a double click arrives as a click and then a double click.
    EXPECT_FALSE(activation.Toggles(CTrayActivation::Event::Click, 1000));
    int toggles = 0;
    toggles += activation.Toggles(CTrayActivation::Event::Click, 3000);
    toggles += activation.Toggles(CTrayActivation::Event::DoubleClick, 3150);
    toggles += activation.Toggles(CTrayActivation::Event::Click, 3300);  // a third click
    EXPECT_EQ(toggles, 1);
    // The next double click brings the window back.
    EXPECT_FALSE(activation.Toggles(CTrayActivation::Event::Click, 5000));
    EXPECT_TRUE(activation.Toggles(CTrayActivation::Event::DoubleClick, 5150));
}

TEST(TrayHiding, FlagFollowsTogglesAndANoTrayDesktopKeepsTheWindow) {
    bool hiddenInTray = false;
    CTrayHiding hiding(hiddenInTray);
    EXPECT_EQ(hiding.Start(true), TrayWindowAction::None);
    EXPECT_EQ(hiding.Toggle(true), TrayWindowAction::Hide);
    EXPECT_TRUE(hiddenInTray);
    EXPECT_EQ(hiding.Toggle(true), TrayWindowAction::Restore);
    EXPECT_FALSE(hiddenInTray);

    // No tray: hiding is refused, the flag stays clear.
    EXPECT_EQ(hiding.Toggle(false), TrayWindowAction::None);
    EXPECT_FALSE(hiddenInTray);
    // Hidden while the tray existed, then it went: the toggle still brings the window back.
    EXPECT_EQ(hiding.Toggle(true), TrayWindowAction::Hide);
    EXPECT_EQ(hiding.Toggle(false), TrayWindowAction::Restore);
    EXPECT_FALSE(hiddenInTray);
}

TEST(TrayHiding, SavedFlagHidesAtStartOnlyWithATray) {
    bool withTray = true;
    EXPECT_EQ(CTrayHiding(withTray).Start(true), TrayWindowAction::Hide);
    EXPECT_TRUE(withTray);

    bool withoutTray = true;
    EXPECT_EQ(CTrayHiding(withoutTray).Start(false), TrayWindowAction::None);
    EXPECT_FALSE(withoutTray);  // the window is shown, and the flag says so

    bool notSaved = false;
    EXPECT_EQ(CTrayHiding(notSaved).Start(true), TrayWindowAction::None);
    EXPECT_FALSE(notSaved);
}

TEST(TrayHiding, WindowComesBackWhenTheTrayStaysAway) {
    bool hiddenInTray = true;
    CTrayHiding hiding(hiddenInTray);
    ASSERT_EQ(hiding.Start(true), TrayWindowAction::Hide);
    // A tray host restarting: gone for fewer checks than the limit, then back.
    for (int i = 1; i < CTrayHiding::kMissesBeforeRescue; ++i) {
        EXPECT_EQ(hiding.CheckTray(false), TrayWindowAction::None);
    }
    EXPECT_EQ(hiding.CheckTray(true), TrayWindowAction::None);
    for (int i = 1; i < CTrayHiding::kMissesBeforeRescue; ++i) {
        EXPECT_EQ(hiding.CheckTray(false), TrayWindowAction::None);
    }
    EXPECT_TRUE(hiddenInTray);
    EXPECT_EQ(hiding.CheckTray(false), TrayWindowAction::Restore);
    EXPECT_FALSE(hiddenInTray);
    // Shown windows need no rescue.
    EXPECT_EQ(hiding.CheckTray(false), TrayWindowAction::None);
}

}  // namespace
