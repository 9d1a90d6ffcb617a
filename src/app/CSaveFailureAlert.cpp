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
    ShowOwedMessages();
}

void CSaveFailureAlert::Tell(const QString& title, const QString& text) {
    std::fprintf(errorStream_, "tallyglass: %s\n", text.toUtf8().constData());
    std::fflush(errorStream_);
    owed_.emplace_back(title, text);
    ShowOwedMessages();
}

void CSaveFailureAlert::Update() {
    // The notice calls once per run, at its first failure.
    Tell(QCoreApplication::translate("CSaveFailureAlert", kTitle),
         QString::fromStdString(notice_.Message(texts_)));
}

void CSaveFailureAlert::ShowOwedMessages() {
    while (trayMessage_ && !owed_.empty() &&
           trayMessage_(owed_.front().first, owed_.front().second)) {
        owed_.pop_front();
        ++shown_;
    }
}

CSaveFailureAlert::TrayMessage TrayMessageOf(CSystemTray& tray) {
    return [tray = QPointer<CSystemTray>(&tray)](const QString& title, const QString& text) {
        // Until a tray is known to be there, wait: the message is shown once one is.
        return !tray.isNull() && tray->TrayAvailable() &&
               tray->ShowMessage(title, text, QSystemTrayIcon::Warning);
    };
}
