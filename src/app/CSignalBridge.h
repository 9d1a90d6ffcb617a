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

    // Catches the signals into a pipe that the event loop reads later. Call it first thing:
    // starting takes time, and a signal that comes meanwhile waits in the pipe and ends the run
    // in order once the loop runs. Safe to call again. False when they could not be caught.
    static bool CatchTermination();
    // Gives the signals their default action again.
    static void ReleaseTermination();

    // Catches the signals (if not yet) and reads the pipe from the event loop. False when the
    // signals could not be routed (the program then still runs).
    bool Install();

signals:
    void TerminationRequested();

private:
    void OnReadable();
    QSocketNotifier* notifier_ = nullptr;
};
