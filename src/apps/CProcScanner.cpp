#include "apps/CProcScanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "apps/AppName.h"
#include "platform/ReadToEnd.h"

namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr std::string_view kSocketLink = "socket:[";

bool ParsePid(const char* name, int& pid) {
    char* end = nullptr;
    const long value = std::strtol(name, &end, 10);
    if (end == name || *end != '\0' || value <= 0) {
        return false;
    }
    pid = static_cast<int>(value);
    return true;
}

}  // namespace

CProcScanner::CProcScanner(std::string procFolder) : proc_(std::move(procFolder)) {}

bool CProcScanner::ReadFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool read = ReadToEnd(fd, text, kMaxFileBytes);
    ::close(fd);
    return read;
}

bool CProcScanner::ReadProcess(int pid, ProcessInfo& process) {
    const std::string folder = proc_ + "/" + std::to_string(pid);
    DIR* fds = ::opendir((folder + "/fd").c_str());
    if (fds == nullptr) {
        return false;  // another user's: its descriptors are not ours to read
    }
    process = ProcessInfo{};
    process.pid = pid;
    char link[64];
    while (const dirent* entry = ::readdir(fds)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const ssize_t length = ::readlinkat(::dirfd(fds), entry->d_name, link, sizeof link - 1);
        if (length <= static_cast<ssize_t>(kSocketLink.size()) ||
            std::string_view(link, kSocketLink.size()) != kSocketLink) {
            continue;
        }
        link[length] = '\0';
        process.socketInodes.push_back(std::strtoull(link + kSocketLink.size(), nullptr, 10));
    }
    ::closedir(fds);
    if (process.socketInodes.empty()) {
        return false;
    }
    // Field 22 of stat, counted after the command name, which may hold spaces and brackets.
    std::string started;
    if (ReadFile(folder + "/stat", text_)) {
        std::size_t at = text_.rfind(')');
        for (int field = 2; field < 22 && at != std::string::npos; ++field) {
            at = text_.find(' ', at + 1);
        }
        if (at != std::string::npos) {
            started = text_.substr(at + 1, text_.find(' ', at + 1) - at - 1);
        }
    }
    Known known;
    const auto found = known_.find(pid);
    if (found != known_.end() && !started.empty() && found->second.started == started) {
        known = std::move(found->second);
    } else {
        known.started = started;
        Describe(folder, known);
    }
    process.app = known.app;
    process.commandLine = known.commandLine;
    seen_[pid] = std::move(known);
    return !process.app.empty();
}

void CProcScanner::Describe(const std::string& folder, Known& known) {
    if (ReadFile(folder + "/cgroup", text_)) {
        known.app = AppNameFromCgroup(text_);
    }
    if (ReadFile(folder + "/cmdline", text_)) {
        while (!text_.empty() && text_.back() == '\0') {
            text_.pop_back();
        }
        std::replace(text_.begin(), text_.end(), '\0', ' ');
        known.commandLine = text_;
    }
    if (known.app.empty()) {
        char executable[4096];
        const ssize_t length =
            ::readlink((folder + "/exe").c_str(), executable, sizeof executable - 1);
        const std::string_view exe(executable, length > 0 ? length : 0);
        std::string comm;
        if (ReadFile(folder + "/comm", text_)) {
            comm = text_;
        }
        known.app = ProcessName(comm, exe);
    }
}

void CProcScanner::Processes(std::vector<ProcessInfo>& processes) {
    DIR* all = ::opendir(proc_.c_str());
    if (all == nullptr) {
        return;
    }
    ProcessInfo process;
    while (const dirent* entry = ::readdir(all)) {
        int pid = 0;
        if (ParsePid(entry->d_name, pid) && ReadProcess(pid, process)) {
            processes.push_back(std::move(process));
        }
    }
    ::closedir(all);
    known_.swap(seen_);
    seen_.clear();
}
