#pragma once

#include <string>

// Where the data files live: `tallyglassDataDir` when set and non-empty (used as given), else
// `xdgDataHome` when it is an absolute path, else `home` + "/.local/share"; the last two get
// "/Tallyglass" appended. No trailing slash. Null counts as unset.
std::string ResolveDataFolder(const char* tallyglassDataDir, const char* xdgDataHome,
                              const char* home);

// The same, from $TALLYGLASS_DATA_DIR, $XDG_DATA_HOME and $HOME (the password database when
// $HOME is unset). A non-empty `commandLineFolder` (--data-dir) stands in for
// $TALLYGLASS_DATA_DIR.
std::string ResolveDataFolder(const std::string& commandLineFolder = {});

// The user's configuration folder: `xdgConfigHome` when it is an absolute path, else `home` +
// "/.config". No trailing slash. Null counts as unset.
std::string ResolveConfigFolder(const char* xdgConfigHome, const char* home);

// The same, from $XDG_CONFIG_HOME and $HOME (the password database when $HOME is unset).
std::string ResolveConfigFolder();

// The absolute path of the running executable; empty when it cannot be found.
std::string ResolveProgramPath();

// The folder of the program's resources (pictures, help page), ending with "/": once installed,
// `<prefix>/share/tallyglass/` beside the `<prefix>/bin` that holds the executable; in the build
// tree, the executable's own folder. `executableFolder` ends with "/".
std::string ResourceFolderFor(const std::string& executableFolder);

// ResourceFolderFor the running executable; "./" when the executable cannot be found.
std::string ResolveProgramFolder();
