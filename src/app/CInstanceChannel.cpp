#include "app/CInstanceChannel.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kShownAnswer[] = "shown\n";
// Longer than any line of ours: a peer that sends more is not one of us.
constexpr qint64 kMaxLine = 64;

QString RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) {
        return runtime;
    }
    return QDir::tempPath();
}

}  // namespace

QString CInstanceChannel::SocketPath(const QString& dataFolder) {
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty()) {
        canonical = QDir::cleanPath(QDir::current().absoluteFilePath(dataFolder));
    }
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return RuntimeFolder() + QString("/tallyglass-%1-%2").arg(getuid()).arg(QString(hash));
}

bool CInstanceChannel::AskToShow(const QString& dataFolder, int timeoutMs) {
    const QString path = SocketPath(dataFolder);
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            // Not listening yet: the running meter may still be starting.
            QThread::msleep(50);
            continue;
        }
        socket.write(kShowRequest);
        QByteArray answer;
        while (!answer.endsWith('\n') && answer.size() < kMaxLine &&
               socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            answer += socket.readAll();
        }
        return answer == kShownAnswer;
    }
    return false;
}

bool CInstanceChannel::Listen(const QString& dataFolder) {
    const QString path = SocketPath(dataFolder);
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        return false;
    }
    connect(&server_, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    return true;
}

void CInstanceChannel::OnNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine) {
                    socket->abort();
                }
                return;
            }
            const QByteArray line = socket->readLine(kMaxLine);
            if (line == kShowRequest) {
                emit ShowRequested();
                socket->write(kShownAnswer);
            }
            socket->disconnectFromServer();
        });
    }
}
