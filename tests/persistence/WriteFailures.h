#pragma once

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "persistence/DataFile.h"

// Makes writes beyond `bytes` fail (EFBIG) while it lives. Unlike permission bits, this stops
// root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*oldHandler_)(int) = nullptr;
};

// False when running as root, which ignores permission bits: a read-only folder then stops
// nothing.
inline bool ReadOnlyFoldersStopWrites(const std::string& folder) {
    const std::string probe = folder + "/probe";
    std::filesystem::create_directory(probe);
    chmod(probe.c_str(), 0500);
    const bool stopped = !WriteFileAtomically(probe + "/x", "x");
    chmod(probe.c_str(), 0700);
    std::filesystem::remove_all(probe);
    return stopped;
}
