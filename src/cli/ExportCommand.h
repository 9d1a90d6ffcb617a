#pragma once

#include <cstdio>
#include <string>

#include "persistence/HistoryExport.h"

// `tallyglass --export=FORMAT`: prints the history of `dataFolder` to `out` and returns the exit
// code. It reads "stats.dat" with the meter's own reader and writes nothing: a history not yet
// written exports as empty; one that cannot be read is an error, told on `err`. Lines the reader
// had to leave out are told on `err` as well, and the good days still go out.
int RunExport(const std::string& dataFolder, ExportFormat format, const LocalDate& today,
              std::FILE* out, std::FILE* err);
