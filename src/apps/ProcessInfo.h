#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One process of the user's that holds sockets.
struct ProcessInfo {
    int pid = 0;
    std::string app;          // the application it belongs to (see AppNameFromCgroup)
    std::string commandLine;  // its arguments joined by spaces
    std::vector<std::uint64_t> socketInodes;
};

// The processes whose sockets can be seen: on Linux, the user's own.
class ProcessSource {
public:
    virtual ~ProcessSource() = default;
    // The readable processes that hold at least one socket.
    virtual void Processes(std::vector<ProcessInfo>& processes) = 0;
};
