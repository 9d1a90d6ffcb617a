#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal quit of the event loop, so that ending the session,
// `kill` and Ctrl+C save the history exactly as "Exit" does.
class CSignalBridge : public QObject {
    Q_OBJECT
public:
    explicit CSignalBridge(QObject* parent = nullptr);
    ~CSignalBridge() override;

    // False when the signals could not be routed (the program then still runs).
    bool Install();

signals:
    void TerminationRequested();

private:
    void OnReadable();
    QSocketNotifier* notifier_ = nullptr;
};
