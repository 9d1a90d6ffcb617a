#pragma once

#include <string>
#include <vector>

#include "apps/ProcessInfo.h"

// The processes under /proc whose descriptors can be read (the user's own), with the socket
// inodes they hold; the application, command line and name are read only for those that hold a
// socket.
class CProcScanner final : public ProcessSource {
public:
    explicit CProcScanner(std::string procFolder = "/proc");

    void Processes(std::vector<ProcessInfo>& processes) override;

private:
    bool ReadProcess(int pid, ProcessInfo& process);
    bool ReadFile(const std::string& path, std::string& text);

    std::string proc_;
    std::string text_;  // reused by every read
    std::string path_;
};
