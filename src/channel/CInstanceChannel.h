#pragma once

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

#include "channel/ChannelProtocol.h"

class QLocalSocket;

// The running meter's door for other programs on the same data folder: a local socket of the
// user's, named after the folder, speaking the lines of ChannelProtocol.h. Both ends live here.
// A later start asks to be shown the meter; a status client asks for its figures, once or after
// every sample.
//
// The meter never waits on a client: answers are built from figures it holds and written without
// blocking. A connection that says nothing for kRequestTimeoutMs, asks for anything but one valid
// request, or as a follower leaves more than kMaxUnsentBytes unread is closed, and only that one.
class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    static constexpr int kRequestTimeoutMs = 5000;
    static constexpr int kMaxConnections = 64;
    // About sixty status lines: a follower that lets this much pile up has stopped reading.
    static constexpr qint64 kMaxUnsentBytes = 16 * 1024;

    // A folder for sockets as found: another user who could make or replace a socket in it
    // could keep the meter from listening, or answer in its place.
    enum class FolderState {
        Private,  // a folder (not a link) of this user's, closed to everyone else
        Missing,
        Unsafe,  // anything else: another owner, rights for others, not a folder
    };
    // The state of `path`; a missing one is first made (0700) when `create` is set. `why`
    // receives what is wrong with one that is not Private.
    static FolderState CheckPrivateFolder(const QString& path, bool create, QString& why);

    // Where the socket for a data folder lives: in $XDG_RUNTIME_DIR when that is the user's
    // alone, else in "tallyglass-<uid>" of the temporary folder, a folder of the user's own;
    // named after the user and a hash of the folder's canonical path, so every spelling of one
    // folder meets at one socket. `state` tells whether that folder can be trusted (only then
    // may the socket be used); `create` makes it when missing, for the meter.
    static QString SocketPath(const QString& dataFolder, FolderState* state = nullptr,
                              bool create = false, QString* why = nullptr);

    // Whether the other end of a connected local socket runs as this user.
    static bool PeerIsThisUser(qintptr descriptor);

    // Asks the meter running on the folder to show its window. The meter may still be starting,
    // so this keeps trying for up to `timeoutMs`. True once it has answered. Blocks: for a start
    // that has no window of its own.
    static bool AskToShow(const QString& dataFolder, int timeoutMs);

    enum class Reply {
        Answered,   // a status line came
        NoMeter,    // nothing listens on the folder's socket
        NoAnswer,   // the meter did not answer in time, or not in our words
        Ended,      // following: the meter closed the connection (it has ended)
        Untrusted,  // the socket, or what answers there, is not this user's
    };
    // Asks the meter on the folder for its figures once, waiting at most `timeoutMs` for them.
    static Reply AskForStatus(const QString& dataFolder, int timeoutMs, MeterStatus& status);
    // Follows the meter's figures: `onStatus` gets each status line, the first within
    // `timeoutMs`, each next one within `silenceMs` of the last, until the meter ends or
    // `onStatus` returns false (then Answered). Blocks throughout.
    static Reply FollowStatus(const QString& dataFolder, int timeoutMs, int silenceMs,
                              const std::function<bool(const MeterStatus&)>& onStatus);

    // Serves requests for the folder. Only the holder of the folder's lock may listen: a socket
    // left by a meter that crashed is removed first. The socket is reachable by this user alone,
    // and connections of other users are closed unheard. False when it cannot listen: `why`
    // receives the reason.
    bool Listen(const QString& dataFolder, QString* why = nullptr);

    // The meter's figures as they are now; none while it cannot tell them (a status request is
    // then closed unanswered).
    void SetStatusSource(std::function<std::optional<MeterStatus>()> source);
    // A sample was taken: every follower gets the figures.
    void PublishStatus();

    // For tests: a shorter wait for silent connections, and what is open.
    void SetRequestTimeout(int milliseconds) { requestTimeoutMs_ = milliseconds; }
    int ConnectionCount() const;
    int FollowerCount() const;

signals:
    void ShowRequested();

private:
    // Sends `verb` and hands each status line to `onStatus` (the first within `timeoutMs`, each
    // next within `silenceMs`) until it returns false or the meter ends the connection.
    static Reply ReadStatuses(const QString& dataFolder, ChannelVerb verb, int timeoutMs,
                              int silenceMs,
                              const std::function<bool(const MeterStatus&)>& onStatus);

    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    void Answer(QLocalSocket* socket, ChannelVerb verb);
    void Close(QLocalSocket* socket);

    int requestTimeoutMs_ = kRequestTimeoutMs;
    std::function<std::optional<MeterStatus>()> statusSource_;
    QList<QPointer<QLocalSocket>> followers_;
    QLocalServer server_;
};
