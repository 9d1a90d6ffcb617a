#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "hourly/CHourlyStore.h"
#include "persistence/HistoryExport.h"
#include "platform/LocalZone.h"

// The hours of the hourly store for other programs, interface by interface (by name), each in
// time order. An hour is written as its local start with the offset then in force
// ("2026-03-29T03:00+02:00"), so the two hours of the same name on a day the clocks go back stay
// apart; amounts are whole bytes.
// CSV: "interface,hour,download_bytes,upload_bytes,total_bytes,monitored", monitored 1 or 0.
// JSON: {"interfaces": [{"name": ..., "hours": [{"hour": ..., "download_bytes": ...,
// "upload_bytes": ..., "monitored": true}]}]}.
// `interfaceName` empty: every interface. The text goes to `write` in pieces; false when a
// write failed (`writeFailed` then true) or the store could not be read.
bool ExportHours(const CHourlyStore& store, std::string_view interfaceName, ExportFormat format,
                 const LocalZone& zone, const std::function<bool(const std::string&)>& write,
                 bool& writeFailed);

// Appends the local start of the hour at `utcSeconds` with its offset, as the export writes it.
void AppendHourStart(std::string& out, std::int64_t utcSeconds, const LocalZone& zone);
