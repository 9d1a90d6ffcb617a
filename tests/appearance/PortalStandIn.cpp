// A stand-in for the XDG desktop portal's settings: it owns the portal's bus name, answers
// "ReadOne" and "Read" for the colour scheme, and on "SetScheme" (its own interface) takes a new
// scheme and announces it with "SettingChanged", as a desktop does when the user switches.
// Usage: portal_standin SCHEME [--old]; --old behaves as portals before "ReadOne": only "Read",
// with the value wrapped in one variant more. Prints "ready" once it serves.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include "PeerOutput.h"

namespace {

constexpr const char* kPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettings = "org.freedesktop.portal.Settings";

class PortalSettings : public QDBusVirtualObject {
public:
    PortalSettings(uint scheme, bool old) : scheme_(scheme), old_(old) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        const QString method = message.member();
        if (method == "SetScheme" && !message.arguments().isEmpty()) {
            scheme_ = message.arguments().first().toUInt();
            bus.send(message.createReply());
            QDBusMessage changed = QDBusMessage::createSignal(kPath, kSettings, "SettingChanged");
            changed << QString("org.freedesktop.appearance") << QString("color-scheme")
                    << QVariant::fromValue(QDBusVariant(scheme_));
            bus.send(changed);
            Say(QString("scheme %1").arg(scheme_));
            return true;
        }
        const bool readOne = method == "ReadOne" && !old_;
        if ((readOne || method == "Read") && message.arguments().size() == 2) {
            if (message.arguments().at(0).toString() != "org.freedesktop.appearance" ||
                message.arguments().at(1).toString() != "color-scheme") {
                bus.send(message.createErrorReply("org.freedesktop.portal.Error.NotFound",
                                                  "Requested setting not found"));
                return true;
            }
            QVariant value = QVariant::fromValue(QDBusVariant(scheme_));
            if (!readOne) {
                value = QVariant::fromValue(QDBusVariant(value));
            }
            bus.send(message.createReply(QVariantList{value}));
            return true;
        }
        bus.send(message.createErrorReply("org.freedesktop.DBus.Error.UnknownMethod",
                                          "No such method: " + method));
        return true;
    }

private:
    uint scheme_;
    bool old_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    PortalSettings portal(arguments.value(1).toUInt(), arguments.contains("--old"));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(kPath, &portal) ||
        !bus.registerService("org.freedesktop.portal.Desktop")) {
        Say("failed " + bus.lastError().message());
        return 1;
    }
    Say("ready");
    return app.exec();
}
