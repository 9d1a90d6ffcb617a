#pragma once

#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QObject>

// Calls `onReply` with the finished call, on this thread, once the answer (or its time-out) is
// in; the watcher goes with `owner`, so an answer after the owner's end is dropped.
template <typename Handler>
void WhenAnswered(const QDBusPendingCall& call, QObject* owner, Handler onReply) {
    auto* watcher = new QDBusPendingCallWatcher(call, owner);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner,
                     [onReply](QDBusPendingCallWatcher* finished) {
                         finished->deleteLater();
                         onReply(*finished);
                     });
}
