#include "persistence/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr std::string_view kRandomPart = "XXXXXX";

bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsNumber(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// `base` is `name` itself or `name` + "." + a number.
bool IsNameOrNumberedCopy(std::string_view base, std::string_view name) {
    if (base.substr(0, name.size()) != name) {
        return false;
    }
    const std::string_view rest = base.substr(name.size());
    return rest.empty() || (rest.front() == '.' && IsNumber(rest.substr(1)));
}

}  // namespace

std::string TemporaryFileTemplate(const std::string& path) {
    const std::size_t nameStart = path.rfind('/') + 1;  // 0 without a folder (npos + 1)
    if (nameStart == path.size()) {
        return {};
    }
    std::string temporary = path.substr(0, nameStart);
    temporary += '.';
    temporary.append(path, nameStart);
    temporary += '.';
    temporary += kRandomPart;
    return temporary;
}

bool IsLeftoverTemporary(std::string_view fileName,
                         std::span<const std::string_view> dataFileNames) {
    // "." + base + "." + six letters or digits.
    if (fileName.size() < 1 + 1 + kRandomPart.size() + 1 || fileName.front() != '.') {
        return false;
    }
    const std::string_view random = fileName.substr(fileName.size() - kRandomPart.size());
    const std::string_view base = fileName.substr(1, fileName.size() - 1 - kRandomPart.size() - 1);
    if (fileName[fileName.size() - kRandomPart.size() - 1] != '.') {
        return false;
    }
    for (char c : random) {
        if (!IsLetterOrDigit(c)) {
            return false;
        }
    }
    for (std::string_view name : dataFileNames) {
        if (!name.empty() && IsNameOrNumberedCopy(base, name)) {
            return true;
        }
    }
    return false;
}

int RemoveLeftoverTemporaries(const std::string& folder,
                              std::span<const std::string_view> dataFileNames) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsLeftoverTemporary(entry->d_name, dataFileNames)) {
            continue;
        }
        // Regular files only: a folder or a link of that name is not something we wrote.
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            leftovers.emplace_back(entry->d_name);
        }
    }
    int removed = 0;
    for (const std::string& name : leftovers) {
        if (::unlinkat(::dirfd(dir), name.c_str(), 0) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}
