#pragma once

// Shared pieces of the libFuzzer targets: the input as text, property checks that stop the run
// with a finding, and scratch files for readers that only take a path.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// A property every input must keep. A broken one is a finding like a crash: libFuzzer keeps the
// input that broke it.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A file in memory with a path, rewritten for every input: for readers that open a path.
class CScratchFile {
public:
    CScratchFile() : fd_(::memfd_create("tallyglass-fuzz", MFD_CLOEXEC)) {
        if (fd_ < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;

    void Write(std::string_view text) {
        if (::ftruncate(fd_, 0) != 0 ||
            ::pwrite(fd_, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
            std::perror("scratch file");
            std::abort();
        }
    }
    const std::string& Path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

// A folder of our own for the whole run, in memory where the system offers it, removed when the
// fuzzer exits.
class CScratchFolder {
public:
    CScratchFolder() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tallyglass-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~CScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return path_; }

    // Replaces the file `name` in the folder with `text` (plainly: no sync needed here).
    void Write(const char* name, std::string_view text) const {
        const std::string path = path_ + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
            std::fclose(file) != 0) {
            std::perror(path.c_str());
            std::abort();
        }
    }

private:
    std::string path_;
};
