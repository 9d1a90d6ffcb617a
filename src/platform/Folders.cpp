#include "platform/Folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

bool IsSet(const char* value) {
    return value != nullptr && value[0] != '\0';
}

void StripTrailingSlashes(std::string& path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
}

std::string HomeFromPasswordDatabase() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && IsSet(found->pw_dir)) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

std::string ResolveDataFolder(const char* tallyglassDataDir, const char* xdgDataHome,
                              const char* home) {
    std::string folder;
    if (IsSet(tallyglassDataDir)) {
        folder = tallyglassDataDir;
        StripTrailingSlashes(folder);
        return folder;
    }
    // A relative XDG_DATA_HOME is invalid and must be ignored.
    if (IsSet(xdgDataHome) && xdgDataHome[0] == '/') {
        folder = xdgDataHome;
    } else {
        folder = IsSet(home) ? home : "";
        StripTrailingSlashes(folder);
        if (folder == "/") {
            folder.clear();
        }
        folder += "/.local/share";
    }
    StripTrailingSlashes(folder);
    if (folder == "/") {
        folder.clear();
    }
    return folder + "/Tallyglass";
}

std::string ResolveDataFolder() {
    const char* home = std::getenv("HOME");
    std::string fallbackHome;
    if (!IsSet(home)) {
        fallbackHome = HomeFromPasswordDatabase();
        home = fallbackHome.c_str();
    }
    return ResolveDataFolder(std::getenv("TALLYGLASS_DATA_DIR"), std::getenv("XDG_DATA_HOME"),
                             home);
}

std::string ResourceFolderFor(const std::string& executableFolder) {
    // The installed layout is recognised by its pictures folder, so a stray share/tallyglass
    // without them never hides the resources beside a build-tree executable.
    const std::string installed = executableFolder + "../share/tallyglass/";
    std::error_code error;
    if (std::filesystem::is_directory(installed + "gfx", error)) {
        return std::filesystem::path(installed).lexically_normal().string();
    }
    return executableFolder;
}

std::string ResolveProgramFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !exe.has_parent_path()) {
        return "./";
    }
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return ResourceFolderFor(folder);
}
