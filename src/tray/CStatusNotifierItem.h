#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <memory>

#include "tray/CTrayIconFile.h"
#include "tray/TrayBusTypes.h"

class CBusMenu;
class QMenu;

// The tray icon as this program's own StatusNotifierItem on the session bus, for what Qt's icon
// cannot carry: a text label beside the picture ("XAyatanaLabel"), which GNOME's and Ayatana's
// panels draw, with the widest text expected ("XAyatanaLabelGuide") so the panel keeps its
// room. The menu goes with it over the bus. The picture also goes as a file named in IconName,
// for the hosts that draw nothing else.
//
// Publishing and withdrawing never wait for the bus: the name is asked for and the watcher told
// asynchronously, and an answer that comes after a withdrawal gives the name back.
class CStatusNotifierItem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kItemPath = "/StatusNotifierItem";
    static constexpr const char* kMenuPath = "/TrayMenu";

    explicit CStatusNotifierItem(QMenu& menu);
    ~CStatusNotifierItem() override;

    // Puts the item and its menu on the bus, takes a name and registers with the watcher.
    void Publish();
    // Takes the item off the bus and gives its name back.
    void Withdraw();
    bool Published() const { return published_; }
    // Tells the watcher of the item again (a watcher that restarted has forgotten it).
    void RegisterWithWatcher();
    // The bus name the item has, once the bus has given it.
    const QString& ServiceName() const { return ownedName_; }

    // Each change is a signal to the hosts; the same values again send nothing.
    void SetPictures(const QList<QImage>& pictures);
    void SetToolTip(const QString& text);
    void SetLabel(const QString& label, const QString& guide);

    const TrayPixmapList& Pictures() const { return pictures_; }
    // The file of the picture nearest the size file-only hosts draw, while the item is published;
    // empty when it could not be written.
    const QString& IconFileName() const { return iconFile_.Path(); }
    const QString& ToolTipText() const { return toolTip_; }
    const QString& Label() const { return label_; }
    const QString& LabelGuide() const { return guide_; }
    QMenu& Menu() const { return menu_; }

signals:
    // A host's click, middle click or request for the menu, as Qt's icon reports them.
    void Activated(QSystemTrayIcon::ActivationReason reason);
    // What the hosts are told; relayed by the bus interface.
    void IconChanged();
    void ToolTipChanged();
    void LabelChanged(const QString& label, const QString& guide);

private:
    void RequestName();
    void WriteIconFile();

    QMenu& menu_;
    std::unique_ptr<CBusMenu> busMenu_;
    bool published_ = false;
    int instance_ = 0;
    int nameTries_ = 0;
    QString ownedName_;
    TrayPixmapList pictures_;
    QImage namedPicture_;
    CTrayIconFile iconFile_;
    // The file before stays a moment after the new one is announced: a host that read its name
    // just before may still be loading it.
    QTimer removePrevious_;
    QString toolTip_;
    QString label_;
    QString guide_;
};
