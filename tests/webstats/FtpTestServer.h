#pragma once

#include <QProcess>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

// The test FTP server (ftp_server.py under Debian's own Python, which has pyftpdlib) on
// 127.0.0.1 and a free port. It serves `root` to user "user" with password "secret", and stops
// when this object goes (it also ends by itself when its standard input closes).
class FtpTestServer {
public:
    // extra: "--tls CERT KEY" or "--hang".
    explicit FtpTestServer(const std::string& root, const QStringList& extra = {}) {
        QStringList args{TALLYGLASS_FTP_SERVER, "--root", QString::fromStdString(root)};
        args += extra;
        process_.start("/usr/bin/python3", args);
        if (process_.waitForStarted(10000)) {
            // Python and pyftpdlib take a moment to load on a busy machine.
            while (!process_.canReadLine() && process_.waitForReadyRead(30000)) {
            }
            const QString line = QString::fromUtf8(process_.readLine()).trimmed();
            if (line.startsWith("PORT ")) {
                port_ = line.mid(5).toInt();
            }
        }
    }
    ~FtpTestServer() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // 0 when the server did not start.
    int Port() const { return port_; }
    QString Errors() { return QString::fromUtf8(process_.readAllStandardError()); }

private:
    QProcess process_;
    int port_ = 0;
};

// A port on 127.0.0.1 where nobody listens: bound and closed again.
inline int ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}
