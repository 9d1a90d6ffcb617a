#include "tray/CBusMenu.h"

#include <QAction>
#include <QActionEvent>
#include <QActionGroup>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <utility>

namespace {

// "&Settings" as dbusmenu writes mnemonics: "_Settings"; a literal "&&" is "&", "_" is "__".
QString MenuLabel(const QString& text) {
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == '&') {
            if (i + 1 < text.size() && text.at(i + 1) == '&') {
                label += '&';
                ++i;
            } else {
                label += '_';
            }
        } else if (c == '_') {
            label += "__";
        } else {
            label += c;
        }
    }
    return label;
}

}  // namespace

// The interface on the bus; the menu model above answers.
class BusMenuAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ Version)
    Q_PROPERTY(QString TextDirection READ TextDirection)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(QStringList IconThemePath READ IconThemePath)

public:
    explicit BusMenuAdaptor(CBusMenu& menu) : QDBusAbstractAdaptor(&menu), menu_(menu) {
        connect(&menu, &CBusMenu::LayoutChanged, this,
                [this](unsigned revision) { emit LayoutUpdated(revision, 0); });
    }

    uint Version() const { return 3; }
    QString TextDirection() const {
        return QGuiApplication::layoutDirection() == Qt::RightToLeft ? "rtl" : "ltr";
    }
    QString Status() const { return "normal"; }
    QStringList IconThemePath() const { return {}; }

public slots:
    uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                   MenuLayoutItem& layout) {
        menu_.Layout(parentId, recursionDepth, propertyNames, layout);
        return menu_.Revision();
    }
    MenuItemPropertiesList GetGroupProperties(const QList<int>& ids,
                                              const QStringList& propertyNames) {
        MenuItemPropertiesList list;
        for (int id : ids) {
            list << menu_.Properties(id, propertyNames);
        }
        return list;
    }
    QDBusVariant GetProperty(int id, const QString& name) {
        return QDBusVariant(menu_.Properties(id, {name}).properties.value(name));
    }
    void Event(int id, const QString& eventId, const QDBusVariant&, uint) {
        menu_.Event(id, eventId);
    }
    QList<int> EventGroup(const MenuEventList& events) {
        QList<int> unknown;
        for (const MenuEvent& event : events) {
            if (!menu_.Event(event.id, event.eventId)) {
                unknown << event.id;
            }
        }
        return unknown;
    }
    // The entries are read fresh at every question: nothing to prepare.
    bool AboutToShow(int) { return false; }
    QList<int> AboutToShowGroup(const QList<int>&, QList<int>& idErrors) {
        idErrors.clear();
        return {};
    }

signals:
    void LayoutUpdated(uint revision, int parent);
    void ItemsPropertiesUpdated(const MenuItemPropertiesList& updatedProps,
                                const MenuItemPropertyNamesList& removedProps);
    void ItemActivationRequested(int id, uint timestamp);

private:
    CBusMenu& menu_;
};

CBusMenu::CBusMenu(QMenu& menu) : menu_(&menu) {
    RegisterTrayBusTypes();
    new BusMenuAdaptor(*this);
    Watch(&menu);
}

void CBusMenu::Watch(QMenu* menu) {
    menu->installEventFilter(this);
}

bool CBusMenu::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionRemoved:
        case QEvent::ActionChanged:
            ScheduleChange();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

// A check, a text and an entry added often come together: the hosts hear of them once.
void CBusMenu::ScheduleChange() {
    if (std::exchange(changePending_, true)) {
        return;
    }
    QTimer::singleShot(0, this, [this] {
        changePending_ = false;
        emit LayoutChanged(++revision_);
    });
}

int CBusMenu::IdOf(QAction* action) {
    const auto found = ids_.constFind(action);
    if (found != ids_.constEnd()) {
        return found.value();
    }
    const int id = nextId_++;
    ids_.insert(action, id);
    actions_.insert(id, action);
    connect(action, &QObject::destroyed, this, [this, action, id] {
        ids_.remove(action);
        actions_.remove(id);
    });
    if (action->menu() != nullptr) {
        Watch(action->menu());
    }
    return id;
}

QMenu* CBusMenu::MenuOf(int id) const {
    if (id == 0) {
        return menu_;
    }
    const QPointer<QAction> action = actions_.value(id);
    return action ? action->menu() : nullptr;
}

bool CBusMenu::Layout(int id, int depth, const QStringList& names, MenuLayoutItem& layout) {
    if (id != 0 && !actions_.value(id)) {
        return false;
    }
    layout.id = id;
    layout.properties = PropertiesOf(id, names);
    layout.children.clear();
    QMenu* menu = MenuOf(id);
    if (menu == nullptr || depth == 0) {
        return true;
    }
    for (QAction* action : menu->actions()) {
        MenuLayoutItem child;
        Layout(IdOf(action), depth < 0 ? depth : depth - 1, names, child);
        layout.children << QVariant::fromValue(child);  // each sent as one variant
    }
    return true;
}

MenuItemProperties CBusMenu::Properties(int id, const QStringList& names) {
    return {id, PropertiesOf(id, names)};
}

QVariantMap CBusMenu::PropertiesOf(int id, const QStringList& names) const {
    QVariantMap all;
    if (id == 0) {
        all["children-display"] = QString("submenu");
    } else if (const QPointer<QAction> action = actions_.value(id); action) {
        if (action->isSeparator()) {
            all["type"] = QString("separator");
        } else {
            all["label"] = MenuLabel(action->text());
            if (action->menu() != nullptr) {
                all["children-display"] = QString("submenu");
            }
            if (action->isCheckable()) {
                const bool radio =
                    action->actionGroup() != nullptr && action->actionGroup()->isExclusive();
                all["toggle-type"] = QString(radio ? "radio" : "checkmark");
                all["toggle-state"] = action->isChecked() ? 1 : 0;
            }
        }
        // Only the values that differ from the protocol's defaults are sent.
        if (!action->isEnabled()) {
            all["enabled"] = false;
        }
        if (!action->isVisible()) {
            all["visible"] = false;
        }
    }
    if (names.isEmpty()) {
        return all;
    }
    QVariantMap named;
    for (const QString& name : names) {
        if (all.contains(name)) {
            named[name] = all[name];
        }
    }
    return named;
}

bool CBusMenu::Event(int id, const QString& eventId) {
    if (id != 0 && !actions_.value(id)) {
        return false;
    }
    if (eventId == QLatin1String("clicked") && id != 0) {
        QAction* action = actions_.value(id);
        if (action->isEnabled()) {
            QTimer::singleShot(0, action, [action] { action->trigger(); });
        }
    }
    return true;
}

#include "CBusMenu.moc"
