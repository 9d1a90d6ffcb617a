#pragma once

#include <QString>
#include <QStringList>

#include "cli/AppsCommand.h"
#include "persistence/HistoryExport.h"

// Exit codes of the program.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// A status client found no meter to ask, or the meter did not answer.
inline constexpr int kExitNoMeter = 3;

// What `--status` prints.
enum class StatusFormat { Text, Json };

// What the command line asks for. Each action is one thing main does; an option that asks for
// other work adds an action here and its option in ParseCommandLine.
struct CommandLineRequest {
    enum class Action {
        Run,           // the meter
        ShowHelp,      // `text` to standard output, success
        ShowVersion,   // `text` to standard output, success
        UsageError,    // `text` (the error, then the usage) to standard error, kExitUsage
        Export,        // the history in `exportFormat` to standard output, or of the hourly
                       // store: `exportInterface`'s days, or its `hourly` figures
        Status,        // the running meter's figures in `statusFormat`, once or `follow`ing them
        Quota,         // the quota's current period and projection to standard output
        ImportVnstat,  // vnStat's JSON from `importSource` ("-": standard input) into the files
        Apps,          // each application's traffic over `appsSeconds`, in `appsFormat`
    };
    Action action = Action::Run;
    // --data-dir as given; empty when not given ($TALLYGLASS_DATA_DIR or the default then).
    QString dataFolder;
    ExportFormat exportFormat = ExportFormat::Csv;
    QString exportInterface;  // empty: every interface
    bool hourly = false;
    QString importSource;
    StatusFormat statusFormat = StatusFormat::Text;
    bool follow = false;
    AppsFormat appsFormat = AppsFormat::Text;
    int appsSeconds = kDefaultAppsSeconds;
    QString text;
};

// Reads the arguments (the program's name first). Needs no application object and no display,
// so help, version and usage errors never touch the display or the data folder. Its texts are
// English while no translations are installed.
CommandLineRequest ParseCommandLine(const QStringList& arguments, const QString& version);

// ParseCommandLine with the help or the usage error in the user's language: those two read the
// arguments again with the translations installed, in an application object of their own that
// ends before this returns.
CommandLineRequest ParseCommandLineForUser(const QStringList& arguments, const QString& version);
