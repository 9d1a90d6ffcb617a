#include "tray/CStatusNotifierItem.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "tray/BusAnswers.h"
#include "tray/CBusMenu.h"

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
// RequestName's flag and answers.
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kNameExists = 3;
constexpr uint kAlreadyOwner = 4;
// A name still held by this process (an item of ours not yet gone) is skipped; past this many
// something else is wrong.
constexpr int kMaxNameTries = 8;
constexpr int kPreviousIconFileMs = 2000;
// The hosts that take the icon only as a file (Ayatana's) draw it 22 pixels high, scaling
// whatever they get; a picture drawn for that size keeps its digits sharp there.
constexpr int kNamedIconPixels = 22;

QDBusMessage BusCall(const char* method) {
    return QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, method);
}

void ReleaseName(const QString& name) {
    QDBusMessage release = BusCall("ReleaseName");
    release << name;
    QDBusConnection::sessionBus().asyncCall(release);
}

}  // namespace

// The org.kde.StatusNotifierItem interface; the item above holds what it answers.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ Category)
    Q_PROPERTY(QString Id READ Id)
    Q_PROPERTY(QString Title READ Title)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(int WindowId READ WindowId)
    Q_PROPERTY(QString IconThemePath READ Empty)
    Q_PROPERTY(QString IconName READ IconName)
    Q_PROPERTY(TrayPixmapList IconPixmap READ IconPixmap)
    Q_PROPERTY(QString OverlayIconName READ Empty)
    Q_PROPERTY(TrayPixmapList OverlayIconPixmap READ NoPictures)
    Q_PROPERTY(QString AttentionIconName READ Empty)
    Q_PROPERTY(TrayPixmapList AttentionIconPixmap READ NoPictures)
    Q_PROPERTY(QString AttentionMovieName READ Empty)
    Q_PROPERTY(TrayToolTip ToolTip READ ToolTip)
    Q_PROPERTY(bool ItemIsMenu READ ItemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ Menu)
    Q_PROPERTY(QString XAyatanaLabel READ XAyatanaLabel)
    Q_PROPERTY(QString XAyatanaLabelGuide READ XAyatanaLabelGuide)

public:
    explicit StatusNotifierItemAdaptor(CStatusNotifierItem& item)
        : QDBusAbstractAdaptor(&item), item_(item) {
        connect(&item, &CStatusNotifierItem::IconChanged, this,
                &StatusNotifierItemAdaptor::NewIcon);
        connect(&item, &CStatusNotifierItem::ToolTipChanged, this,
                &StatusNotifierItemAdaptor::NewToolTip);
        connect(&item, &CStatusNotifierItem::LabelChanged, this,
                &StatusNotifierItemAdaptor::XAyatanaNewLabel);
    }

    QString Category() const { return "ApplicationStatus"; }
    QString Id() const { return QCoreApplication::applicationName(); }
    QString Title() const {
        const QString name = QGuiApplication::applicationDisplayName();
        return name.isEmpty() ? Id() : name;
    }
    QString Status() const { return "Active"; }
    int WindowId() const { return 0; }
    QString Empty() const { return {}; }
    QString IconName() const { return item_.IconFileName(); }
    TrayPixmapList IconPixmap() const { return item_.Pictures(); }
    TrayPixmapList NoPictures() const { return {}; }
    TrayToolTip ToolTip() const { return {QString(), {}, item_.ToolTipText(), QString()}; }
    bool ItemIsMenu() const { return false; }
    QDBusObjectPath Menu() const { return QDBusObjectPath(CStatusNotifierItem::kMenuPath); }
    QString XAyatanaLabel() const { return item_.Label(); }
    QString XAyatanaLabelGuide() const { return item_.LabelGuide(); }

public slots:
    void Activate(int, int) { emit item_.Activated(QSystemTrayIcon::Trigger); }
    void SecondaryActivate(int, int) { emit item_.Activated(QSystemTrayIcon::MiddleClick); }
    // A host that does not read the menu over the bus asks for it to be shown here.
    void ContextMenu(int x, int y) {
        emit item_.Activated(QSystemTrayIcon::Context);
        QMenu& menu = item_.Menu();
        QTimer::singleShot(0, &menu, [&menu, x, y] { menu.popup(QPoint(x, y)); });
    }
    void Scroll(int, const QString&) {}

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);
    void XAyatanaNewLabel(const QString& label, const QString& guide);

private:
    CStatusNotifierItem& item_;
};

