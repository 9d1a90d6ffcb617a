#include "app/CSignalBridge.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

// Written by the signal handler (which may do nothing but write), read by the event loop.
int g_signalPipe[2] = {-1, -1};

void HandleSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[0], &byte, 1);
    errno = savedErrno;
}

bool Route(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace

CSignalBridge::CSignalBridge(QObject* parent) : QObject(parent) {}

CSignalBridge::~CSignalBridge() {
    if (notifier_ != nullptr) {
        ReleaseTermination();
    }
}

bool CSignalBridge::CatchTermination() {
    if (g_signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
        return false;
    }
    return Route(HandleSignal);
}

void CSignalBridge::ReleaseTermination() {
    Route(SIG_DFL);
    if (g_signalPipe[0] >= 0) {
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
}

bool CSignalBridge::Install() {
    if (notifier_ != nullptr) {
        return true;
    }
    if (!CatchTermination()) {
        return false;
    }
    notifier_ = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CSignalBridge::OnReadable);
    return true;
}

void CSignalBridge::OnReadable() {
    char buffer[16];
    while (::read(g_signalPipe[1], buffer, sizeof buffer) > 0) {
    }
    emit TerminationRequested();
}
