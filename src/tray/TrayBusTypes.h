#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

// The structures a tray item and its menu send over the session bus, in the signatures tray
// hosts read. Call RegisterTrayBusTypes once before exporting anything that uses them.

// One picture of an icon: "(iiay)", ARGB32 in network byte order.
struct TrayPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using TrayPixmapList = QList<TrayPixmap>;

// A tooltip: "(sa(iiay)ss)", icon name, pictures, title, text.
struct TrayToolTip {
    QString iconName;
    TrayPixmapList pictures;
    QString title;
    QString text;
};

// A menu entry with its entries below it: "(ia{sv}av)", each child a variant of the same.
struct MenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QVariantList children;
};

// "(ia{sv})": one entry's properties.
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

// "(ias)": the properties an entry no longer has.
struct MenuItemPropertyNames {
    int id = 0;
    QStringList names;
};
using MenuItemPropertyNamesList = QList<MenuItemPropertyNames>;

// "(isvu)": one event of a group.
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data{QVariant(0)};  // a variant must hold something to have a signature
    uint timestamp = 0;
};
using MenuEventList = QList<MenuEvent>;

Q_DECLARE_METATYPE(TrayPixmap)
Q_DECLARE_METATYPE(TrayToolTip)
Q_DECLARE_METATYPE(MenuLayoutItem)
Q_DECLARE_METATYPE(MenuItemProperties)
Q_DECLARE_METATYPE(MenuItemPropertyNames)
Q_DECLARE_METATYPE(MenuEvent)

QDBusArgument& operator<<(QDBusArgument& argument, const TrayPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, TrayPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const TrayToolTip& tip);
const QDBusArgument& operator>>(const QDBusArgument& argument, TrayToolTip& tip);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuItemPropertyNames& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuItemPropertyNames& item);
QDBusArgument& operator<<(QDBusArgument& argument, const MenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, MenuEvent& event);

void RegisterTrayBusTypes();

// `image` as the bus carries it.
TrayPixmap TrayPixmapOf(const QImage& image);
