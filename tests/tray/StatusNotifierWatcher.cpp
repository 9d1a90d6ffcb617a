// A minimal org.kde.StatusNotifierWatcher, the part of a tray host that items register with.
// It runs as its own process on the test's private bus, prints "ready" once it owns its name and
// "item SERVICE PATH" for each registration, and answers the watcher's properties. With
// --no-host it says that no panel has registered to draw the items.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QStringList>

#include "PeerOutput.h"

class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ HostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)

public:
    StatusNotifierWatcher(QDBusConnection bus, bool hostRegistered)
        : owners_(QString(), bus, QDBusServiceWatcher::WatchForUnregistration),
          hostRegistered_(hostRegistered) {
        connect(&owners_, &QDBusServiceWatcher::serviceUnregistered, this,
                &StatusNotifierWatcher::OwnerGone);
    }

    QStringList Items() const { return items_; }
    bool HostRegistered() const { return hostRegistered_; }
    int ProtocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath, const QDBusMessage& message) {
        // Items name either their bus name (the path is then the usual one) or a path on the
        // sender's connection.
        const bool isPath = serviceOrPath.startsWith('/');
        const QString service = isPath ? message.service() : serviceOrPath;
        const QString path = isPath ? serviceOrPath : QStringLiteral("/StatusNotifierItem");
        const QString item = service + path;
        if (!items_.contains(item)) {
            items_.append(item);
            owners_.addWatchedService(service);
        }
        Say("item " + service + " " + path);
        emit StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&) {}

signals:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    void OwnerGone(const QString& service) {
        owners_.removeWatchedService(service);
        for (const QString& item : QStringList(items_)) {
            if (item.startsWith(service + '/')) {
                items_.removeAll(item);
                Say("gone " + service);
                emit StatusNotifierItemUnregistered(item);
            }
        }
    }

    QDBusServiceWatcher owners_;
    bool hostRegistered_;
    QStringList items_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    StatusNotifierWatcher watcher(bus, !app.arguments().contains("--no-host"));
    if (!bus.registerObject("/StatusNotifierWatcher", &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService("org.kde.StatusNotifierWatcher")) {
        Say("failed " + bus.lastError().message());
        return 1;
    }
    Say("ready");
    return app.exec();
}

#include "StatusNotifierWatcher.moc"
