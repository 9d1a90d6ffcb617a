#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "apps/ProcessInfo.h"

// The processes under /proc whose descriptors can be read (the user's own), with the socket
// inodes they hold; the application, command line and name are read only for those that hold a
// socket. What a process is (its application and command line) is read once per process: a pid
// is known again by its start time.
class CProcScanner final : public ProcessSource {
public:
    explicit CProcScanner(std::string procFolder = "/proc");

    void Processes(std::vector<ProcessInfo>& processes) override;

private:
    struct Known {
        std::string started;  // the start time in /proc/<pid>/stat
        std::string app;
        std::string commandLine;
    };

    bool ReadProcess(int pid, ProcessInfo& process);
    void Describe(const std::string& folder, Known& known);
    bool ReadFile(const std::string& path, std::string& text);

    std::unordered_map<int, Known> known_;  // the processes of the last walk that held sockets
    std::unordered_map<int, Known> seen_;   // being built by a walk

    std::string proc_;
    std::string text_;  // reused by every read
    std::string path_;
};
