#pragma once

#include <QString>

#include <cstdio>
#include <deque>
#include <functional>
#include <utility>

#include "core/CObservable.h"
#include "platform/QtLocaleTexts.h"

class CSaveFailureNotice;
class CSystemTray;

// Tells the user when the data files cannot be saved: at the first failure of the run one line
// on standard error, and one tray message as soon as there is a tray to show it (without a tray,
// standard error alone). Other trouble with the data files (one that could not be read, say) is
// told the same way through Tell. Never a dialog: the graph keeps moving.
class CSaveFailureAlert final : public CObserver {
public:
    // Shows a tray message; false when there is no tray to show it in now.
    using TrayMessage = std::function<bool(const QString& title, const QString& text)>;

    // The tray message's title, in English.
    static constexpr const char* kTitle =
        QT_TRANSLATE_NOOP("CSaveFailureAlert", "Tallyglass cannot save its data");

    explicit CSaveFailureAlert(CSaveFailureNotice& notice, std::FILE* errorStream = stderr);
    CSaveFailureAlert(const CSaveFailureAlert&) = delete;
    CSaveFailureAlert& operator=(const CSaveFailureAlert&) = delete;

    // Where tray messages go from now on; a message still owed is shown at once.
    void SetTrayMessage(TrayMessage show);

    // One line on standard error now, and a tray message with `title` as soon as there is a
    // tray. Each call is told once.
    void Tell(const QString& title, const QString& text);

    void Update() override;

    // Whether a tray message has been shown, and none is still owed.
    bool TrayMessageShown() const { return shown_ > 0 && owed_.empty(); }

private:
    void ShowOwedMessages();

    CSaveFailureNotice& notice_;
    std::FILE* errorStream_;
    QtLocaleTexts texts_;  // the user's language
    TrayMessage trayMessage_;
    std::deque<std::pair<QString, QString>> owed_;  // title and text, oldest first
    int shown_ = 0;
    CScopedObservation observation_;  // last: it detaches before anything else goes
};

// Tray messages through `tray`'s icon, while the desktop has a tray; false once `tray` is gone.
CSaveFailureAlert::TrayMessage TrayMessageOf(CSystemTray& tray);
