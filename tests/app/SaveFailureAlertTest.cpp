#include "app/CSaveFailureAlert.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "FakeLocaleTexts.h"
#include "persistence/CSaveFailureNotice.h"

namespace {

// A temporary file to write to, read back whole.
class CapturedStream {
public:
    CapturedStream() : file_(std::tmpfile()) {}
    ~CapturedStream() { std::fclose(file_); }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* File() const { return file_; }
    std::string Text() const {
        std::fflush(file_);
        std::rewind(file_);
        std::string text;
        for (int c; (c = std::fgetc(file_)) != EOF;) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

private:
    std::FILE* file_;
};

TEST(SaveFailureAlert, OneLineAtOnceAndOneTrayMessageWhenATrayIsThere) {
    CSaveFailureNotice notice;
    CapturedStream err;
    bool trayThere = false;
    QStringList shown;
    const auto tray = [&](const QString& title, const QString& text) {
        if (trayThere) {
            shown << title + "|" + text;
        }
        return trayThere;
    };
    {
        CSaveFailureAlert alert(notice, err.File());
        notice.Report({"/data/Tallyglass", "stats.dat", ENOSPC});  // before any tray is known
        notice.Report({"/data/Tallyglass", "settings.dat", EROFS});
        alert.SetTrayMessage(tray);  // a desktop without a tray: standard error alone
        EXPECT_TRUE(shown.isEmpty());

        trayThere = true;  // a tray appears, then comes again
        alert.SetTrayMessage(tray);
        alert.SetTrayMessage(tray);
        EXPECT_TRUE(alert.TrayMessageShown());
    }
    notice.Report({"/data/Tallyglass", "stats.dat", ENOSPC});  // the alert has detached

    const std::string message = notice.Message(FakeLocaleTexts());
    EXPECT_EQ(err.Text(), "tallyglass: " + message + "\n");
    EXPECT_NE(message.find(std::string("stats.dat in /data/Tallyglass: ") + std::strerror(ENOSPC)),
              std::string::npos);
    EXPECT_EQ(shown, QStringList{QString(CSaveFailureAlert::kTitle) + "|" +
                                 QString::fromStdString(message)});
}

TEST(SaveFailureAlert, OtherTroubleIsToldAtOnceAndInTheTrayInItsTurn) {
    CSaveFailureNotice notice;
    CapturedStream err;
    QStringList shown;
    CSaveFailureAlert alert(notice, err.File());
    alert.Tell("Hourly", "kept aside");  // before the tray
    notice.Report({"/data/Tallyglass", "stats.dat", ENOSPC});
    EXPECT_FALSE(alert.TrayMessageShown());
    alert.SetTrayMessage([&](const QString& title, const QString& text) {
        shown << title + "|" + text;
        return true;
    });
    const QString saveMessage = QString::fromStdString(notice.Message(FakeLocaleTexts()));
    EXPECT_EQ(shown, (QStringList{"Hourly|kept aside",
                                  QString(CSaveFailureAlert::kTitle) + "|" + saveMessage}));
    EXPECT_EQ(err.Text(),
              "tallyglass: kept aside\ntallyglass: " + saveMessage.toStdString() + "\n");
}

}  // namespace
