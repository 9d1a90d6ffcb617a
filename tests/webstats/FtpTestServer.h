#pragma once

#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

// Helper programs are started with posix_spawn rather than QProcess: QProcess forks in a way
// ThreadSanitizer does not follow, and the upload tests run under it too (scripts/test --full).
class CSpawnedProgram {
public:
    // Starts `program` with `args`, its standard input, output and error on pipes of ours.
    CSpawnedProgram(const std::string& program, const QStringList& args) {
        int in[2], out[2], err[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        std::vector<std::string> words{program};
        for (const QString& arg : args) {
            words.push_back(arg.toStdString());
        }
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        close(err[1]);
        input_ = in[1];
        output_ = out[0];
        errors_ = err[0];
        fcntl(errors_, F_SETFL, O_NONBLOCK);
    }
    ~CSpawnedProgram() {
        CloseInput();
        if (pid_ > 0 && Wait(5000) < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(output_);
        close(errors_);
    }
    CSpawnedProgram(const CSpawnedProgram&) = delete;
    CSpawnedProgram& operator=(const CSpawnedProgram&) = delete;

    bool Started() const { return pid_ > 0; }
    void CloseInput() {
        if (input_ >= 0) {
            close(input_);
            input_ = -1;
        }
    }
    // The first line of standard output, waiting up to `ms`; empty if none came.
    std::string ReadLine(int ms) {
        std::string line;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        char c = 0;
        while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
            pollfd ready{output_, POLLIN, 0};
            if (poll(&ready, 1, 100) > 0) {
                if (read(output_, &c, 1) != 1) {
                    break;
                }
                line += c;
            }
        }
        return line;
    }
    // What the program wrote on standard error so far.
    QString Errors() {
        std::string text;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = read(errors_, buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(got));
        }
        return QString::fromStdString(text);
    }
    // Waits up to `ms` for the program to end: its exit code, or -1 if it still runs.
    int Wait(int ms) {
        for (int waited = 0; pid_ > 0; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = 0;
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
                break;
            }
            if (waited >= ms) {
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exitCode_;
    }

private:
    pid_t pid_ = -1;
    int exitCode_ = -1;
    int input_ = -1;
    int output_ = -1;
    int errors_ = -1;
};

// The test FTP server (ftp_server.py under Debian's own Python, which has pyftpdlib) on
// 127.0.0.1 and a free port. It serves `root` to user "user" with password "secret", and stops
// when this object goes (it also ends by itself when its standard input closes).
class FtpTestServer {
public:
    // extra: "--tls CERT KEY" or "--hang".
    explicit FtpTestServer(const std::string& root, const QStringList& extra = {})
        : process_(
              "/usr/bin/python3",
              QStringList{TALLYGLASS_FTP_SERVER, "--root", QString::fromStdString(root)} + extra) {
        // Python and pyftpdlib take a moment to load on a busy machine.
        const std::string line = process_.ReadLine(30000);
        if (line.rfind("PORT ", 0) == 0) {
            port_ = std::stoi(line.substr(5));
        }
    }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // 0 when the server did not start.
    int Port() const { return port_; }
    QString Errors() { return process_.Errors(); }

private:
    CSpawnedProgram process_;
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
