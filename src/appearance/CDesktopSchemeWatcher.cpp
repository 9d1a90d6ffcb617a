#include "appearance/CDesktopSchemeWatcher.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QVariant>

#include <cstring>

#include "appearance/CSettings.h"

namespace {

constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* kNamespace = "org.freedesktop.appearance";
constexpr const char* kKey = "color-scheme";

// The number inside the value: "Read" of older portals wraps it in one variant more.
std::optional<std::uint32_t> SchemeNumber(QVariant value) {
    while (value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    if (value.userType() == QMetaType::UInt) {
        return value.toUInt();
    }
    return std::nullopt;
}

}  // namespace

CDesktopSchemeWatcher::CDesktopSchemeWatcher(QDBusConnection bus, int answerTimeoutMs)
    : bus_(std::move(bus)), answerTimeoutMs_(answerTimeoutMs) {}

void CDesktopSchemeWatcher::Start() {
    if (!bus_.isConnected()) {
        SetState(State::NoPortal, scheme_);
        return;
    }
    // Without a service name: naming it would make Qt ask the bus for its owner and wait.
    bus_.connect(QString(), kPortalPath, kSettingsInterface, "SettingChanged", this,
                 SLOT(OnSettingChanged(QDBusMessage)));
    // "ReadOne" first, as the portal asks; portals before it know only "Read".
    Ask("ReadOne");
}

std::optional<DesktopScheme> CDesktopSchemeWatcher::Scheme() const {
    return state_ == State::Known ? std::optional(scheme_) : std::nullopt;
}

void CDesktopSchemeWatcher::Ask(const char* method) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, kPortalPath, kSettingsInterface, method);
    call << QString(kNamespace) << QString(kKey);
    auto* answer = new QDBusPendingCallWatcher(bus_.asyncCall(call, answerTimeoutMs_), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this, method](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                OnAnswer(finished->reply(), method);
            });
}

void CDesktopSchemeWatcher::OnAnswer(const QDBusMessage& reply, const char* method) {
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        const std::optional<std::uint32_t> number = SchemeNumber(reply.arguments().first());
        SetState(State::Known, DesktopSchemeFromNumber(number.value_or(0)));
        return;
    }
    if (std::strcmp(method, "ReadOne") == 0 &&
        reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")) {
        Ask("Read");
        return;
    }
    // A change heard meanwhile is newer news than a failed question.
    if (state_ != State::Known) {
        SetState(State::NoPortal, scheme_);
    }
}

void CDesktopSchemeWatcher::OnSettingChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 3 || arguments.at(0).toString() != QLatin1String(kNamespace) ||
        arguments.at(1).toString() != QLatin1String(kKey)) {
        return;
    }
    const std::optional<std::uint32_t> number = SchemeNumber(arguments.at(2));
    SetState(State::Known, DesktopSchemeFromNumber(number.value_or(0)));
}

void CDesktopSchemeWatcher::SetState(State state, DesktopScheme scheme) {
    if (state == state_ && scheme == scheme_) {
        return;
    }
    state_ = state;
    scheme_ = scheme;
    emit Changed();
}

void TellSettingsOfScheme(const CDesktopSchemeWatcher& watcher, CSettings& settings) {
    settings.SetDesktopScheme(watcher.Scheme());
    QObject::connect(&watcher, &CDesktopSchemeWatcher::Changed, &watcher,
                     [&] { settings.SetDesktopScheme(watcher.Scheme()); });
}
