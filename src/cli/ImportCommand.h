#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/LocalZone.h"

class LocaleTexts;

// `tallyglass --import-vnstat SOURCE`: adds the history that `vnstat --json` printed, read from
// the file `source` or, for "-", from `input`, to the hourly history and to "stats.dat" of
// `dataFolder` (see ApplyVnstatImport), and prints one line saying what was added. Only one
// writer at a time: it holds the folder's instance lock while it works, and refuses while a meter
// holds it. Anything that is not vnStat's JSON is refused before a file is touched. Returns the
// exit code; every error is told on `err` in the words of `texts`.
int RunImportVnstat(const std::string& dataFolder, const std::string& source, int input,
                    const LocalZone& zone, std::int64_t nowUtc, const LocaleTexts& texts,
                    std::FILE* out, std::FILE* err);
