#pragma once

#include <string>

// Where the data files live: `tallyglassDataDir` when set and non-empty (used as given), else
// `xdgDataHome` when it is an absolute path, else `home` + "/.local/share"; the last two get
// "/Tallyglass" appended. No trailing slash. Null counts as unset.
std::string ResolveDataFolder(const char* tallyglassDataDir, const char* xdgDataHome,
                              const char* home);

// The same, from $TALLYGLASS_DATA_DIR, $XDG_DATA_HOME and $HOME (the password database when
// $HOME is unset).
std::string ResolveDataFolder();

// The folder of the program's resources (pictures, help page), ending with "/": once installed,
// `<prefix>/share/tallyglass/` beside the `<prefix>/bin` that holds the executable; in the build
// tree, the executable's own folder. `executableFolder` ends with "/".
std::string ResourceFolderFor(const std::string& executableFolder);

// ResourceFolderFor the running executable; "./" when the executable cannot be found.
std::string ResolveProgramFolder();
