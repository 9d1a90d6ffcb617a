#include "cli/AppsCommand.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "cli/CommandFiles.h"
#include "apps/CProcScanner.h"
#include "apps/CSockDiagSource.h"
#include "core/Formatters.h"
#include "core/Translatable.h"
#include "persistence/CDataFolder.h"
#include "persistence/CSettingsFile.h"
#include "persistence/DataFile.h"
#include "platform/LinuxInterfaceSource.h"
#include "platform/MsClock.h"
#include "sampling/CTrafficSampler.h"

namespace {

constexpr int kPollMs = 1000;

std::string PidList(const AppTraffic& app) {
    std::string text;
    for (const ProcessInfo& process : app.processes) {
        AppendFormatted(text, "%s%d", text.empty() ? "" : ",", process.pid);
    }
    return text;
}

// The excluded interfaces as the meter would take them, read without writing a default file.
bool ExcludedInterfaces(const std::string& dataFolder, const LocaleTexts& texts,
                        std::vector<std::string>& excluded, std::FILE* err) {
    const CDataFolder folder(dataFolder, {});
    const std::string path = folder.DataFilePath(kSettingsFileName);
    SettingsValues values;
    if (!FileExists(path)) {
        values = DefaultSettingsFileValues();
    } else {
        std::string text;
        if (!ReadForCommand(
                path, texts.Translate("AppsCommand", "tallyglass: cannot read the settings %1: %2"),
                text, err)) {
            return false;
        }
        ParseSettings(text, values);
    }
    excluded = values.excludedDescriptions;
    return true;
}

}  // namespace

std::string FormatAppsTable(const std::vector<AppTraffic>& apps, const OtherTraffic& other,
                            AppsFormat format) {
    std::string out;
    if (format == AppsFormat::Json) {
        out += "[";
        for (const AppTraffic& app : apps) {
            out += "\n  {\"app\": ";
            AppendJsonString(out, app.app);
            AppendFormatted(out,
                            ", \"pids\": [%s], \"download_kib_s\": %.3f, \"upload_kib_s\": %.3f, "
                            "\"download_bytes\": %llu, \"upload_bytes\": %llu, \"other\": false},",
                            PidList(app).c_str(), app.downKiBs, app.upKiBs,
                            static_cast<unsigned long long>(app.downBytes),
                            static_cast<unsigned long long>(app.upBytes));
        }
        out += "\n  {\"app\": ";
        AppendJsonString(out, kOtherTrafficName);
        AppendFormatted(out,
                        ", \"pids\": [], \"download_kib_s\": %.3f, \"upload_kib_s\": %.3f, "
                        "\"download_bytes\": %llu, \"upload_bytes\": %llu, \"other\": true, "
                        "\"attributed_exceeds_total\": %s}\n]\n",
                        other.downKiBs, other.upKiBs,
                        static_cast<unsigned long long>(other.downBytes),
                        static_cast<unsigned long long>(other.upBytes),
                        other.attributedExceededTotal ? "true" : "false");
        return out;
    }
    const char* row = "%-40s %12s %12s %14s %14s  %s\n";
    AppendFormatted(out, row, "Application", "Down KiB/s", "Up KiB/s", "Downloaded B", "Uploaded B",
                    "PIDs");
    const auto line = [&](const std::string& name, double down, double up, std::uint64_t downBytes,
                          std::uint64_t upBytes, const std::string& pids) {
        std::string downText;
        std::string upText;
        AppendFormatted(downText, "%.1f", down);
        AppendFormatted(upText, "%.1f", up);
        AppendFormatted(out, row, name.c_str(), downText.c_str(), upText.c_str(),
                        std::to_string(downBytes).c_str(), std::to_string(upBytes).c_str(),
                        pids.c_str());
    };
    for (const AppTraffic& app : apps) {
        line(app.app, app.downKiBs, app.upKiBs, app.downBytes, app.upBytes, PidList(app));
    }
    line(kOtherTrafficName, other.downKiBs, other.upKiBs, other.downBytes, other.upBytes, "");
    out +=
        "Counted: the TCP traffic of your own programs; UDP, other users' and the system's "
        "traffic is other traffic.";
    if (other.attributedExceededTotal) {
        out +=
            " More was counted for programs than the monitored interfaces carried "
            "(loopback not monitored?): other traffic shows 0.";
    }
    out += '\n';
    return out;
}

int RunApps(const std::string& dataFolder, AppsFormat format, int seconds, const LocaleTexts& texts,
            std::FILE* out, std::FILE* err, const std::function<void(int)>& sleep) {
    const auto tell = [&](const char* source, std::initializer_list<std::string_view> args) {
        const std::string line = FillArgs(texts.Translate("AppsCommand", source), args);
        std::fprintf(err, "%s\n", line.c_str());
    };
    std::vector<std::string> excluded;
    if (!ExcludedInterfaces(dataFolder, texts, excluded, err)) {
        return 1;
    }
    SteadyMsClock clock;
    LinuxInterfaceSource interfaces;
    CTrafficSampler sampler(interfaces, clock);
    for (const std::string& description : excluded) {
        sampler.Deselect(description);
    }
    CSockDiagSource sockets;
    CProcScanner processes;
    CAppTraffic traffic(sockets, processes, clock, getuid());

    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    sampler.Walk(received, sent);  // the interfaces' counters at the window's opening
    traffic.Poll(0, 0);
    if (!traffic.SocketsReadable()) {
        tell(TRANSLATABLE("AppsCommand", "tallyglass: cannot read the system's TCP sockets."), {});
        return 1;
    }
    for (int second = 0; second < seconds; ++second) {
        sleep(kPollMs);
        sampler.Walk(received, sent);
        traffic.Poll(received, sent);
    }
    if (!WriteAll(out, FormatAppsTable(traffic.Apps(), traffic.Other(), format))) {
        tell(TRANSLATABLE("AppsCommand", "tallyglass: cannot write the table: %1"),
             {std::strerror(errno)});
        return 1;
    }
    return 0;
}
