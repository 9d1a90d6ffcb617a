#include "tray/CSystemTray.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QWindow>

#include <algorithm>

#include "core/Formatters.h"
#include "tray/BusAnswers.h"
#include "tray/TrayRules.h"

namespace {

constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr int kIconSizes[] = {16, 22, 24, 32};
constexpr int kIconIds[] = {kTrayIconIdle, kTrayIconDownUp, kTrayIconUp, kTrayIconDown};

}  // namespace

// The icon pictures live in this library; a static library's resources need naming once (outside
// any namespace).
static void InitTrayResources() {
    Q_INIT_RESOURCE(tray_icons);
}

CSystemTray::CSystemTray()
    : activation_(CTrayActivation::Host::XEmbed, 0),
      itemActivation_(CTrayActivation::Host::StatusNotifier, 0) {
    trayCheck_.setInterval(kTrayCheckMs);
    connect(&trayCheck_, &QTimer::timeout, this, &CSystemTray::OnTrayCheck);
}

CSystemTray::~CSystemTray() {
    Remove();
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

void CSystemTray::Create(QMenu& frameMenu, const QString& tip, int iconId, TrayFace face) {
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
    item_ = std::make_unique<CStatusNotifierItem>(*menu_);
    connect(item_.get(), &CStatusNotifierItem::Activated, this, &CSystemTray::OnTrayMessage);

    SetIconFromResource(iconId);
    SetTip(tip);
    face_ = face;  // the speeds themselves come with the first sample
    Add();
    WatchTrayHost();
}

void CSystemTray::WatchTrayHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(
            this, [this] { OnFirstWatcherAnswer(false); }, Qt::QueuedConnection);
        return;
    }
    auto* serviceWatcher = new QDBusServiceWatcher(kWatcherService, bus,
                                                   QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(serviceWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                OnWatcherPresence(!newOwner.isEmpty());
            });
    bus.connect(kWatcherService, kWatcherPath, kWatcherService, "StatusNotifierHostRegistered",
                this, SLOT(OnHostChanged()));
    bus.connect(kWatcherService, kWatcherPath, kWatcherService, "StatusNotifierHostUnregistered",
                this, SLOT(OnHostChanged()));

    // The bus answers in order, so this answer is newer than any owner change heard before it.
    QDBusMessage hasOwner = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner");
    hasOwner << QString(kWatcherService);
    WhenAnswered(bus.asyncCall(hasOwner), this, [this](const QDBusPendingCall& call) {
        const QDBusPendingReply<bool> reply(call);
        OnFirstWatcherAnswer(reply.isValid() && reply.value());
    });
}

void CSystemTray::OnFirstWatcherAnswer(bool registered) {
    // The same rule Qt followed when the icon was made: on X a registered StatusNotifierWatcher
    // means the D-Bus protocol, otherwise XEmbed; elsewhere D-Bus only.
    const bool statusNotifier =
        QGuiApplication::platformName() != QLatin1String("xcb") || registered;
    const auto doubleClickMs =
        static_cast<std::uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    activation_ = CTrayActivation(
        statusNotifier ? CTrayActivation::Host::StatusNotifier : CTrayActivation::Host::XEmbed,
        doubleClickMs);
    itemActivation_ = CTrayActivation(CTrayActivation::Host::StatusNotifier, doubleClickMs);
    watcherRegistered_ = registered;
    if (statusNotifier && registered) {
        AskHost();  // known once the host has said whether a panel draws the items
    } else {
        MarkKnown();
    }
}

void CSystemTray::OnWatcherPresence(bool registered) {
    watcherRegistered_ = registered;
    if (registered) {
        AskHost();  // our item comes back with the answer
    } else {
        hostRegistered_ = false;
        ApplyPresence();
    }
}

void CSystemTray::OnHostChanged() {
    AskHost();
}

// A watcher alone shows nothing: some panel must have registered as the host that draws the
// items. Only a plain "no" counts; a watcher that does not say, or does not answer in time, is
// taken at its word.
void CSystemTray::AskHost() {
    if (hostQueryPending_) {
        return;  // the answer on its way will do
    }
    QDBusMessage get = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << QString(kWatcherService) << QString("IsStatusNotifierHostRegistered");
    hostQueryPending_ = true;
    WhenAnswered(
        QDBusConnection::sessionBus().asyncCall(get, kHostQueryTimeoutMs), this,
        [this](const QDBusPendingCall& call) {
            hostQueryPending_ = false;
            const QDBusMessage reply = call.reply();
            bool present = true;
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                const QVariant value = reply.arguments().at(0).value<QDBusVariant>().variant();
                present = value.typeId() != QMetaType::Bool || value.toBool();
            }
            hostRegistered_ = present;
            ApplyPresence();
            MarkKnown();
        });
}

void CSystemTray::MarkKnown() {
    if (!known_) {
        known_ = true;
        ApplyPresence();
        emit TrayStateKnown(TrayAvailable());
    }
}

void CSystemTray::OnTrayCheck() {
    if (HostKind() == CTrayActivation::Host::StatusNotifier && watcherRegistered_) {
        AskHost();  // for the next look; this one reports what is known now
    }
    emit TrayChecked(TrayAvailable());
}

