#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "persistence/HistoryExport.h"
#include "platform/LocalZone.h"

class LocaleTexts;

// `tallyglass --export=FORMAT`: prints the history of `dataFolder` to `out` and returns the exit
// code. It reads "stats.dat" with the meter's own reader and writes nothing: a history not yet
// written exports as empty; one that cannot be read is an error, told on `err`. Lines the reader
// had to leave out are told on `err` as well, and the good days still go out.
int RunExport(const std::string& dataFolder, ExportFormat format, const LocalDate& today,
              std::FILE* out, std::FILE* err);

// `tallyglass --export=FORMAT` with `--interface NAME` or `--hourly`: from the hourly history
// ("history.sqlite") of `dataFolder`. With `hourly`, its hours (see ExportHours), of
// `interfaceName` only when one is given; without, the days of `interfaceName` as RunExport
// prints days. A store not yet written exports as empty; an interface it has never met, or a store
// that cannot be read, is an error, told on `err` in the words of `texts`. The store is only read:
// a damaged one is left where it is (SQLite may leave its empty log and index files beside it).
int RunStoreExport(const std::string& dataFolder, ExportFormat format,
                   const std::string& interfaceName, bool hourly, const LocalZone& zone,
                   const LocalDate& today, const LocaleTexts& texts, std::FILE* out,
                   std::FILE* err);
