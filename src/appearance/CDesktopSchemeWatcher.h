#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

#include "appearance/DesktopScheme.h"

class CSettings;
class QDBusMessage;

// Hears whether the desktop is light or dark, from the XDG desktop portal's settings on the
// session bus: one question at start, then each change the portal announces. It never waits on
// the bus: the question is asked asynchronously with a time-out, and an error or the time-out
// means the desktop has no portal, until a portal announces a change after all.
class CDesktopSchemeWatcher final : public QObject {
    Q_OBJECT
public:
    enum class State {
        Asking,    // the question is on its way
        Known,     // the portal has told the preference
        NoPortal,  // no bus, no portal, no such setting, or no answer in time
    };

    // Long enough for a portal started by the bus on demand; a desktop without one answers at
    // once.
    static constexpr int kAnswerTimeoutMs = 5000;

    explicit CDesktopSchemeWatcher(QDBusConnection bus, int answerTimeoutMs = kAnswerTimeoutMs);

    // Listens for changes and asks the portal once.
    void Start();

    State CurrentState() const { return state_; }
    // The preference while Known; empty otherwise.
    std::optional<DesktopScheme> Scheme() const;

signals:
    // The state or the preference changed.
    void Changed();

private slots:
    void OnSettingChanged(const QDBusMessage& message);

private:
    void Ask(const char* method);
    void OnAnswer(const QDBusMessage& reply, const char* method);
    void SetState(State state, DesktopScheme scheme);

    QDBusConnection bus_;
    int answerTimeoutMs_;
    State state_ = State::Asking;
    DesktopScheme scheme_ = DesktopScheme::NoPreference;
};

// Tells `settings` the desktop's preference now and at each change, while both live.
void TellSettingsOfScheme(const CDesktopSchemeWatcher& watcher, CSettings& settings);
