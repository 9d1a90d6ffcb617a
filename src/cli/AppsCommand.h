#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "apps/CAppTraffic.h"
#include "platform/LocaleTexts.h"

// What `--apps` prints.
enum class AppsFormat { Text, Json };

inline constexpr int kDefaultAppsSeconds = 2;

// The name of the row that holds what no application was found for.
inline constexpr const char* kOtherTrafficName = "Other traffic (UDP, other users, system)";

// The table `--apps` prints: one row per application, busiest first, then the other traffic.
// English, for scripts; amounts printed with "." whatever the locale. JSON: an array of objects
// (`app`, `pids`, `download_kib_s`, `upload_kib_s`, `download_bytes`, `upload_bytes`, `other`),
// the other traffic last.
std::string FormatAppsTable(const std::vector<AppTraffic>& apps, const OtherTraffic& other,
                            AppsFormat format);

// `tallyglass --apps[=json] [--seconds N]`: watches the user's programs' TCP traffic for
// `seconds`, polling once a second as the meter samples, and prints the table to `out`. The
// monitored interfaces are those the settings file in `dataFolder` leaves in (read, never
// written). Errors go to `err` in the user's language; returns the exit code. `sleep` waits the
// given milliseconds (tests pass one that returns at once).
int RunApps(const std::string& dataFolder, AppsFormat format, int seconds, const LocaleTexts& texts,
            std::FILE* out, std::FILE* err, const std::function<void(int)>& sleep);
