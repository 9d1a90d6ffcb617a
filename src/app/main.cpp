#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "app/CFileIconEngine.h"
#include "app/CSignalBridge.h"
#include "app/CTrafficApp.h"
#include "app/XDisplay.h"
#include "channel/CInstanceChannel.h"
#include "cli/AppsCommand.h"
#include "cli/CommandLine.h"
#include "cli/ExportCommand.h"
#include "cli/ImportCommand.h"
#include "cli/QuotaCommand.h"
#include "cli/StatusCommand.h"
#include "persistence/CInstanceLock.h"
#include "persistence/CQuotaFile.h"
#include "persistence/CSettingsFile.h"
#include "persistence/CTrafficHistory.h"
#include "persistence/CWebStatsFile.h"
#include "persistence/TemporaryFiles.h"
#include "platform/CTranslations.h"
#include "platform/Folders.h"
#include "platform/HeapRelease.h"
#include "platform/LocalZone.h"
#include "platform/QtLocaleTexts.h"
#include "platform/UtcClock.h"
#include "quota/CQuotaEarlyWarning.h"
#include "webstats/CWebStatsPublisher.h"
#include "webstats/WebStatsUpload.h"

namespace {

// The files we write atomically, whose temporary copies a crash can leave behind.
// (A keepsake of a damaged file is written through a temporary of the file it keeps.)
constexpr std::string_view kWrittenFiles[] = {
    CTrafficHistory::kFileName,    kSettingsFileName, kQuotaFileName,
    CQuotaEarlyWarning::kFileName, kWebStatsFileName, kLocalPageFileName};

// How long a later start waits for the running meter, which may itself be starting.
constexpr int kHandOverTimeoutMs = 10000;
// By then the first frames are drawn and start-up's passing allocations are freed.
constexpr int kStartUpOverMs = 5000;

QStringList Arguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

void PrintLine(std::FILE* stream, const std::string& line) {
    std::fprintf(stream, "%s\n", line.c_str());
}

// Another meter runs on this data folder: it shows its window and this start ends.
int HandOver(int argc, char** argv, const std::string& dataFolder) {
    CSignalBridge::ReleaseTermination();  // nothing to save here: Ctrl+C just ends the wait
    QCoreApplication core(argc, argv);
    const CTranslations translations;
    const QString folder = QString::fromStdString(dataFolder);
    if (CInstanceChannel::AskToShow(folder, kHandOverTimeoutMs)) {
        PrintLine(stderr, QCoreApplication::translate(
                              "main",
                              "Tallyglass is already running with the data folder %1; its "
                              "window is shown.")
                              .arg(folder)
                              .toStdString());
        return kExitSuccess;
    }
    PrintLine(stderr, QCoreApplication::translate(
                          "main",
                          "Tallyglass is already running with the data folder %1, but it did "
                          "not answer.")
                          .arg(folder)
                          .toStdString());
    return kExitFailure;
}

// Our own pictures of the application icon, for a desktop whose icon theme lacks it (the build
// tree, an install outside the theme's folders). Read when a window is made, not kept.
QIcon AppIcon() {
    return QIcon(
        new CFileIconEngine(":/app/tallyglass-%1.png", {16, 22, 24, 32, 48, 64, 128, 256}));
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything that takes time: a SIGTERM from here on ends the run in order.
    CSignalBridge::CatchTermination();
    // Before Qt and Mesa allocate: their large passing buffers are then unmapped when freed
    // instead of staying resident in the heap.
    FixHeapThresholds();

    const CommandLineRequest request =
        ParseCommandLineForUser(Arguments(argc, argv), TALLYGLASS_VERSION);
    switch (request.action) {
        case CommandLineRequest::Action::ShowHelp:
        case CommandLineRequest::Action::ShowVersion:
            std::fputs(request.text.toLocal8Bit().constData(), stdout);
            return kExitSuccess;
        case CommandLineRequest::Action::UsageError:
            std::fputs(request.text.toLocal8Bit().constData(), stderr);
            return kExitUsage;
        case CommandLineRequest::Action::Export: {
            SystemLocalClock clock;
            if (request.hourly || !request.exportInterface.isEmpty()) {
                const QCoreApplication core(argc, argv);  // to translate the error lines with
                const CTranslations translations;
                return RunStoreExport(ResolveDataFolder(request.dataFolder.toStdString()),
                                      request.exportFormat, request.exportInterface.toStdString(),
                                      request.hourly, SystemLocalZone(), clock.Today(),
                                      QtLocaleTexts(), stdout, stderr);
            }
            return RunExport(ResolveDataFolder(request.dataFolder.toStdString()),
                             request.exportFormat, clock.Today(), stdout, stderr);
        }
        case CommandLineRequest::Action::Status: {
            CSignalBridge::ReleaseTermination();  // nothing to save: Ctrl+C just ends it
            // A reader that goes away is told by a failed write, not by a signal.
            std::signal(SIGPIPE, SIG_IGN);
            QCoreApplication core(argc, argv);
            const CTranslations translations;  // for the error lines
            return RunStatus(ResolveDataFolder(request.dataFolder.toStdString()),
                             request.statusFormat, request.follow, stdout, stderr);
        }
        case CommandLineRequest::Action::Quota: {
            SystemLocalClock clock;
            const QCoreApplication core(argc, argv);  // to translate the error lines with
            const CTranslations translations;
            return RunQuota(ResolveDataFolder(request.dataFolder.toStdString()), clock,
                            QtLocaleTexts(), stdout, stderr);
        }
        case CommandLineRequest::Action::ImportVnstat: {
            const QCoreApplication core(argc, argv);  // to translate the lines with
            const CTranslations translations;
            return RunImportVnstat(ResolveDataFolder(request.dataFolder.toStdString()),
                                   request.importSource.toLocal8Bit().toStdString(), STDIN_FILENO,
                                   SystemLocalZone(), SystemUtcClock().NowUtc(), QtLocaleTexts(),
                                   stdout, stderr);
        }
        case CommandLineRequest::Action::Apps: {
            CSignalBridge::ReleaseTermination();      // nothing to save: Ctrl+C just ends it
            const QCoreApplication core(argc, argv);  // to translate the error lines with
            const CTranslations translations;
            return RunApps(ResolveDataFolder(request.dataFolder.toStdString()), request.appsFormat,
                           request.appsSeconds, QtLocaleTexts(), stdout, stderr, [](int ms) {
                               std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                           });
        }
        case CommandLineRequest::Action::Run:
            break;
    }
    // A status client that goes away in the middle of an answer must not end the meter.
    std::signal(SIGPIPE, SIG_IGN);

    // Qt would abort with a long message; one line says what is missing.
    std::optional<CXServerProbe> xProbe;
    if (UseXPlatform() && !xProbe.emplace().Reachable()) {
        const QCoreApplication core(argc, argv);  // to translate with
        const CTranslations translations;
        PrintLine(stderr, NoXServerMessage());
        return kExitFailure;
    }

    // One meter per data folder. A folder that cannot be locked (read-only, say) runs unlocked:
    // nothing can be saved there anyway, and the user is told so.
    const std::string dataFolder = ResolveDataFolder(request.dataFolder.toStdString());
    CInstanceLock lock;
    if (lock.Acquire(dataFolder) == CInstanceLock::Result::HeldElsewhere) {
        return HandOver(argc, argv, dataFolder);
    }
    if (lock.Held()) {
        RemoveLeftoverTemporaries(dataFolder, kWrittenFiles);
    }

    // With Mesa's software rasteriser, worker threads cost more in hand-offs than they save on a
    // window this small: render on our own thread unless the user says otherwise.
    setenv("LP_NUM_THREADS", "0", 0);
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tallyglass");
    QApplication::setApplicationVersion(TALLYGLASS_VERSION);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setDesktopFileName("tallyglass");
    QApplication::setWindowIcon(QIcon::fromTheme("tallyglass", AppIcon()));
    xProbe.reset();  // Qt has its own connection now

    CTrafficApp app(dataFolder);
    if (lock.Held()) {
        app.ListenForLaterStarts();
    }
    if (!app.InitInstance()) {
        return kExitFailure;
    }
    // Start-up frees much on its way (font lookups, glyph pictures, the first frames' shader
    // compiling); once it is over, what it left free in the heap goes back.
    QTimer::singleShot(kStartUpOverMs, [] { ReleaseFreeHeap(); });
    const int code = app.Run();  // everything is saved on the way out
    if (CWebStatsPublisher::WorkersRunning() > 0) {
        // An upload cut loose may still be inside the network library, whose exit handlers
        // would pull its state away under it: leave without them.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
