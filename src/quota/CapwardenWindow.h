#pragma once

#include <QColor>
#include <QDialog>

#include <memory>

#include "core/CObservable.h"
#include "platform/LocaleTexts.h"

class CTrafficQuota;
class QComboBox;
class QLabel;
class QLineEdit;

namespace Ui {
class CapwardenWindow;
}

// The Capwarden window: switches the quota on or off, sets its limits and reset day, and shows
// the current period's traffic live. Modeless; it observes the quota while it exists.
class CapwardenWindow : public QDialog, public CObserver {
    Q_OBJECT
public:
    // Dates are written by `texts`, the user's locale when none is given.
    explicit CapwardenWindow(CTrafficQuota& quota, std::unique_ptr<LocaleTexts> texts = nullptr,
                             QWidget* parent = nullptr);
    ~CapwardenWindow() override;

    // The quota has done its work: show its figures.
    void Update() override { Refresh(); }

    // Hands the entries to the quota and saves it. False, after a message box saying why, when
    // an entry is not valid; the quota is then unchanged.
    bool ApplySettings();
    void Refresh();

private:
    void ReserveFigureWidths();
    void Populate();
    void EnableQuotaControls();
    void DisableQuotaControls();
    void SwitchToTotalMode();
    void SwitchToSeparateMode();
    void SetTotalControlsEnabled(bool enabled);
    void SetSeparateControlsEnabled(bool enabled);
    void SetPeriodFiguresEnabled(bool enabled);
    void ClearEdits();
    void ShowAllowedAmount(double megabytes, QLineEdit* edit, QComboBox* unit);
    void ShowAmount(double megabytes, QLabel* value, QLabel* unit);
    void ShowProjection();
    void SetRed(QLabel* label, bool red);
    // The percentages of one mode and their names back in the normal text colour.
    void SetTotalPercentBlack();
    void SetSeparatePercentsBlack();
    // The typed limit, or false after the message box.
    bool ValidateWholeNumber(const QLineEdit* edit, int& value);
    void OnApply();
    void OnOk();
    void OnReset();
    void EnableApply();

    std::unique_ptr<Ui::CapwardenWindow> ui_;
    CTrafficQuota& quota_;
    std::unique_ptr<LocaleTexts> texts_;
    QColor normalText_;
    CScopedObservation observation_;  // last: it detaches before anything else goes
};
