#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLineRequest::Action;

TEST(CommandLine, EachArgumentListAsksForOneThing) {
    struct Case {
        QStringList arguments;  // after the program's name
        Action action;
        QString dataFolder;
    };
    const Case cases[] = {
        {{}, Action::Run, ""},
        {{"--data-dir", "/srv/tg"}, Action::Run, "/srv/tg"},
        {{"--data-dir=/srv/tg"}, Action::Run, "/srv/tg"},
        {{"--data-dir", "/a", "--data-dir", "/b"}, Action::Run, "/b"},
        {{"--help"}, Action::ShowHelp, ""},
        {{"-h"}, Action::ShowHelp, ""},
        {{"--data-dir", "/srv/tg", "--help"}, Action::ShowHelp, ""},
        {{"--version"}, Action::ShowVersion, ""},
        {{"--help", "--version"}, Action::ShowHelp, ""},
        {{"--export=csv"}, Action::Export, ""},
        {{"--export", "json", "--data-dir", "/srv/tg"}, Action::Export, "/srv/tg"},
        {{"--export=xml"}, Action::UsageError, ""},
        {{"--export"}, Action::UsageError, ""},
        {{"--status"}, Action::Status, ""},
        {{"--status=json", "--follow", "--data-dir", "/srv/tg"}, Action::Status, "/srv/tg"},
        {{"--status=xml"}, Action::UsageError, ""},
        {{"--status", "json"}, Action::UsageError, ""},  // the format goes after "="
        {{"--follow"}, Action::UsageError, ""},
        {{"--status", "--export=csv"}, Action::UsageError, ""},
        {{"--quota"}, Action::Quota, ""},
        {{"--quota", "--data-dir", "/srv/tg"}, Action::Quota, "/srv/tg"},
        {{"--quota", "--export=csv"}, Action::UsageError, ""},
        {{"--quota=yes"}, Action::UsageError, ""},
        {{"--quota", "--status"}, Action::UsageError, ""},
        {{"--export=csv", "--interface", "eth0", "--hourly"}, Action::Export, ""},
        {{"--interface", "eth0"}, Action::UsageError, ""},
        {{"--hourly"}, Action::UsageError, ""},
        {{"--export=csv", "--interface="}, Action::UsageError, ""},
        {{"--import-vnstat", "-", "--data-dir", "/srv/tg"}, Action::ImportVnstat, "/srv/tg"},
        {{"--import-vnstat=/tmp/v.json"}, Action::ImportVnstat, ""},
        {{"--import-vnstat"}, Action::UsageError, ""},
        {{"--import-vnstat=-", "--export=csv"}, Action::UsageError, ""},
        {{"--import-vnstat=-", "--quota"}, Action::UsageError, ""},
        {{"--import-vnstat=-", "--apps"}, Action::UsageError, ""},
        {{"--apps"}, Action::Apps, ""},
        {{"--apps=json", "--seconds", "5", "--data-dir", "/srv/tg"}, Action::Apps, "/srv/tg"},
        {{"--apps=xml"}, Action::UsageError, ""},
        {{"--apps", "--quota"}, Action::UsageError, ""},
        {{"--seconds", "5"}, Action::UsageError, ""},
        {{"--apps", "--seconds", "0"}, Action::UsageError, ""},
        {{"--apps", "--seconds", "two"}, Action::UsageError, ""},
        // Usage errors win over everything, help included.
        {{"--bogus"}, Action::UsageError, ""},
        {{"--help", "--bogus"}, Action::UsageError, ""},
        {{"--data-dir"}, Action::UsageError, ""},
        {{"--data-dir", ""}, Action::UsageError, ""},
        {{"stray"}, Action::UsageError, ""},
        // Qt's own options are not taken: a display is chosen with DISPLAY.
        {{"-platform", "offscreen"}, Action::UsageError, ""},
    };
    for (const Case& c : cases) {
        const QStringList arguments = QStringList{"/usr/bin/tallyglass"} + c.arguments;
        const CommandLineRequest request = ParseCommandLine(arguments, "9.8.7");
        const std::string shown = arguments.join(' ').toStdString();
        EXPECT_EQ(request.action, c.action) << shown;
        EXPECT_EQ(request.dataFolder, c.dataFolder) << shown;
    }
}

TEST(CommandLine, TextsNameTheProgramItsOptionsAndTheError) {
    const CommandLineRequest help = ParseCommandLine({"/usr/bin/tallyglass", "--help"}, "9.8.7");
    EXPECT_TRUE(help.text.startsWith("Usage: tallyglass [options]\n")) << help.text.toStdString();
    for (const char* option :
         {"--help", "--version", "--data-dir <dir>", "--export <format>", "--quota"}) {
        EXPECT_TRUE(help.text.contains(option)) << option;
    }
    EXPECT_FALSE(help.text.contains("--help-all"));

    EXPECT_EQ(ParseCommandLine({"tallyglass", "--version"}, "9.8.7").text, "Tallyglass 9.8.7\n");

    const CommandLineRequest error = ParseCommandLine({"./tallyglass", "--bogus"}, "9.8.7");
    EXPECT_TRUE(error.text.startsWith("tallyglass: Unknown option 'bogus'.\nUsage: tallyglass"))
        << error.text.toStdString();
    EXPECT_TRUE(error.text.endsWith(help.text));
    // Worded again for the user, with an application object of its own (there is no catalogue
    // beside the test): the same English, the program named as before.
    for (const char* argument : {"--help", "--bogus"}) {
        const QStringList arguments{"/usr/bin/tallyglass", argument};
        EXPECT_EQ(ParseCommandLineForUser(arguments, "9.8.7").text,
                  ParseCommandLine(arguments, "9.8.7").text)
            << argument;
    }

    EXPECT_EQ(ParseCommandLine({"tallyglass", "--export=json"}, "1").exportFormat,
              ExportFormat::Json);
    EXPECT_EQ(ParseCommandLine({"tallyglass", "--export=csv"}, "1").exportFormat,
              ExportFormat::Csv);
    const CommandLineRequest hours =
        ParseCommandLine({"tallyglass", "--export=json", "--hourly", "--interface=wlan0"}, "1");
    EXPECT_TRUE(hours.hourly);
    EXPECT_EQ(hours.exportInterface, "wlan0");
    EXPECT_EQ(ParseCommandLine({"tallyglass", "--import-vnstat", "-"}, "1").importSource, "-");
}

TEST(CommandLine, StatusTakesItsFormatAndFollow) {
    struct Case {
        QStringList arguments;
        StatusFormat format;
        bool follow;
    };
    const Case cases[] = {
        {{"--status"}, StatusFormat::Text, false},
        {{"--status=text"}, StatusFormat::Text, false},
        {{"--status=json"}, StatusFormat::Json, false},
        {{"--follow", "--status=json"}, StatusFormat::Json, true},
        {{"--status", "--follow"}, StatusFormat::Text, true},
    };
    for (const Case& c : cases) {
        const CommandLineRequest request =
            ParseCommandLine(QStringList{"tallyglass"} + c.arguments, "1");
        const std::string shown = c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.action, Action::Status) << shown;
        EXPECT_EQ(request.statusFormat, c.format) << shown;
        EXPECT_EQ(request.follow, c.follow) << shown;
    }
    const CommandLineRequest help = ParseCommandLine({"tallyglass", "--help"}, "1");
    EXPECT_TRUE(help.text.contains("--status <text|json>")) << help.text.toStdString();
    EXPECT_TRUE(help.text.contains("--follow")) << help.text.toStdString();
}

}  // namespace
