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

// An XDG base folder: the variable when it is an absolute path (a relative one is invalid and
// must be ignored), else the fallback under the home folder.
std::string ResolveXdgFolder(const char* xdgValue, const char* home, const char* underHome) {
    std::string folder;
    if (IsSet(xdgValue) && xdgValue[0] == '/') {
        folder = xdgValue;
    } else {
        folder = IsSet(home) ? home : "";
        StripTrailingSlashes(folder);
        if (folder == "/") {
            folder.clear();
        }
        folder += underHome;
    }
    StripTrailingSlashes(folder);
    if (folder == "/") {
        folder.clear();
    }
    return folder;
}

// $HOME, or the password database's entry when it is unset.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return IsSet(home) ? std::string(home) : HomeFromPasswordDatabase();
}

}  // namespace

std::string ResolveDataFolder(const char* tallyglassDataDir, const char* xdgDataHome,
                              const char* home) {
    if (IsSet(tallyglassDataDir)) {
        std::string folder = tallyglassDataDir;
        StripTrailingSlashes(folder);
        return folder;
    }
    return ResolveXdgFolder(xdgDataHome, home, "/.local/share") + "/Tallyglass";
}

std::string ResolveDataFolder(const std::string& commandLineFolder) {
    const std::string home = HomeFolder();
    const char* chosen =
        commandLineFolder.empty() ? std::getenv("TALLYGLASS_DATA_DIR") : commandLineFolder.c_str();
    return ResolveDataFolder(chosen, std::getenv("XDG_DATA_HOME"), home.c_str());
}

std::string ResolveConfigFolder(const char* xdgConfigHome, const char* home) {
    return ResolveXdgFolder(xdgConfigHome, home, "/.config");
}

std::string ResolveConfigFolder() {
    const std::string home = HomeFolder();
    return ResolveConfigFolder(std::getenv("XDG_CONFIG_HOME"), home.c_str());
}

std::string ResolveProgramPath() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error || !exe.is_absolute() ? std::string() : exe.string();
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
    const std::filesystem::path exe = ResolveProgramPath();
    if (!exe.has_parent_path()) {
        return "./";
    }
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return ResourceFolderFor(folder);
}
