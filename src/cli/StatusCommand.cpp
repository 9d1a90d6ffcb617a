#include "cli/StatusCommand.h"

#include <cerrno>
#include <clocale>
#include <cstring>

#include "channel/CInstanceChannel.h"
#include "channel/MeterStatus.h"
#include "cli/CommandFiles.h"

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
        std::fprintf(err, "tallyglass: cannot write the status: %s\n", std::strerror(writeError));
        return kExitFailure;
    }
    switch (reply) {
        case CInstanceChannel::Reply::Answered:
            return kExitSuccess;
        case CInstanceChannel::Reply::NoMeter:
            std::fprintf(err, "No Tallyglass meter is running for %s.\n", dataFolder.c_str());
            break;
        case CInstanceChannel::Reply::NoAnswer:
            std::fprintf(err, "The Tallyglass meter running for %s did not answer.\n",
                         dataFolder.c_str());
            break;
        case CInstanceChannel::Reply::Ended:
            std::fprintf(err, "The Tallyglass meter running for %s has ended.\n",
                         dataFolder.c_str());
            break;
    }
    return kExitNoMeter;
}
