#include <QCheckBox>
#include <QComboBox>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "SettingsParts.h"
#include "appearance/CDesktopSchemeWatcher.h"
#include "appearance/CSettings.h"
#include "appearance/SettingsWindow.h"

// On the tray tests' private session bus, where no portal is installed for the bus to start.

namespace {

using State = CDesktopSchemeWatcher::State;
constexpr const char* kPath = "/org/freedesktop/portal/desktop";

// The portal's settings on a connection of their own: "ReadOne" and "Read" answer the colour
// scheme; `old` portals know only "Read" and wrap the value once more; a `silent` one never
// answers. Switch announces a new scheme as the desktop does.
class PortalStandIn : public QDBusVirtualObject {
public:
    explicit PortalStandIn(uint scheme, bool old = false, bool silent = false)
        : scheme_(scheme), old_(old), silent_(silent) {
        EXPECT_TRUE(bus_.registerVirtualObject(kPath, this));
        EXPECT_TRUE(bus_.registerService("org.freedesktop.portal.Desktop"));
    }
    ~PortalStandIn() override { QDBusConnection::disconnectFromBus("portal"); }

    void Switch(uint scheme) {
        scheme_ = scheme;
        QDBusMessage changed =
            QDBusMessage::createSignal(kPath, "org.freedesktop.portal.Settings", "SettingChanged");
        changed << QString("org.freedesktop.appearance") << QString("color-scheme")
                << QVariant::fromValue(QDBusVariant(scheme));
        bus_.send(changed);
    }

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
        if (silent_) {
            return true;
        }
        if (call.member() != "Read" && (call.member() != "ReadOne" || old_)) {
            bus.send(call.createErrorReply(QDBusError::UnknownMethod, call.member()));
            return true;
        }
        QVariant value = QVariant::fromValue(QDBusVariant(scheme_));
        bus.send(call.createReply(old_ ? QVariant::fromValue(QDBusVariant(value)) : value));
        return true;
    }

private:
    QDBusConnection bus_ = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
    uint scheme_;
    bool old_;
    bool silent_;
};

bool Answered(const CDesktopSchemeWatcher& watcher) {
    return QTest::qWaitFor([&] { return watcher.CurrentState() != State::Asking; }, 15000);
}

}  // namespace

TEST(DesktopSchemeWatcher, TakesThePortalsAnswerOrFindsNone) {
    const struct {
        const char* name;
        std::optional<uint> portal;  // none: no portal on the bus
        bool old;
        bool silent;
        std::optional<DesktopScheme> scheme;  // none: NoPortal
    } cases[] = {
        {"dark", 1, false, false, DesktopScheme::PreferDark},
        {"portal before ReadOne", 2, true, false, DesktopScheme::PreferLight},
        {"no portal", std::nullopt, false, false, std::nullopt},
        {"portal that never answers", 1, false, true, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<PortalStandIn> portal;
        if (c.portal) {
            portal = std::make_unique<PortalStandIn>(*c.portal, c.old, c.silent);
        }
        CDesktopSchemeWatcher watcher(QDBusConnection::sessionBus(), c.silent ? 300 : 5000);
        watcher.Start();
        ASSERT_TRUE(Answered(watcher));
        EXPECT_EQ(watcher.CurrentState(), c.scheme ? State::Known : State::NoPortal);
        EXPECT_EQ(watcher.Scheme(), c.scheme);
    }
}

// Following is offered only where a portal tells the desktop's preference, greyed out with the
// reason elsewhere (where the saved choice survives Apply); the graph's theme then follows each
// switch the portal announces.
TEST(DesktopSchemeWatcher, SettingsWindowOffersFollowingAndTheThemeFollowsSwitches) {
    for (const bool withPortal : {false, true}) {
        SCOPED_TRACE(withPortal ? "portal" : "no portal");
        std::unique_ptr<PortalStandIn> portal =
            withPortal ? std::make_unique<PortalStandIn>(1) : nullptr;
        SettingsParts parts;
        CSettings settings(parts.folder, parts.themes, parts.sampler, parts.view);
        settings.following = {true, "Sunset", "Red LCD"};
        CDesktopSchemeWatcher watcher(QDBusConnection::sessionBus());
        TellSettingsOfScheme(watcher, settings);
        watcher.Start();
        SettingsWindow window(settings, parts.themes, parts.sampler,
                              CAutostartEntry(parts.temp.Str() + "/a.desktop", "/bin/true"),
                              watcher);
        window.show();
        ASSERT_TRUE(Answered(watcher));

        auto* dark = window.findChild<QComboBox*>("darkThemeList");
        EXPECT_EQ(window.findChild<QCheckBox*>("followDesktopScheme")->isEnabled(), withPortal);
        EXPECT_EQ(dark->isEnabled(), withPortal);
        EXPECT_EQ(window.findChild<QLabel*>("noPortalLabel")->isVisible(), !withPortal);
        if (withPortal) {
            dark->setCurrentIndex(dark->findText("Green LCD"));
        }
        QTest::mouseClick(window.findChild<QPushButton*>("applyButton"), Qt::LeftButton);
        EXPECT_EQ(settings.following,
                  (SchemeFollowing{true, "Sunset", withPortal ? "Green LCD" : "Red LCD"}));
        EXPECT_EQ(parts.themes.CurrentThemeName(), withPortal ? "Green LCD" : "Deep Blue");
        if (withPortal) {
            portal->Switch(2);
            EXPECT_TRUE(QTest::qWaitFor([&] { return parts.themes.CurrentThemeName() == "Sunset"; },
                                        15000));
            EXPECT_EQ(settings.themeName, "Deep Blue");  // what the file keeps
        }
    }
}
