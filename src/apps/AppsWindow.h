#pragma once

#include <QDialog>

#include <memory>

#include "apps/CAppTraffic.h"
#include "core/CObservable.h"

namespace Ui {
class AppsWindow;
}

// The Applications window: one row per application with its speeds now and its totals since the
// window opened, busiest first, the traffic no application was found for last, and the processes
// of the row chosen. It shows what the model tells after each poll; whoever opens it polls the
// model once per sample and closes the model with it.
class AppsWindow final : public QDialog, private CObserver {
    Q_OBJECT
public:
    // The model must outlive the window.
    explicit AppsWindow(CAppTraffic& traffic, QWidget* parent = nullptr);
    ~AppsWindow() override;

private:
    void Update() override;
    void ShowProcesses();

    std::unique_ptr<Ui::AppsWindow> ui_;
    CAppTraffic& traffic_;
    CScopedObservation observation_;  // last: detached first, however the window dies
};
