#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "tray/TrayBusTypes.h"

class QAction;
class QMenu;

// A menu as a tray host reads it over the session bus (the com.canonical.dbusmenu interface): the
// host draws the entries itself and sends back which one was chosen, which triggers its action
// here. The menu stays the program's: its entries, their texts and checks are read when asked.
//
// Entry 0 is the menu itself; each action gets a number the first time it is listed and keeps it,
// so a host's numbers stay good while the menu changes.
class CBusMenu : public QObject {
    Q_OBJECT
public:
    explicit CBusMenu(QMenu& menu);

    // The entry `id` and `depth` levels below it (-1: all), with the named properties (all when
    // none are named). False for an unknown entry.
    bool Layout(int id, int depth, const QStringList& names, MenuLayoutItem& layout);
    MenuItemProperties Properties(int id, const QStringList& names);
    // Handles a host's event on an entry: "clicked" triggers the action once the call has been
    // answered (an action may open a dialog). False for an unknown entry.
    bool Event(int id, const QString& eventId);

    unsigned Revision() const { return revision_; }

signals:
    // The entries or their looks changed: hosts ask for the layout again.
    void LayoutChanged(unsigned revision);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IdOf(QAction* action);
    QMenu* MenuOf(int id) const;
    QVariantMap PropertiesOf(int id, const QStringList& names) const;
    void Watch(QMenu* menu);
    void ScheduleChange();

    QPointer<QMenu> menu_;
    QHash<QAction*, int> ids_;
    QHash<int, QPointer<QAction>> actions_;
    int nextId_ = 1;
    unsigned revision_ = 1;
    bool changePending_ = false;
};