bool CSystemTray::SetIconFromResource(int resourceId) {
    const auto found = icons_.find(resourceId);
    if (!icon_ || found == icons_.end()) {
        return false;
    }
    if (resourceId != iconId_) {
        iconId_ = resourceId;
        if (face_ == TrayFace::Picture) {
            icon_->setIcon(found->second);
        }
    }
    return true;
}

void CSystemTray::ShowRates(double downloadRate, double uploadRate, TrayFace face,
                            const SpeedIconColours& colours) {
    if (!icon_) {
        return;
    }
    const TrayFace before = face_;
    face_ = face;
    if (face == TrayFace::Picture) {
        if (before != face) {
            downloadText_.clear();  // the next speeds face draws afresh
            const auto picture = icons_.find(iconId_);
            if (picture != icons_.end()) {
                icon_->setIcon(picture->second);
            }
            ApplyPresence();
        }
        return;
    }
    const auto shortText = [](double rate) {
        return QString::fromStdString(
            PadWithFigureSpaces(ShortSpeedText(rate, DecimalMark::Locale), kShortSpeedWidth));
    };
    const QString download = shortText(downloadRate);
    const QString upload = shortText(uploadRate);
    // The label changes more often than the pictures (it has a decimal more); only a new text
    // is sent.
    item_->SetLabel(QString::fromStdString(SpeedsLine(downloadRate, uploadRate)),
                    QString::fromStdString(SpeedsLineGuide()));
    const bool changed =
        download != downloadText_ || upload != uploadText_ || colours != speedColours_;
    downloadText_ = download;
    uploadText_ = upload;
    speedColours_ = colours;
    ApplyPresence();
    if (!changed) {
        return;  // each new picture is a message to the tray host
    }
    if (item_->Published()) {
        item_->SetPictures(SpeedPictures());
    } else {
        icon_->setIcon(SpeedIcon(download, upload, colours));
    }
}

QList<QImage> CSystemTray::SpeedPictures() const {
    QList<QImage> pictures;
    for (const qreal ratio : {1.0, 2.0}) {
        for (const int size : kSpeedIconSizes) {
            const QImage picture =
                PaintSpeedImage(downloadText_, uploadText_, speedColours_, size, ratio);
            if (std::none_of(pictures.begin(), pictures.end(),
                             [&](const QImage& other) { return other.size() == picture.size(); })) {
                pictures << picture;
            }
        }
    }
    return pictures;
}

void CSystemTray::ApplyPresence() {
    if (!icon_) {
        return;
    }
    const bool own =
        !removed_ && face_ == TrayFace::Speeds && watcherRegistered_ && hostRegistered_;
    if (!own && item_->Published()) {
        item_->Withdraw();
        if (face_ == TrayFace::Speeds) {
            // Qt's icon was not kept up to date meanwhile.
            icon_->setIcon(SpeedIcon(downloadText_, uploadText_, speedColours_));
        }
    }
    // One icon at a time: Qt's leaves before ours comes, ours before Qt's comes back.
    const bool qtShown = !removed_ && !own && (known_ || face_ == TrayFace::Picture);
    if (icon_->isVisible() != qtShown) {
        icon_->setVisible(qtShown);
    }
    if (own && !item_->Published()) {
        item_->SetPictures(SpeedPictures());
        item_->SetToolTip(tip_);
        item_->Publish();
    }
}

bool CSystemTray::SetTip(const QString& text) {
    if (!icon_) {
        return false;
    }
    const QString cut = QString::fromStdString(CutTrayTip(text.toStdString()));
    if (cut != tip_) {
        tip_ = cut;
        icon_->setToolTip(tip_);  // each change is a message to the tray host
        item_->SetToolTip(tip_);
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
    removed_ = false;
    ApplyPresence();
    return true;
}

bool CSystemTray::Remove() {
    if (icon_ && !removed_) {
        removed_ = true;
        ApplyPresence();
    }
    return removed_;
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
    // Our item speaks StatusNotifierItem even where Qt's icon was made for an XEmbed tray (a
    // watcher that came later).
    CTrayActivation& rules = item_ && item_->Published() ? itemActivation_ : activation_;
    if (rules.Toggles(event, clock_.NowMs())) {
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
    if (!known_) {
        return false;
    }
    if (HostKind() == CTrayActivation::Host::StatusNotifier) {
        return watcherRegistered_ && hostRegistered_;
    }
    // With Qt on XEmbed this is one question to the X server, which answers at once.
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CSystemTray::ShowMessage(const QString& title, const QString& text,
                              QSystemTrayIcon::MessageIcon icon) {
    if (!icon_ || removed_) {
        return false;
    }
    if (item_->Published()) {
        Notify(title, text);  // Qt's icon, standing aside, would drop the message
    } else {
        icon_->showMessage(title, text, icon, kMessageMs);
    }
    return true;
}

void CSystemTray::Notify(const QString& title, const QString& text) {
    QDBusMessage notify = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                         "/org/freedesktop/Notifications",
                                                         "org.freedesktop.Notifications", "Notify");
    notify << QGuiApplication::applicationDisplayName() << uint(0) << QString() << title << text
           << QStringList() << QVariantMap() << kMessageMs;
    QDBusConnection::sessionBus().asyncCall(notify);
}
