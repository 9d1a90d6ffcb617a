#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// The running meter's door for later starts on the same data folder: a local socket of the
// user's, named after the folder. A later start asks to be shown the meter, and the running one
// brings its window forward.
class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    // Where the socket for a data folder lives: in $XDG_RUNTIME_DIR (else the temporary folder),
    // named after the user and a hash of the folder's canonical path, so every spelling of one
    // folder meets at one socket.
    static QString SocketPath(const QString& dataFolder);

    // Asks the meter running on the folder to show its window. The meter may still be starting,
    // so this keeps trying for up to `timeoutMs`. True once it has answered. Blocks: for a start
    // that has no window of its own.
    static bool AskToShow(const QString& dataFolder, int timeoutMs);

    // Serves requests for the folder. Only the holder of the folder's lock may listen: a socket
    // left by a meter that crashed is removed first.
    bool Listen(const QString& dataFolder);

signals:
    void ShowRequested();

private:
    void OnNewConnection();

    QLocalServer server_;
};
