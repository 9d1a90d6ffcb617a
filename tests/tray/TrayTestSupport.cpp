#include "TrayTestSupport.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusVariant>

#include <cstdlib>

PrivateSessionBus::~PrivateSessionBus() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool PrivateSessionBus::Start(std::string& error) {
    int out[2];
    if (pipe(out) != 0) {
        error = "pipe failed";
        return false;
    }
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // a crashed test leaves no daemon behind
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    if (pid_ < 0) {
        close(out[0]);
        error = "fork failed";
        return false;
    }
    std::string address;
    pollfd readable{out[0], POLLIN, 0};
    char c = 0;
    while (poll(&readable, 1, 5000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') {
        address += c;
    }
    close(out[0]);
    if (address.empty()) {
        error = "dbus-daemon gave no address (is the dbus package installed?)";
        return false;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    return true;
}

bool WatcherProcess::Start(const QStringList& arguments) {
    lines_.clear();
    partial_.clear();
    consumed_ = 0;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_.start(program_, arguments);
    QString line;
    return process_.waitForStarted(5000) && WaitForLine("ready", line, 5000);
}

void WatcherProcess::Stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void WatcherProcess::Freeze() {
    if (process_.state() == QProcess::Running) {
        kill(static_cast<pid_t>(process_.processId()), SIGSTOP);
    }
}

bool WatcherProcess::WaitForItem(QString& service, int timeoutMs) {
    QString line;
    if (!WaitForLine("item ", line, timeoutMs)) {
        return false;
    }
    service = line.section(' ', 1, 1);
    return !service.isEmpty();
}

bool WatcherProcess::WaitForLine(const QString& prefix, QString& line, int timeoutMs) {
    const bool found = QTest::qWaitFor(
        [&] {
            partial_ += QString::fromUtf8(process_.readAllStandardOutput());
            const qsizetype end = partial_.lastIndexOf('\n');
            if (end >= 0) {
                lines_ += partial_.left(end).split('\n');
                partial_ = partial_.mid(end + 1);
            }
            while (consumed_ < lines_.size()) {
                const QString next = lines_.at(consumed_++);
                if (next.startsWith(prefix)) {
                    line = next;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

QDBusMessage CallAndWait(const QDBusMessage& call, int timeoutMs) {
    QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, timeoutMs);
    // An unfinished call answers as an error, which is what the caller checks.
    (void)QTest::qWaitFor([&] { return pending.isFinished(); }, timeoutMs + 1000);
    return pending.reply();
}

QVariant ItemProperty(const QString& service, const QString& name) {
    QDBusMessage call = QDBusMessage::createMethodCall(service, "/StatusNotifierItem",
                                                       "org.freedesktop.DBus.Properties", "Get");
    call << QString("org.kde.StatusNotifierItem") << name;
    const QDBusMessage reply = CallAndWait(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().at(0).value<QDBusVariant>().variant();
}

QList<QImage> ReadItemPictures(const QDBusArgument& argument) {
    QList<QImage> pictures;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray argb;  // network byte order
        argument.beginStructure();
        argument >> width >> height >> argb;
        argument.endStructure();
        if (width <= 0 || height <= 0 || argb.size() != width * height * 4) {
            pictures << QImage();
            continue;
        }
        QImage image(width, height, QImage::Format_ARGB32);
        const auto* p = reinterpret_cast<const unsigned char*>(argb.constData());
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x, p += 4) {
                image.setPixel(x, y, qRgba(p[1], p[2], p[3], p[0]));
            }
        }
        pictures << image;
    }
    argument.endArray();
    return pictures;
}

QList<QImage> ItemPictures(const QString& service) {
    const QVariant value = ItemProperty(service, "IconPixmap");
    return value.canConvert<QDBusArgument>() ? ReadItemPictures(value.value<QDBusArgument>())
                                             : QList<QImage>{};
}
