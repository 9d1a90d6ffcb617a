#pragma once

#include <string>

// One running meter per data folder: an exclusive lock (flock) on a file in the folder. The
// system drops the lock however its holder ends, a crash or SIGKILL included, so a lock left
// behind never blocks the next start.
class CInstanceLock {
public:
    static constexpr const char* kFileName = "instance.lock";

    enum class Result {
        Acquired,       // this process holds the folder
        HeldElsewhere,  // another process (or another lock object) holds it
        Unavailable,    // the folder or the lock file cannot be made or locked
    };

    CInstanceLock() = default;
    ~CInstanceLock() { Release(); }
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    // Creates the folder (mode 0700) if needed and tries once, without waiting.
    Result Acquire(const std::string& dataFolder);
    void Release();
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
