#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/CObservable.h"

class CWebStats;
class QLineEdit;
namespace Ui {
class WebStatsWindow;
}

// The WebStats window: the FTP login, where the page goes, how often, the switch, and the log
// of the uploads. Modeless; it observes the model while it is open and takes its edits over on
// Apply or OK. The model notifies it on the user-interface thread only.
class WebStatsWindow : public QDialog, public CObserver {
    Q_OBJECT
public:
    explicit WebStatsWindow(CWebStats& model, QWidget* parent = nullptr);
    ~WebStatsWindow() override;

    // Refreshes the log list with the lines added since the last refresh.
    void Update() override;

    // Takes the edits over when WebStats is switched on in this window. False, with a message
    // and the focus on the field, when a field is not valid; nothing is changed then.
    bool Apply();

private:
    void OnSwitch();
    void OnApplyClicked();
    void OnOk();
    void ShowSwitch(bool on);
    void SetFieldsEnabled(bool enabled);
    void Save();
    bool Validate(bool withMessages);
    bool Refuse(QLineEdit* field, const QString& caption, const QString& text, bool withMessages);
    void MarkChanged(bool& flag);

    std::unique_ptr<Ui::WebStatsWindow> ui_;
    CWebStats& model_;
    std::vector<QWidget*> fields_;
    bool switchedOn_ = false;  // the switch button offers to disable WebStats
    bool locationChanged_ = false;
    bool otherChanged_ = false;
    std::uint64_t linesShown_ = 0;
    CScopedObservation observation_;  // last: it detaches before anything else goes
};
