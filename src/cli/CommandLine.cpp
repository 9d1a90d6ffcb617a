#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <string>

#include "platform/CTranslations.h"

namespace {

// The help and the errors are in the user's language once the translations are installed; the
// option names and format names are not translated.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

QString ProgramName(const QStringList& arguments) {
    return arguments.isEmpty() ? QString("tallyglass") : QFileInfo(arguments.first()).fileName();
}

}  // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Words::tr("Tallyglass, a network-traffic meter."));
    // Our own help and version options: the parser's would also offer Qt's options, which are
    // not taken here.
    const QCommandLineOption help(QStringList{"h", "help"}, Words::tr("Show this help and exit."));
    const QCommandLineOption versionOption(QStringList{"v", "version"},
                                           Words::tr("Show the version and exit."));
    // The value names (<dir>, <format>) are written in the descriptions too: a translation keeps
    // them as they are.
    const QCommandLineOption dataDir(
        "data-dir", Words::tr("Keep the data files in <dir> (as $TALLYGLASS_DATA_DIR does)."),
        "dir");
    const QCommandLineOption exportOption(
        "export", Words::tr("Print the recorded days as <format> (csv or json) and exit."),
        "format");
    const QCommandLineOption statusOption(
        "status",
        Words::tr("Print the running meter's speeds and totals as one line of text, or of JSON for "
                  "panels (waybar), and exit. --status alone is --status=text."),
        "text|json");
    const QCommandLineOption followOption(
        "follow",
        Words::tr("With --status: print a line after every sample until the meter ends."));
    parser.addOption(help);
    parser.addOption(versionOption);
    parser.addOption(dataDir);
    const QCommandLineOption quotaOption(
        "quota",
        Words::tr("Print the quota's current period, its use and where it is heading, and exit."));
    const QCommandLineOption interfaceOption(
        "interface",
        Words::tr("With --export: only the interface <name>, from the hourly history."), "name");
    const QCommandLineOption hourlyOption(
        "hourly", Words::tr("With --export: the hours of the hourly history, per interface."));
    const QCommandLineOption importOption(
        "import-vnstat",
        Words::tr("Add the history that vnstat --json prints, read from <file> (- for standard "
                  "input), to the data files and exit. The meter must not be running."),
        "file");
    parser.addOption(exportOption);
    parser.addOption(interfaceOption);
    parser.addOption(hourlyOption);
    parser.addOption(statusOption);
    parser.addOption(followOption);
    parser.addOption(quotaOption);
    parser.addOption(importOption);
    const QCommandLineOption appsOption(
        "apps",
        Words::tr("Watch your own programs' network traffic, print it per application as a table "
                  "or as JSON, and exit. Needs no meter. --apps alone is --apps=text."),
        "text|json");
    const QCommandLineOption secondsOption(
        "seconds",
        Words::tr("With --apps: watch for <n> seconds (%1 if not given).").arg(kDefaultAppsSeconds),
        "n");
    parser.addOption(appsOption);
    parser.addOption(secondsOption);

    // Without an application object the parser cannot know the program's name.
    const QString program = ProgramName(arguments);
    QString usage = parser.helpText();
    usage.replace("<executable_name>", program);

    // --status takes its format after "=" only; alone it asks for text.
    QStringList given = arguments;
    std::replace(given.begin() + (given.isEmpty() ? 0 : 1), given.end(), QString("--status"),
                 QString("--status=text"));
    std::replace(given.begin() + (given.isEmpty() ? 0 : 1), given.end(), QString("--apps"),
                 QString("--apps=text"));

    CommandLineRequest request;
    QString error;
    const bool parsed = parser.parse(given);
    bool secondsRead = false;
    const int seconds = parsed && parser.isSet(secondsOption)
                            ? parser.value(secondsOption).toInt(&secondsRead)
                            : kDefaultAppsSeconds;
    const int otherActions = parsed ? int(parser.isSet(exportOption)) +
                                          int(parser.isSet(statusOption)) +
                                          int(parser.isSet(quotaOption))
                                    : 0;
    if (!parsed) {
        error = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        error = Words::tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
    } else if (parser.isSet(dataDir) && parser.value(dataDir).isEmpty()) {
        error = Words::tr("--data-dir needs a folder.");
    } else if (parser.isSet(exportOption) && parser.value(exportOption) != "csv" &&
               parser.value(exportOption) != "json") {
        error = Words::tr("Unknown export format '%1': use csv or json.")
                    .arg(parser.value(exportOption));
    } else if (parser.isSet(statusOption) && parser.value(statusOption) != "text" &&
               parser.value(statusOption) != "json") {
        error = Words::tr("Unknown status format '%1': use text or json.")
                    .arg(parser.value(statusOption));
    } else if (parser.isSet(statusOption) && parser.isSet(exportOption)) {
        error = Words::tr("--export and --status cannot be asked for together.");
    } else if (parser.isSet(followOption) && !parser.isSet(statusOption)) {
        error = Words::tr("--follow goes with --status.");
    } else if (parser.isSet(quotaOption) &&
               (parser.isSet(exportOption) || parser.isSet(statusOption))) {
        error = Words::tr("--quota prints something else than --export or --status: ask for one.");
    } else if ((parser.isSet(interfaceOption) || parser.isSet(hourlyOption)) &&
               !parser.isSet(exportOption)) {
        error = Words::tr("--interface and --hourly go with --export.");
    } else if (parser.isSet(interfaceOption) && parser.value(interfaceOption).isEmpty()) {
        error = Words::tr("--interface needs an interface's name.");
    } else if (parser.isSet(importOption) && (otherActions > 0 || parser.isSet(appsOption))) {
        error = Words::tr(
            "--import-vnstat goes alone: not with --export, --status, --quota or --apps.");
    } else if (parser.isSet(importOption) && parser.value(importOption).isEmpty()) {
        error = Words::tr("--import-vnstat needs a file, or - for standard input.");
    } else if (parser.isSet(appsOption) && parser.value(appsOption) != "text" &&
               parser.value(appsOption) != "json") {
        error =
            Words::tr("Unknown apps format '%1': use text or json.").arg(parser.value(appsOption));
    } else if (parser.isSet(appsOption) && otherActions > 0) {
        error = Words::tr(
            "--apps prints something else than --export, --status or --quota: ask "
            "for one.");
    } else if (parser.isSet(secondsOption) && !parser.isSet(appsOption)) {
        error = Words::tr("--seconds goes with --apps.");
    } else if (parser.isSet(secondsOption) && (!secondsRead || seconds < 1 || seconds > 3600)) {
        error = Words::tr("--seconds needs a whole number from 1 to 3600.");
    }
    if (!error.isEmpty()) {
        request.action = CommandLineRequest::Action::UsageError;
        request.text = program + ": " + error + "\n" + usage;
    } else if (parser.isSet(help)) {
        request.action = CommandLineRequest::Action::ShowHelp;
        request.text = usage;
    } else if (parser.isSet(versionOption)) {
        request.action = CommandLineRequest::Action::ShowVersion;
        request.text = "Tallyglass " + version + "\n";
    } else {
        request.dataFolder = parser.value(dataDir);
        if (parser.isSet(exportOption)) {
            request.action = CommandLineRequest::Action::Export;
            request.exportFormat =
                parser.value(exportOption) == "json" ? ExportFormat::Json : ExportFormat::Csv;
            request.exportInterface = parser.value(interfaceOption);
            request.hourly = parser.isSet(hourlyOption);
        } else if (parser.isSet(statusOption)) {
            request.action = CommandLineRequest::Action::Status;
            request.statusFormat =
                parser.value(statusOption) == "json" ? StatusFormat::Json : StatusFormat::Text;
            request.follow = parser.isSet(followOption);
        } else if (parser.isSet(quotaOption)) {
            request.action = CommandLineRequest::Action::Quota;
        } else if (parser.isSet(importOption)) {
            request.action = CommandLineRequest::Action::ImportVnstat;
            request.importSource = parser.value(importOption);
        } else if (parser.isSet(appsOption)) {
            request.action = CommandLineRequest::Action::Apps;
            request.appsFormat =
                parser.value(appsOption) == "json" ? AppsFormat::Json : AppsFormat::Text;
            request.appsSeconds = seconds;
        }
    }
    return request;
}

CommandLineRequest ParseCommandLineForUser(const QStringList& arguments, const QString& version) {
    const CommandLineRequest request = ParseCommandLine(arguments, version);
    if (request.action != CommandLineRequest::Action::ShowHelp &&
        request.action != CommandLineRequest::Action::UsageError) {
        return request;
    }
    // Only there to translate with: it knows the program by the name the usage shows, as the
    // parser names the program after the application's first argument.
    std::string name = ProgramName(arguments).toStdString();
    char* nameOnly[] = {name.data(), nullptr};
    int count = 1;
    const QCoreApplication core(count, nameOnly);
    const CTranslations translations;
    return ParseCommandLine(arguments, version);
}