CStatusNotifierItem::CStatusNotifierItem(QMenu& menu)
    : menu_(menu), busMenu_(std::make_unique<CBusMenu>(menu)) {
    RegisterTrayBusTypes();
    new StatusNotifierItemAdaptor(*this);
    removePrevious_.setSingleShot(true);
    removePrevious_.setInterval(kPreviousIconFileMs);
    connect(&removePrevious_, &QTimer::timeout, this, [this] { iconFile_.RemovePrevious(); });
}

CStatusNotifierItem::~CStatusNotifierItem() {
    Withdraw();
}

void CStatusNotifierItem::Publish() {
    if (published_) {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Both are local to this connection: nothing is asked of the bus yet.
    if (!bus.isConnected() ||
        !bus.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors)) {
        return;
    }
    bus.registerObject(kMenuPath, busMenu_.get(), QDBusConnection::ExportAdaptors);
    published_ = true;
    nameTries_ = 0;
    WriteIconFile();
    RequestName();
}

void CStatusNotifierItem::RequestName() {
    if (instance_ == 0) {
        static int instances = 0;
        instance_ = ++instances;
    }
    const QString name = QString("org.kde.StatusNotifierItem-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(instance_);
    QDBusMessage request = BusCall("RequestName");
    request << name << kDoNotQueue;
    WhenAnswered(QDBusConnection::sessionBus().asyncCall(request), this,
                 [this, name](const QDBusPendingCall& call) {
                     const QDBusPendingReply<uint> reply(call);
                     const uint answer = reply.isValid() ? reply.value() : 0;
                     const bool owned = answer == kPrimaryOwner || answer == kAlreadyOwner;
                     if (!published_) {
                         if (owned) {
                             ReleaseName(name);  // withdrawn while the bus was answering
                         }
                     } else if (owned) {
                         ownedName_ = name;
                         RegisterWithWatcher();
                     } else if (answer == kNameExists && ++nameTries_ < kMaxNameTries) {
                         instance_ = 0;
                         RequestName();
                     }
                 });
}

void CStatusNotifierItem::RegisterWithWatcher() {
    if (!published_ || ownedName_.isEmpty()) {
        return;  // the name's answer registers
    }
    QDBusMessage registration = QDBusMessage::createMethodCall(
        kWatcherService, kWatcherPath, kWatcherService, "RegisterStatusNotifierItem");
    registration << ownedName_;
    QDBusConnection::sessionBus().asyncCall(registration);
}

void CStatusNotifierItem::Withdraw() {
    if (!published_) {
        return;
    }
    published_ = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kItemPath);
    bus.unregisterObject(kMenuPath);
    removePrevious_.stop();
    iconFile_.Clear();
    // The watcher forgets the item when its name leaves the bus.
    if (!ownedName_.isEmpty()) {
        ReleaseName(std::exchange(ownedName_, QString()));
    }
}

void CStatusNotifierItem::SetPictures(const QList<QImage>& pictures) {
    TrayPixmapList pixmaps;
    for (const QImage& picture : pictures) {
        pixmaps << TrayPixmapOf(picture);
    }
    const bool same =
        std::equal(pixmaps.begin(), pixmaps.end(), pictures_.begin(), pictures_.end(),
                   [](const TrayPixmap& a, const TrayPixmap& b) {
                       return a.width == b.width && a.height == b.height && a.argb == b.argb;
                   });
    if (!same) {
        pictures_ = std::move(pixmaps);
        const auto named = std::min_element(pictures.begin(), pictures.end(),
                                            [](const QImage& a, const QImage& b) {
                                                return std::abs(a.width() - kNamedIconPixels) <
                                                       std::abs(b.width() - kNamedIconPixels);
                                            });
        namedPicture_ = named == pictures.end() ? QImage() : *named;
        if (published_) {
            WriteIconFile();
        }
        emit IconChanged();
        if (published_) {
            removePrevious_.start();
        }
    }
}

void CStatusNotifierItem::WriteIconFile() {
    // A few kilobytes to a folder in memory: quick enough for this thread. Without the file the
    // hosts that read pictures still draw it.
    iconFile_.Write(namedPicture_);
}

void CStatusNotifierItem::SetToolTip(const QString& text) {
    if (text != toolTip_) {
        toolTip_ = text;
        emit ToolTipChanged();
    }
}

void CStatusNotifierItem::SetLabel(const QString& label, const QString& guide) {
    if (label != label_ || guide != guide_) {
        label_ = label;
        guide_ = guide;
        emit LabelChanged(label_, guide_);
    }
}

#include "CStatusNotifierItem.moc"
