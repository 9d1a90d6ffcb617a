#include "platform/ReadToEnd.h"

#include <unistd.h>

#include <cerrno>

bool ReadToEnd(int fd, std::string& out, std::size_t limit) {
    std::size_t length = 0;
    if (out.capacity() < 4096) {
        out.reserve(4096);
    }
    out.resize(out.capacity());
    for (;;) {
        if (length == out.size()) {
            if (length > limit) {
                break;
            }
            out.resize(out.size() * 2);
        }
        const ssize_t got = ::read(fd, out.data() + length, out.size() - length);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            out.clear();
            return false;
        }
        if (got == 0) {
            break;
        }
        length += static_cast<std::size_t>(got);
    }
    out.resize(length);
    if (length > limit) {
        out.clear();
        return false;
    }
    return true;
}
