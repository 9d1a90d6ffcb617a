// A minimal org.freedesktop.Notifications, the desktop's notification service. It runs as its
// own process on the test's private bus, prints "ready" once it owns its name and, for each
// notification, "notify SUMMARY|BODY" with the body's line ends written as "\n".
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include "PeerOutput.h"

class Notifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body,
                const QStringList&, const QVariantMap&, int) {
        Say("notify " + summary + "|" + QString(body).replace('\n', "\\n"));
        return ++lastId_;
    }
    void CloseNotification(uint) {}
    QStringList GetCapabilities() { return {"body"}; }
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion) {
        vendor = "tallyglass-tests";
        version = "1";
        specVersion = "1.2";
        return "notifications-peer";
    }

signals:
    void NotificationClosed(uint id, uint reason);
    void ActionInvoked(uint id, const QString& actionKey);

private:
    uint lastId_ = 0;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    Notifications notifications;
    if (!bus.registerObject("/org/freedesktop/Notifications", &notifications,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        !bus.registerService("org.freedesktop.Notifications")) {
        Say("failed " + bus.lastError().message());
        return 1;
    }
    Say("ready");
    return app.exec();
}

#include "NotificationsPeer.moc"
