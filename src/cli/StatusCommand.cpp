#include "cli/StatusCommand.h"

#include <cerrno>
#include <clocale>
#include <cstring>

#include <QCoreApplication>

#include "channel/CInstanceChannel.h"
#include "channel/MeterStatus.h"
#include "cli/CommandFiles.h"

namespace {

// An error line in the user's language; the status lines themselves stay English for scripts.
void Tell(std::FILE* err, const QString& line) {
    std::fprintf(err, "%s\n", line.toLocal8Bit().constData());
}

}  // namespace

int RunStatus(const std::string& dataFolder, StatusFormat format, bool follow, std::FILE* out,
              std::FILE* err) {
    // Qt took the user's locale; scripts read our numbers with a "." in them.
    std::setlocale(LC_NUMERIC, "C");

    int writeError = 0;
    const auto print = [&](const MeterStatus& status) {
        const std::string line =
            format == StatusFormat::Json ? StatusJson(status) : StatusText(status) + "\n";
        if (!WriteAll(out, line)) {
            writeError = errno != 0 ? errno : EIO;
            return false;
        }
        return true;
    };

    const QString folder = QString::fromStdString(dataFolder);
    CInstanceChannel::Reply reply = CInstanceChannel::Reply::NoAnswer;
    if (follow) {
        reply = CInstanceChannel::FollowStatus(folder, kStatusTimeoutMs, kFollowSilenceMs, print);
    } else {
        MeterStatus status;
        reply = CInstanceChannel::AskForStatus(folder, kStatusTimeoutMs, status);
        if (reply == CInstanceChannel::Reply::Answered) {
            print(status);
        }
    }
    if (writeError != 0) {
        Tell(err,
             QCoreApplication::translate("StatusCommand", "tallyglass: cannot write the status: %1")
                 .arg(QString::fromLocal8Bit(std::strerror(writeError))));
        return kExitFailure;
    }
    switch (reply) {
        case CInstanceChannel::Reply::Answered:
            return kExitSuccess;
        case CInstanceChannel::Reply::NoMeter:
            Tell(err, QCoreApplication::translate("StatusCommand",
                                                  "No Tallyglass meter is running for %1.")
                          .arg(folder));
            break;
        case CInstanceChannel::Reply::NoAnswer:
            Tell(err, QCoreApplication::translate(
                          "StatusCommand", "The Tallyglass meter running for %1 did not answer.")
                          .arg(folder));
            break;
        case CInstanceChannel::Reply::Untrusted:
            std::fprintf(err,
                         "tallyglass: the socket for %s is not this user's alone: not asked.\n",
                         dataFolder.c_str());
            break;
        case CInstanceChannel::Reply::Ended:
            Tell(err, QCoreApplication::translate("StatusCommand",
                                                  "The Tallyglass meter running for %1 has ended.")
                          .arg(folder));
            break;
    }
    return kExitNoMeter;
}
