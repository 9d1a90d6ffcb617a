#include "apps/AppName.h"

#include <array>
#include <cstdlib>

namespace {

// Launchers that put their own name before the application's id.
constexpr std::array<std::string_view, 5> kLaunchers = {"gnome", "kde", "flatpak", "xfce", "lxqt"};
constexpr std::size_t kCommLength = 15;

// systemd writes "-" inside a name as "\x2d" (and any other odd byte the same way).
std::string Unescape(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const std::string hex(text.substr(i + 2, 2));
            char* end = nullptr;
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                plain += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

std::string FromUnit(std::string_view unit) {
    constexpr std::string_view kPrefix = "app-";
    if (!unit.starts_with(kPrefix)) {
        return {};
    }
    unit.remove_prefix(kPrefix.size());
    if (unit.ends_with(".scope")) {
        unit.remove_suffix(6);
        const std::size_t dash = unit.rfind('-');
        if (dash == std::string_view::npos) {
            return {};
        }
        unit = unit.substr(0, dash);
    } else if (unit.ends_with(".service")) {
        unit.remove_suffix(8);
        unit = unit.substr(0, unit.find('@'));
    } else {
        return {};
    }
    for (const std::string_view launcher : kLaunchers) {
        if (unit.size() > launcher.size() + 1 && unit.starts_with(launcher) &&
            unit[launcher.size()] == '-') {
            unit.remove_prefix(launcher.size() + 1);
            break;
        }
    }
    std::string name = Unescape(unit);
    if (name.ends_with(".desktop")) {
        name.resize(name.size() - 8);
    }
    return name;
}

}  // namespace

std::string AppNameFromCgroup(std::string_view cgroup) {
    // The innermost application unit on any line: a terminal's own unit holds the shells it
    // starts, and their programs may sit in units of their own below it.
    std::string found;
    while (!cgroup.empty()) {
        const std::size_t newline = cgroup.find('\n');
        std::string_view line = cgroup.substr(0, newline);
        cgroup.remove_prefix(newline == std::string_view::npos ? cgroup.size() : newline + 1);
        std::size_t start = 0;
        while (start <= line.size()) {
            const std::size_t slash = line.find('/', start);
            const std::string_view part =
                line.substr(start, slash == std::string_view::npos ? line.npos : slash - start);
            if (std::string name = FromUnit(part); !name.empty()) {
                found = std::move(name);
            }
            if (slash == std::string_view::npos) {
                break;
            }
            start = slash + 1;
        }
        if (!found.empty()) {
            return found;
        }
    }
    return found;
}

std::string ProcessName(std::string_view comm, std::string_view executable) {
    while (!comm.empty() && comm.back() == '\n') {
        comm.remove_suffix(1);
    }
    const std::size_t slash = executable.rfind('/');
    std::string_view file =
        slash == std::string_view::npos ? executable : executable.substr(slash + 1);
    if (file.ends_with(" (deleted)")) {
        file.remove_suffix(10);
    }
    if (comm.size() == kCommLength && file.size() > comm.size() && file.starts_with(comm)) {
        return std::string(file);
    }
    return std::string(comm);
}
