#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "apps/CAppTraffic.h"
#include "apps/CProcScanner.h"
#include "apps/CSockDiagSource.h"
#include "platform/MsClock.h"

// One poll of the applications' traffic on a busy desktop: 300 processes of the user's holding
// 500 loopback connections between them and this program, so 1,000 open TCP sockets. Run it in a
// network namespace of its own (`unshare -n`, loopback up) for exactly those sockets.
namespace {

constexpr int kProcesses = 300;
constexpr int kConnections = 500;

std::vector<pid_t> children;

// Each child connects its share to `port`, says so on `ready` and waits to be ended.
void StartProcesses(std::uint16_t port, int ready) {
    for (int i = 0; i < kProcesses; ++i) {
        const int share = kConnections / kProcesses + (i < kConnections % kProcesses ? 1 : 0);
        const pid_t pid = fork();
        if (pid == 0) {
            for (int c = 0; c < share; ++c) {
                const int fd = socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in address{};
                address.sin_family = AF_INET;
                address.sin_port = htons(port);
                address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
                    _exit(1);
                }
            }
            const char one = 1;
            if (write(ready, &one, 1) != 1) {
                _exit(1);
            }
            pause();
            _exit(0);
        }
        children.push_back(pid);
    }
}

void BM_PollApplications(benchmark::State& state) {
    CSockDiagSource sockets;
    CProcScanner processes;
    SteadyMsClock clock;
    CAppTraffic traffic(sockets, processes, clock, getuid());
    traffic.Poll(0, 0);
    for (auto _ : state) {
        traffic.Poll(0, 0);
        benchmark::DoNotOptimize(traffic.Apps().data());
    }
    state.counters["apps"] = static_cast<double>(traffic.Apps().size());
}
BENCHMARK(BM_PollApplications)->Unit(benchmark::kMillisecond);

// The walk a poll adds when a socket of the user's appears that no process walked so far held.
void BM_WalkProcesses(benchmark::State& state) {
    CProcScanner processes;
    std::vector<ProcessInfo> found;
    for (auto _ : state) {
        found.clear();
        processes.Processes(found);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["processes"] = static_cast<double>(found.size());
}
BENCHMARK(BM_WalkProcesses)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    rlimit files{4096, 4096};
    setrlimit(RLIMIT_NOFILE, &files);
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, kConnections) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("listen");
        return 1;
    }
    int ready[2];
    if (pipe(ready) != 0) {
        return 1;
    }
    StartProcesses(ntohs(address.sin_port), ready[1]);
    std::vector<int> accepted;
    for (int i = 0; i < kConnections; ++i) {
        accepted.push_back(accept(listener, nullptr, nullptr));
    }
    for (int i = 0; i < kProcesses; ++i) {
        char byte = 0;
        if (read(ready[0], &byte, 1) != 1) {
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (const pid_t pid : children) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return 0;
}
