#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

#include <map>
#include <memory>

#include "apps/CAppTraffic.h"
#include "apps/CAppsMonitor.h"
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
    // Owns the monitor: closing the window ends the polling with it.
    explicit AppsWindow(std::unique_ptr<CAppsMonitor> monitor, QWidget* parent = nullptr);
    ~AppsWindow() override;

    // The monitor the window owns, or null.
    CAppsMonitor* Monitor() const { return monitor_.get(); }

private:
    // By reference: the monitor is moved only once its model was reached.
    AppsWindow(CAppTraffic& traffic, std::unique_ptr<CAppsMonitor>&& monitor, QWidget* parent);

    void Update() override;
    void ShowProcesses();
    // The application's icon from the theme, looked up once a window.
    QIcon Icon(const QString& app);

    std::unique_ptr<Ui::AppsWindow> ui_;
    std::unique_ptr<CAppsMonitor> monitor_;  // before the model's observation, which goes first
    CAppTraffic& traffic_;
    std::map<QString, QIcon> icons_;
    CScopedObservation observation_;  // last: detached first, however the window dies
};
