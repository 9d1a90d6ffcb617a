#pragma once

#include <cstdio>
#include <string>

#include "cli/CommandLine.h"

// How long a status client waits for the meter's first answer, and then, following, for each
// next one. The meter samples every few seconds at its slowest graph speed.
inline constexpr int kStatusTimeoutMs = 1000;
inline constexpr int kFollowSilenceMs = 30000;

// `tallyglass --status[=json] [--follow]`: asks the meter running on `dataFolder` for its figures
// and prints them to `out`, once or after every sample until the meter ends. Returns the exit
// code: kExitNoMeter, with one line on `err`, when no meter runs there, it does not answer in
// time, or (following) it has ended; kExitFailure when `out` cannot be written (the reader has
// gone). Numbers are printed with "." whatever the locale. Needs an application object but no
// display, and touches no data folder.
int RunStatus(const std::string& dataFolder, StatusFormat format, bool follow, std::FILE* out,
              std::FILE* err);
