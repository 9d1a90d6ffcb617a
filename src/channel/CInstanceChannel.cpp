#include "channel/CInstanceChannel.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The user's runtime folder when it is one of the user's alone (after `su` it may still name
// another user's); else a folder of our own in the temporary folder, which anyone can write to.
QString SocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    QString why;
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) &&
        CInstanceChannel::CheckPrivateFolder(runtime, false, why) ==
            CInstanceChannel::FolderState::Private) {
        return runtime;
    }
    return QDir::tempPath() + QString("/tallyglass-%1").arg(getuid());
}

int RemainingMs(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, 1 << 30));
}

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

enum class LineRead { Line, Closed, TimedOut, TooLong };

// The next line from the meter, waiting until `deadline`. A line longer than `maxLength` is not
// one of ours.
LineRead ReadLine(QLocalSocket& socket, const QDeadlineTimer& deadline, qint64 maxLength,
                  QByteArray& line) {
    for (;;) {
        if (socket.canReadLine()) {
            line = socket.readLine(maxLength);
            return line.endsWith('\n') ? LineRead::Line : LineRead::TooLong;
        }
        if (socket.bytesAvailable() >= maxLength) {
            return LineRead::TooLong;
        }
        if (socket.state() != QLocalSocket::ConnectedState) {
            return LineRead::Closed;
        }
        if (!socket.waitForReadyRead(RemainingMs(deadline)) &&
            socket.state() == QLocalSocket::ConnectedState) {
            return LineRead::TimedOut;
        }
    }
}

// Connects and sends `request`. NoMeter when nothing listens at the folder's socket (none there,
// or one left by a meter that is gone); NoAnswer when the meter did not take the connection in
// time.
CInstanceChannel::Reply SendRequest(QLocalSocket& socket, const QString& dataFolder,
                                    ChannelVerb verb, const QDeadlineTimer& deadline) {
    auto state = CInstanceChannel::FolderState::Missing;
    const QString path = CInstanceChannel::SocketPath(dataFolder, &state);
    if (state != CInstanceChannel::FolderState::Private) {
        // No folder, no meter; one that is not ours alone may hold anybody's socket.
        return state == CInstanceChannel::FolderState::Missing ? CInstanceChannel::Reply::NoMeter
                                                               : CInstanceChannel::Reply::Untrusted;
    }
    socket.connectToServer(path);
    if (!socket.waitForConnected(RemainingMs(deadline))) {
        const auto error = socket.error();
        return error == QLocalSocket::ServerNotFoundError ||
                       error == QLocalSocket::ConnectionRefusedError
                   ? CInstanceChannel::Reply::NoMeter
                   : CInstanceChannel::Reply::NoAnswer;
    }
    if (!CInstanceChannel::PeerIsThisUser(socket.socketDescriptor())) {
        socket.abort();
        return CInstanceChannel::Reply::Untrusted;
    }
    socket.write(Bytes(ChannelRequest(verb)));
    socket.flush();
    return CInstanceChannel::Reply::Answered;
}

}  // namespace

CInstanceChannel::FolderState CInstanceChannel::CheckPrivateFolder(const QString& path, bool create,
                                                                   QString& why) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 && errno == ENOENT && create &&
        ::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return FolderState::Unsafe;
    }
    // Looked at again after making it: someone else may have made it first.
    if (::lstat(name.constData(), &info) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return errno == ENOENT ? FolderState::Missing : FolderState::Unsafe;
    }
    if (!S_ISDIR(info.st_mode)) {
        why = "not a folder";
    } else if (info.st_uid != getuid()) {
        why = QString("owned by user %1").arg(info.st_uid);
    } else if ((info.st_mode & 077) != 0) {
        why = QString("open to others (mode %1)").arg(info.st_mode & 0777, 4, 8, QChar('0'));
    } else {
        return FolderState::Private;
    }
    return FolderState::Unsafe;
}

bool CInstanceChannel::PeerIsThisUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return descriptor >= 0 &&
           ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == getuid();
}

QString CInstanceChannel::SocketPath(const QString& dataFolder, FolderState* state, bool create,
                                     QString* why) {
    const QString folder = SocketFolder();
    QString reason;
    const FolderState found = CheckPrivateFolder(folder, create, reason);
    if (state != nullptr) {
        *state = found;
    }
    if (why != nullptr && found != FolderState::Private) {
        *why = folder + ": " + reason;
    }
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty()) {
        canonical = QDir::cleanPath(QDir::current().absoluteFilePath(dataFolder));
    }
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return folder + QString("/tallyglass-%1-%2").arg(getuid()).arg(QString(hash));
}

bool CInstanceChannel::AskToShow(const QString& dataFolder, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        const Reply sent = SendRequest(socket, dataFolder, ChannelVerb::Show, deadline);
        if (sent == Reply::Untrusted) {
            return false;
        }
        if (sent != Reply::Answered) {
            // Not listening yet: the running meter may still be starting.
            QThread::msleep(50);
            continue;
        }
        QByteArray answer;
        return ReadLine(socket, deadline, kMaxRequestLength, answer) == LineRead::Line &&
               answer == Bytes(ShownAnswer());
    }
    return false;
}

