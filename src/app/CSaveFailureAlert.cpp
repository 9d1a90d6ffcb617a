#include "app/CSaveFailureAlert.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSystemTrayIcon>

#include <utility>

#include "persistence/CSaveFailureNotice.h"
#include "tray/CSystemTray.h"

CSaveFailureAlert::CSaveFailureAlert(CSaveFailureNotice& notice, std::FILE* errorStream)
    : notice_(notice), errorStream_(errorStream), observation_(notice, *this) {}

void CSaveFailureAlert::SetTrayMessage(TrayMessage show) {
    trayMessage_ = std::move(show);
    if (notice_.HasFailed()) {
        ShowTrayMessage();
    }
}

void CSaveFailureAlert::Update() {
    // The notice calls once per run, at its first failure.
    std::fprintf(errorStream_, "tallyglass: %s\n", notice_.Message(texts_).c_str());
    std::fflush(errorStream_);
    ShowTrayMessage();
}

void CSaveFailureAlert::ShowTrayMessage() {
    if (trayMessageShown_ || !trayMessage_) {
        return;
    }
    trayMessageShown_ = trayMessage_(QCoreApplication::translate("CSaveFailureAlert", kTitle),
                                     QString::fromStdString(notice_.Message(texts_)));
}

CSaveFailureAlert::TrayMessage TrayMessageOf(CSystemTray& tray) {
    return [tray = QPointer<CSystemTray>(&tray)](const QString& title, const QString& text) {
        // Until a tray is known to be there, wait: the message is shown once one is.
        return !tray.isNull() && tray->TrayAvailable() &&
               tray->ShowMessage(title, text, QSystemTrayIcon::Warning);
    };
}
