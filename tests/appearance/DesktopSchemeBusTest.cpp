#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "SettingsParts.h"
#include "TrayTestSupport.h"
#include "WidgetInput.h"
#include "appearance/CDesktopSchemeWatcher.h"
#include "appearance/CSettings.h"
#include "appearance/SettingsWindow.h"
#include "persistence/DataFile.h"

// The watcher against a stand-in portal on the test's private session bus (no portal is
// installed for the bus to start, so without the stand-in there is none).

namespace {

using State = CDesktopSchemeWatcher::State;
constexpr int kLongWaitMs = 15000;

// The stand-in portal, started with `arguments` ("SCHEME [--old]").
std::unique_ptr<WatcherProcess> StartPortal(const QStringList& arguments) {
    auto portal = std::make_unique<WatcherProcess>(TALLYGLASS_PORTAL_STANDIN);
    EXPECT_TRUE(portal->Start(arguments));
    return portal;
}

// The desktop switches: the stand-in takes the scheme and announces it.
void SwitchDesktop(WatcherProcess& portal, uint scheme) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop",
                                                       "/org/freedesktop/portal/desktop",
                                                       "test.PortalStandIn", "SetScheme");
    call << scheme;
    EXPECT_EQ(CallAndWait(call).type(), QDBusMessage::ReplyMessage);
    QString line;
    EXPECT_TRUE(portal.WaitForLine("scheme", line, kLongWaitMs));
}

bool Answered(const CDesktopSchemeWatcher& watcher) {
    return QTest::qWaitFor([&] { return watcher.CurrentState() != State::Asking; }, kLongWaitMs);
}

}  // namespace

TEST(DesktopSchemeWatcher, TakesThePortalsFirstAnswerOrFindsNone) {
    const struct {
        const char* name;
        std::optional<QStringList> portal;  // none: no portal on the bus
        bool hangs;
        State state;
        std::optional<DesktopScheme> scheme;
    } cases[] = {
        {"dark", QStringList{"1"}, false, State::Known, DesktopScheme::PreferDark},
        {"portal before ReadOne", QStringList{"2", "--old"}, false, State::Known,
         DesktopScheme::PreferLight},
        {"no preference", QStringList{"0"}, false, State::Known, DesktopScheme::NoPreference},
        {"no portal", std::nullopt, false, State::NoPortal, std::nullopt},
        {"portal that never answers", QStringList{"1"}, true, State::NoPortal, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<WatcherProcess> portal;
        if (c.portal) {
            portal = StartPortal(*c.portal);
            if (c.hangs) {
                portal->Freeze();
            }
        }
        CDesktopSchemeWatcher watcher(QDBusConnection::sessionBus(), c.hangs ? 300 : 5000);
        watcher.Start();
        ASSERT_TRUE(Answered(watcher));
        EXPECT_EQ(watcher.CurrentState(), c.state);
        EXPECT_EQ(watcher.Scheme(), c.scheme);
    }
}

// The path the program takes: the watcher tells the settings, which show the theme the rule
// gives, while the file keeps the user's own theme.
TEST(DesktopSchemeWatcher, AnnouncedSwitchChangesTheShownThemeOnly) {
    std::unique_ptr<WatcherProcess> portal = StartPortal({"2"});
    SettingsParts parts;
    CSettings settings(parts.folder, parts.themes, parts.sampler, parts.view);
    SettingsChoices choices;
    choices.themeIndex = 4;  // "Deep Blue"
    for (int i = 0; i < kColourSlotCount; ++i) {
        choices.colours[i] = parts.themes.ThemeColour("Deep Blue", kColourSlots[i]);
    }
    choices.following = {true, "XP Silver", "Green LCD"};
    ASSERT_TRUE(settings.Apply(choices));

    CDesktopSchemeWatcher watcher(QDBusConnection::sessionBus());
    TellSettingsOfScheme(watcher, settings);
    watcher.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return parts.themes.CurrentThemeName() == "XP Silver"; },
                                kLongWaitMs));
    settings.TakeChanged();

    SwitchDesktop(*portal, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return parts.themes.CurrentThemeName() == "Green LCD"; },
                                kLongWaitMs));
    EXPECT_TRUE(settings.TakeChanged());
    ASSERT_TRUE(settings.Save());
    std::string text;
    ASSERT_TRUE(ReadTextFile(parts.folder.DataFilePath("settings.dat"), text));
    EXPECT_EQ(text.substr(0, 17), "V1.0.0\nDeep Blue\n");

    // "No preference" is GNOME's plain light look.
    SwitchDesktop(*portal, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return parts.themes.CurrentThemeName() == "XP Silver"; },
                                kLongWaitMs));
}

// Following is offered only where a portal tells the desktop's preference; elsewhere it is
// greyed out with the reason, and a saved choice survives Apply.
TEST(DesktopSchemeWatcher, SettingsWindowOffersFollowingOnlyWithAPortal) {
    for (const bool withPortal : {false, true}) {
        SCOPED_TRACE(withPortal ? "portal" : "no portal");
        std::unique_ptr<WatcherProcess> portal = withPortal ? StartPortal({"1"}) : nullptr;
        SettingsParts parts;
        CSettings settings(parts.folder, parts.themes, parts.sampler, parts.view);
        settings.following = {true, "Sunset", "Red LCD"};
        CDesktopSchemeWatcher watcher(QDBusConnection::sessionBus());
        TellSettingsOfScheme(watcher, settings);
        watcher.Start();
        SettingsWindow window(settings, parts.themes, parts.sampler,
                              CAutostartEntry(parts.temp.Str() + "/autostart.desktop", "/bin/true"),
                              watcher);
        window.show();
        ASSERT_TRUE(Answered(watcher));

        auto* follow = window.findChild<QCheckBox*>("followDesktopScheme");
        auto* dark = window.findChild<QComboBox*>("darkThemeList");
        EXPECT_EQ(follow->isEnabled(), withPortal);
        EXPECT_EQ(dark->isEnabled(), withPortal);
        EXPECT_EQ(window.findChild<QLabel*>("noPortalLabel")->isVisible(), !withPortal);
        EXPECT_TRUE(follow->isChecked());
        if (withPortal) {
            ChooseEntry(dark, "Green LCD");
        }
        QTest::mouseClick(window.findChild<QPushButton*>("applyButton"), Qt::LeftButton);
        EXPECT_EQ(settings.following,
                  (SchemeFollowing{true, "Sunset", withPortal ? "Green LCD" : "Red LCD"}));
        EXPECT_EQ(parts.themes.CurrentThemeName(), withPortal ? "Green LCD" : "Deep Blue");
    }
}
