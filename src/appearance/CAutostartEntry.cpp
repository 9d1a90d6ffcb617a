#include "appearance/CAutostartEntry.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "persistence/DataFile.h"

namespace {

// Characters that force an Exec argument into double quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
// Characters that need a backslash inside the quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

}  // namespace

std::string DesktopExecArgument(std::string_view path) {
    std::string argument;
    const bool quoted = path.find_first_of(kReserved) != std::string_view::npos;
    if (quoted) {
        argument.push_back('"');
    }
    for (const char c : path) {
        if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos) {
            argument.push_back('\\');
        }
        argument.push_back(c);
        if (c == '%') {
            argument.push_back('%');  // a lone "%" starts a field code
        }
    }
    if (quoted) {
        argument.push_back('"');
    }

    // The key's value is a string: its own escapes apply on top of the Exec quoting.
    std::string value;
    for (const char c : argument) {
        switch (c) {
            case '\\':
                value += "\\\\";
                break;
            case '\n':
                value += "\\n";
                break;
            case '\t':
                value += "\\t";
                break;
            case '\r':
                value += "\\r";
                break;
            default:
                value.push_back(c);
        }
    }
    return value;
}

std::string AutostartEntryText(std::string_view programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tallyglass\n"
           "Comment=Network traffic meter\n"
           "Exec=" +
           DesktopExecArgument(programPath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

CAutostartEntry::CAutostartEntry(std::string filePath, std::string programPath)
    : filePath_(std::move(filePath)), programPath_(std::move(programPath)) {}

std::string CAutostartEntry::PathIn(std::string_view configFolder) {
    return std::string(configFolder) + "/autostart/tallyglass.desktop";
}

bool CAutostartEntry::Exists() const {
    return FileExists(filePath_);
}

bool CAutostartEntry::Write() const {
    const std::filesystem::path folder = std::filesystem::path(filePath_).parent_path();
    return !programPath_.empty() && EnsureFolder(folder.string()) &&
           WriteFileAtomically(filePath_, AutostartEntryText(programPath_));
}

bool CAutostartEntry::Remove() const {
    return unlink(filePath_.c_str()) == 0 || errno == ENOENT;
}