CInstanceChannel::Reply CInstanceChannel::AskForStatus(const QString& dataFolder, int timeoutMs,
                                                       MeterStatus& status) {
    return ReadStatuses(dataFolder, ChannelVerb::Status, timeoutMs, timeoutMs,
                        [&status](const MeterStatus& answered) {
                            status = answered;
                            return false;
                        });
}

CInstanceChannel::Reply CInstanceChannel::FollowStatus(
    const QString& dataFolder, int timeoutMs, int silenceMs,
    const std::function<bool(const MeterStatus&)>& onStatus) {
    return ReadStatuses(dataFolder, ChannelVerb::Follow, timeoutMs, silenceMs, onStatus);
}

CInstanceChannel::Reply CInstanceChannel::ReadStatuses(
    const QString& dataFolder, ChannelVerb verb, int timeoutMs, int silenceMs,
    const std::function<bool(const MeterStatus&)>& onStatus) {
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    const Reply sent = SendRequest(socket, dataFolder, verb, deadline);
    if (sent != Reply::Answered) {
        return sent;
    }
    for (bool first = true;; first = false) {
        QByteArray line;
        MeterStatus status;
        switch (ReadLine(socket, deadline, kMaxAnswerLength, line)) {
            case LineRead::Line:
                if (!DecodeStatusAnswer(line.toStdString(), status)) {
                    return Reply::NoAnswer;
                }
                break;
            case LineRead::Closed:
                return first ? Reply::NoAnswer : Reply::Ended;
            case LineRead::TimedOut:
            case LineRead::TooLong:
                return Reply::NoAnswer;
        }
        if (!onStatus(status)) {
            return Reply::Answered;
        }
        deadline = QDeadlineTimer(silenceMs);
    }
}

bool CInstanceChannel::Listen(const QString& dataFolder, QString* why) {
    FolderState state = FolderState::Missing;
    const QString path = SocketPath(dataFolder, &state, true, why);
    if (state != FolderState::Private) {
        return false;
    }
    QLocalServer::removeServer(path);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(path)) {
        if (why != nullptr) {
            *why = path + ": " + server_.errorString();
        }
        return false;
    }
    connect(&server_, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    return true;
}

void CInstanceChannel::SetStatusSource(std::function<std::optional<MeterStatus>()> source) {
    statusSource_ = std::move(source);
}

int CInstanceChannel::ConnectionCount() const {
    return static_cast<int>(server_.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size());
}

int CInstanceChannel::FollowerCount() const {
    return static_cast<int>(
        std::count_if(followers_.begin(), followers_.end(),
                      [](const QPointer<QLocalSocket>& f) { return !f.isNull(); }));
}

void CInstanceChannel::OnNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        // The folder keeps other users out; this keeps out whatever the folder lets through.
        if (ConnectionCount() > kMaxConnections || !PeerIsThisUser(socket->socketDescriptor())) {
            Close(socket);
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        // A client that says nothing holds its socket until then, and nothing else.
        QTimer::singleShot(requestTimeoutMs_, socket, [this, socket] {
            if (!followers_.contains(socket)) {
                Close(socket);
            }
        });
    }
}

void CInstanceChannel::OnReadyRead(QLocalSocket* socket) {
    // Answered and closing: whatever else it says goes unheard.
    if (socket->state() != QLocalSocket::ConnectedState) {
        return;
    }
    // One request, then silence: a follower that talks on is not one of ours.
    if (followers_.contains(socket)) {
        Close(socket);
        return;
    }
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= static_cast<qint64>(kMaxRequestLength)) {
            Close(socket);
        }
        return;
    }
    const QByteArray line = socket->readLine(kMaxRequestLength);
    ChannelVerb verb = ChannelVerb::Show;
    if (socket->bytesAvailable() > 0 ||
        ParseChannelRequest(
            std::string_view(line.constData(), static_cast<std::size_t>(line.size())), verb) !=
            RequestCheck::Valid) {
        Close(socket);
        return;
    }
    Answer(socket, verb);
}

void CInstanceChannel::Answer(QLocalSocket* socket, ChannelVerb verb) {
    if (verb == ChannelVerb::Show) {
        emit ShowRequested();
        socket->write(Bytes(ShownAnswer()));
        socket->disconnectFromServer();
        return;
    }
    const std::optional<MeterStatus> status = statusSource_ ? statusSource_() : std::nullopt;
    if (!status) {
        Close(socket);
        return;
    }
    socket->write(Bytes(EncodeStatusAnswer(*status)));
    if (verb == ChannelVerb::Status) {
        socket->disconnectFromServer();
    } else {
        followers_.append(socket);
    }
}

void CInstanceChannel::PublishStatus() {
    followers_.removeIf([](const QPointer<QLocalSocket>& follower) { return follower.isNull(); });
    if (followers_.isEmpty() || !statusSource_) {
        return;
    }
    const std::optional<MeterStatus> status = statusSource_();
    if (!status) {
        return;
    }
    const QByteArray line = Bytes(EncodeStatusAnswer(*status));
    for (const QPointer<QLocalSocket>& follower : QList(followers_)) {
        // Written without waiting; one that has stopped reading is let go before it costs more.
        if (follower->bytesToWrite() > kMaxUnsentBytes) {
            Close(follower);
        } else {
            follower->write(line);
        }
    }
}

void CInstanceChannel::Close(QLocalSocket* socket) {
    followers_.removeAll(socket);
    socket->abort();
    socket->deleteLater();
}
