#include "persistence/CInstanceLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "persistence/CDataFolder.h"

CInstanceLock::Result CInstanceLock::Acquire(const std::string& dataFolder) {
    Release();
    const CDataFolder folder(dataFolder, {});
    if (!folder.EnsureDataFolder()) {
        return Result::Unavailable;
    }
    const std::string path = folder.DataFilePath(kFileName);
    // Close-on-exec: a program we start (a browser for the help) must not inherit the lock and
    // hold the folder after we have ended. A lock file we may not write can still be locked.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && errno == EACCES) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd < 0) {
        return Result::Unavailable;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool elsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return elsewhere ? Result::HeldElsewhere : Result::Unavailable;
    }
    fd_ = fd;
    return Result::Acquired;
}

void CInstanceLock::Release() {
    if (fd_ >= 0) {
        ::close(fd_);  // closing drops the lock
        fd_ = -1;
    }
}
