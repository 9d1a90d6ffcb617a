#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <map>
#include <memory>

#include "platform/MsClock.h"
#include "tray/CStatusNotifierItem.h"
#include "tray/CTrayActivation.h"
#include "tray/SpeedIcon.h"
#include "tray/TrayRules.h"

class QMenu;
class QWindow;

// The program's icon in the desktop's tray: its picture shows whether traffic flows, its tooltip
// the speeds, its menu is the graph window's menu, and activating it asks for the graph window
// to be hidden or brought back.
//
// A desktop without a tray is no error: the icon then waits for a tray to appear, hiding the
// window is refused, and the program runs with its window only. The picture and tooltip are kept
// here, so a tray host that restarts gets the current ones when the icon registers again.
//
// With the speeds face on a desktop whose tray speaks StatusNotifierItem, the icon is the
// program's own item on the bus, which also carries the speeds as a text label beside the
// picture; Qt's icon stands aside meanwhile, so the tray shows one icon either way.
//
// The tray host is another program and may hang: every question to the session bus is asked
// asynchronously, and what the answers said is kept here. Until the first answer the desktop
// counts as having no tray.
class CSystemTray : public QObject {
    Q_OBJECT
public:
    // While the window is hidden, the tray is looked for this often.
    static constexpr int kTrayCheckMs = 1000;
    // How long a notification stays up.
    static constexpr int kMessageMs = 10000;
    // A tray host that has not answered by then is taken at its word: a tray.
    static constexpr int kHostQueryTimeoutMs = 3000;

    CSystemTray();
    ~CSystemTray() override;

    // Puts the icon in the tray with `frameMenu`'s entries ("Settings" as the default entry),
    // the tip and the picture, and starts asking the desktop about its tray; TrayStateKnown
    // follows with the first answer.
    // With the speeds face, no icon is put up before that answer: it says whether the icon is
    // Qt's or our own item, and a desktop should not see the one replaced by the other.
    void Create(QMenu& frameMenu, const QString& tip, int iconId,
                TrayFace face = TrayFace::Picture);

    // One of the four pictures, 117, 119, 120 or 121. An unknown number fails and leaves the
    // picture as it was. Only a change reaches the tray host.
    bool SetIconFromResource(int resourceId);
    // The latest speeds (KB/s) and the face to show. With the speeds face the icon shows them as
    // two short lines, download over upload, in `colours`; the picture set by
    // SetIconFromResource waits meanwhile and comes back with the picture face. The icon is
    // redrawn, and the tray host told, only when a text, a colour or the face changed.
    void ShowRates(double downloadRate, double uploadRate, TrayFace face,
                   const SpeedIconColours& colours);
    TrayFace Face() const { return face_; }
    // Our own item on the bus, published while the speeds face shows on a StatusNotifierItem
    // tray (null before Create).
    const CStatusNotifierItem* Item() const { return item_.get(); }
    // The two lines the speeds face shows now (figure-space padded); empty before the first.
    const QString& DownloadText() const { return downloadText_; }
    const QString& UploadText() const { return uploadText_; }

    // The tooltip, cut to 127 bytes on a character boundary. Only a change reaches the host.
    bool SetTip(const QString& text);

    // Adds the icon to the tray again (after removing it if it is there).
    bool Add();
    // Takes the icon out of the tray; true when it is out.
    bool Remove();

    // Handles one activation of the icon: a toggle is asked for with ToggleRequested. False for
    // reasons this tray does not know.
    bool OnTrayMessage(QSystemTrayIcon::ActivationReason reason);

    // Hides `window` into the tray; refused (false) when there is no tray to bring it back from.
    bool HideToTray(QWindow& window);
    // Shows `window` again, in front and active.
    void RestoreFromTray(QWindow& window);

    // A desktop notification from the icon (the desktop's notification service shows it). False,
    // with nothing shown, while the icon is not in a tray.
    bool ShowMessage(const QString& title, const QString& text,
                     QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::Information);

    // Whether the desktop has a tray to show the icon in, as last heard; false until the desktop
    // has first answered. Never waits for the desktop.
    bool TrayAvailable() const;
    // The desktop has answered at least once: the host kind and TrayAvailable are its answers.
    bool IsTrayStateKnown() const { return known_; }

    CTrayActivation::Host HostKind() const { return activation_.HostKind(); }
    int IconId() const { return iconId_; }
    const QString& Tip() const { return tip_; }
    QSystemTrayIcon* Icon() const { return icon_.get(); }
    QMenu* Menu() const { return menu_.get(); }

signals:
    void ToggleRequested();
    // Once, when the desktop's first answers are in.
    void TrayStateKnown(bool available);
    // While a window is hidden: the result of each periodic look for the tray.
    void TrayChecked(bool available);

private slots:
    // The tray host says a panel has come or gone (a D-Bus signal, connected by name).
    void OnHostChanged();

private:
    void LoadIcons();
    void WatchTrayHost();
    void OnFirstWatcherAnswer(bool registered);
    void OnWatcherPresence(bool registered);
    void AskHost();
    void MarkKnown();
    void OnTrayCheck();
    // Shows the icon the face and the host call for: our own item or Qt's, never both.
    void ApplyPresence();
    QList<QImage> SpeedPictures() const;
    void Notify(const QString& title, const QString& text);

    SteadyMsClock clock_;
    CTrayActivation activation_;
    CTrayActivation itemActivation_;  // for our own item
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<CStatusNotifierItem> item_;  // uses the menu: goes first
    std::map<int, QIcon> icons_;
    QTimer trayCheck_;
    int iconId_ = 0;
    QString tip_;
    bool removed_ = true;
    TrayFace face_ = TrayFace::Picture;
    QString downloadText_;
    QString uploadText_;
    SpeedIconColours speedColours_;

    // What the session bus said last.
    bool known_ = false;
    bool watcherRegistered_ = false;
    bool hostRegistered_ = false;
    bool hostQueryPending_ = false;
};
