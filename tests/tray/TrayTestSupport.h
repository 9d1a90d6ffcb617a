#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QImage>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QVariant>

#include <string>

// A D-Bus session bus of the test's own: a dbus-daemon child that dies with the test.
class PrivateSessionBus {
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Starts the daemon and points DBUS_SESSION_BUS_ADDRESS at it. Call before the application
    // object exists, so nothing has connected to another bus yet.
    bool Start(std::string& error);

private:
    int pid_ = -1;
};

// A desktop-service helper program of the tests (the StatusNotifierWatcher, the notification
// service), started and stopped by the test as the desktop's would come and go. It prints
// "ready" once it serves, then one line per event.
class WatcherProcess {
public:
    explicit WatcherProcess(QString program) : program_(std::move(program)) {}
    ~WatcherProcess() { Stop(); }

    // Starts it and waits until it owns its bus name.
    bool Start(const QStringList& arguments = {});
    void Stop();
    // Stops the process where it stands (SIGSTOP): it keeps its bus name and the bus takes calls
    // for it, but nothing answers them, as with a hung tray host. Stop still ends it.
    void Freeze();
    // Waits for the next item registration since the last one seen; gives the item's bus name.
    bool WaitForItem(QString& service, int timeoutMs = 5000);
    // Waits for the next line since the last one seen that starts with `prefix`.
    bool WaitForLine(const QString& prefix, QString& line, int timeoutMs);

private:
    QString program_;
    QProcess process_;
    QStringList lines_;
    QString partial_;
    qsizetype consumed_ = 0;
};

// Counts the D-Bus signals connected to Count.
class SignalCounter : public QObject {
    Q_OBJECT
public:
    int count = 0;
public slots:
    void Count() { ++count; }
};

// Keeps the arguments of each D-Bus signal connected to Take.
class SignalLog : public QObject {
    Q_OBJECT
public:
    QList<QVariantList> received;
public slots:
    void Take(const QDBusMessage& message) { received << message.arguments(); }
};

// The one watcher of a test program that has one (null otherwise).
WatcherProcess* TestWatcher();

// A D-Bus call whose answer may come from this very process: wait for it while serving events.
QDBusMessage CallAndWait(const QDBusMessage& call, int timeoutMs = 5000);

// One property of the StatusNotifierItem `service` serves, as a tray host reads it; invalid when
// there is no answer.
QVariant ItemProperty(const QString& service, const QString& name);

// The pictures of an icon property ("IconPixmap"), as images; a picture whose size and data
// disagree comes back null.
QList<QImage> ReadItemPictures(const QDBusArgument& argument);
QList<QImage> ItemPictures(const QString& service);
