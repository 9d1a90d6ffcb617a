#pragma once

#include <string>
#include <string_view>

// "Start at login": a desktop entry in the user's XDG autostart folder that starts this program.
// The entry counts as present when its file exists; what it holds is not examined.
class CAutostartEntry {
public:
    // `filePath`: where the entry lives; `programPath`: the absolute path its Exec line starts.
    CAutostartEntry(std::string filePath, std::string programPath);

    // "<configFolder>/autostart/tallyglass.desktop".
    static std::string PathIn(std::string_view configFolder);

    const std::string& FilePath() const { return filePath_; }

    bool Exists() const;
    // Writes the entry (atomically, creating the autostart folder). False on failure.
    bool Write() const;
    // Deletes the entry. True when it is gone afterwards.
    bool Remove() const;

private:
    std::string filePath_;
    std::string programPath_;
};

// The program path as one argument of a desktop entry's Exec key: quoted when it holds a
// character the Exec syntax reserves, with "%" doubled and the string escapes applied.
std::string DesktopExecArgument(std::string_view path);

// The whole desktop entry that starts `programPath`.
std::string AutostartEntryText(std::string_view programPath);
