#include "tray/CSystemTray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QWindow>

#include "tray/TrayRules.h"

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr int kIconSizes[] = {16, 22, 24, 32};
constexpr int kIconIds[] = {kTrayIconIdle, kTrayIconDownUp, kTrayIconUp, kTrayIconDown};

bool WatcherRegistered() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* busInterface = bus.isConnected() ? bus.interface() : nullptr;
    return busInterface != nullptr && busInterface->isServiceRegistered(kWatcherService).value();
}

// A watcher alone shows nothing: some panel must have registered as the host that draws the
// items. Only a plain "no" counts; a watcher that does not say is taken at its word.
bool StatusNotifierHostPresent() {
    if (!WatcherRegistered()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, "/StatusNotifierWatcher",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString(kWatcherService) << QString("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return true;
    }
    const QVariant value = reply.arguments().at(0).value<QDBusVariant>().variant();
    return value.typeId() != QMetaType::Bool || value.toBool();
}

}  // namespace

// The icon pictures live in this library; a static library's resources need naming once (outside
// any namespace).
static void InitTrayResources() {
    Q_INIT_RESOURCE(tray_icons);
}

CSystemTray::CSystemTray() : activation_(CTrayActivation::Host::XEmbed, 0) {
    trayCheck_.setInterval(kTrayCheckMs);
    connect(&trayCheck_, &QTimer::timeout, this, [this] { emit TrayChecked(TrayAvailable()); });
}

CSystemTray::~CSystemTray() {
    Remove();
}

CTrayActivation::Host CSystemTray::DetectHost() {
    // The same rule Qt follows once, at its first look for a tray: on X a registered
    // StatusNotifierWatcher means the D-Bus protocol, otherwise XEmbed; elsewhere D-Bus only.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return CTrayActivation::Host::StatusNotifier;
    }
    return WatcherRegistered() ? CTrayActivation::Host::StatusNotifier
                               : CTrayActivation::Host::XEmbed;
}

void CSystemTray::LoadIcons() {
    InitTrayResources();
    for (int id : kIconIds) {
        QIcon icon;
        for (int size : kIconSizes) {
            icon.addFile(QString(":/tray/tray%1-%2.png").arg(id).arg(size), QSize(size, size));
        }
        icons_[id] = icon;
    }
}

bool CSystemTray::Create(QMenu& frameMenu, const QString& tip, int iconId) {
    activation_ = CTrayActivation(
        DetectHost(),
        static_cast<std::uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval()));
    LoadIcons();
    icon_ = std::make_unique<QSystemTrayIcon>();

    // The window's own entries, so a command chosen here is the command chosen there.
    menu_ = std::make_unique<QMenu>();
    menu_->addActions(frameMenu.actions());
    if (!menu_->actions().isEmpty()) {
        menu_->setDefaultAction(menu_->actions().first());
    }
    icon_->setContextMenu(menu_.get());
    connect(icon_.get(), &QSystemTrayIcon::activated, this, &CSystemTray::OnTrayMessage);

    SetIconFromResource(iconId);
    SetTip(tip);
    const bool available = TrayAvailable();
    Add();
    return available;
}

bool CSystemTray::SetIconFromResource(int resourceId) {
    const auto found = icons_.find(resourceId);
    if (!icon_ || found == icons_.end()) {
        return false;
    }
    if (resourceId != iconId_) {
        iconId_ = resourceId;
        icon_->setIcon(found->second);
    }
    return true;
}

bool CSystemTray::SetTip(const QString& text) {
    if (!icon_) {
        return false;
    }
    const QString cut = QString::fromStdString(CutTrayTip(text.toStdString()));
    if (cut != tip_) {
        tip_ = cut;
        icon_->setToolTip(tip_);  // each change is a message to the tray host
    }
    return true;
}

bool CSystemTray::Add() {
    if (!icon_) {
        return false;
    }
    if (!removed_) {
        Remove();
    }
    icon_->show();
    removed_ = false;
    return true;
}

bool CSystemTray::Remove() {
    if (icon_ && !removed_) {
        icon_->hide();
        removed_ = true;
    }
    return removed_;
}

bool CSystemTray::Show() {
    return removed_ ? Add() : true;
}

bool CSystemTray::OnTrayMessage(QSystemTrayIcon::ActivationReason reason) {
    CTrayActivation::Event event;
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            event = CTrayActivation::Event::Click;
            break;
        case QSystemTrayIcon::DoubleClick:
            event = CTrayActivation::Event::DoubleClick;
            break;
        case QSystemTrayIcon::Context:
            // The menu is opened by Qt (XEmbed) or drawn by the host (D-Bus).
            event = CTrayActivation::Event::ContextMenu;
            break;
        case QSystemTrayIcon::MiddleClick:
            event = CTrayActivation::Event::MiddleClick;
            break;
        default:
            return false;
    }
    if (activation_.Toggles(event, clock_.NowMs())) {
        emit ToggleRequested();
    }
    return true;
}

bool CSystemTray::HideToTray(QWindow& window) {
    if (!TrayAvailable()) {
        return false;
    }
    window.hide();
    trayCheck_.start();
    return true;
}

void CSystemTray::RestoreFromTray(QWindow& window) {
    trayCheck_.stop();
    window.show();
    window.raise();
    window.requestActivate();
}

bool CSystemTray::TrayAvailable() const {
    if (HostKind() == CTrayActivation::Host::StatusNotifier) {
        return StatusNotifierHostPresent();
    }
    // With Qt on XEmbed this is one question to the X server.
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CSystemTray::ShowMessage(const QString& title, const QString& text) {
    if (!icon_ || removed_) {
        return false;
    }
    icon_->showMessage(title, text, QSystemTrayIcon::Information, kMessageMs);
    return true;
}
