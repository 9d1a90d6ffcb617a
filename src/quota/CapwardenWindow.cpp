#include "quota/CapwardenWindow.h"

#include <QGridLayout>
#include <QMessageBox>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Formatters.h"
#include "platform/QtLocaleTexts.h"
#include "quota/CTrafficQuota.h"
#include "quota/ProjectionTexts.h"
#include "quota/QuotaInput.h"
#include "ui_CapwardenWindow.h"

namespace {

constexpr int kResetDays = 31;
// What a window manager puts beside a title in the title bar: an icon and three buttons.
constexpr int kTitleBarExtras = 120;

// Keeps a label as wide as the widest of the texts it will show, so a figure that grows does
// not widen its box and move the controls beside it.
void ReserveWidth(QLabel* label, const std::vector<std::string>& texts) {
    const QString shown = label->text();
    int width = 0;
    for (const std::string& text : texts) {
        label->setText(QString::fromStdString(text));
        width = std::max(width, label->sizeHint().width());
    }
    label->setText(shown);
    label->setMinimumWidth(width);
}

// A Yes/No question in a box wide enough for its title: the window manager cuts a title wider
// than the box ("Resettin… ounters"). The title bar's font is the window manager's; the bold
// desktop font is a fair stand-in.
bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    QFont bold = box.font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(title) + kTitleBarExtras;
    // A message box sizes itself to its text; a spacer across its grid widens it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

CapwardenWindow::CapwardenWindow(CTrafficQuota& quota, std::unique_ptr<LocaleTexts> texts,
                                 QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::CapwardenWindow>()),
      quota_(quota),
      texts_(texts ? std::move(texts) : std::make_unique<QtLocaleTexts>()),
      observation_(quota, *this) {
    ui_->setupUi(this);
    normalText_ = palette().color(QPalette::Active, QPalette::WindowText);
    ReserveFigureWidths();

    ui_->activateCheck->setChecked(false);
    for (QComboBox* unit : {ui_->totalUnitCombo, ui_->downloadUnitCombo, ui_->uploadUnitCombo}) {
        unit->addItems({"MB", "GB"});
        unit->setCurrentIndex(kUnitMB);
    }
    for (int day = 1; day <= kResetDays; ++day) {
        ui_->resetDayCombo->addItem(QString::fromStdString(ResetDayName(day)));
    }
    const int resetDay = quota_.ResetDay();
    ui_->resetDayCombo->setCurrentIndex(resetDay >= 1 && resetDay <= kResetDays ? resetDay - 1 : 0);
    Populate();

    connect(ui_->activateCheck, &QCheckBox::clicked, this, [this](bool checked) {
        EnableApply();
        if (checked) {
            EnableQuotaControls();
        } else {
            DisableQuotaControls();
        }
    });
    connect(ui_->totalModeCheck, &QCheckBox::clicked, this, &CapwardenWindow::SwitchToTotalMode);
    connect(ui_->separateModeCheck, &QCheckBox::clicked, this,
            &CapwardenWindow::SwitchToSeparateMode);
    for (QLineEdit* edit : {ui_->totalEdit, ui_->downloadEdit, ui_->uploadEdit}) {
        connect(edit, &QLineEdit::textChanged, this, &CapwardenWindow::EnableApply);
    }
    for (QComboBox* combo :
         {ui_->totalUnitCombo, ui_->downloadUnitCombo, ui_->uploadUnitCombo, ui_->resetDayCombo}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &CapwardenWindow::EnableApply);
    }
    connect(ui_->applyButton, &QPushButton::clicked, this, &CapwardenWindow::OnApply);
    connect(ui_->okButton, &QPushButton::clicked, this, &CapwardenWindow::OnOk);
    connect(ui_->resetButton, &QPushButton::clicked, this, &CapwardenWindow::OnReset);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    ui_->applyButton->setEnabled(false);
    Refresh();
}

CapwardenWindow::~CapwardenWindow() = default;

void CapwardenWindow::ReserveFigureWidths() {
    // The widest of each kind, written as the formatters write them (digits are equally wide).
    const std::vector<std::string> amounts = {QuotaAmountText(1023.9).number};
    const std::vector<std::string> units = {QuotaAmountText(0.5).unit, QuotaAmountText(5.0).unit,
                                            QuotaAmountText(5000.0).unit};
    const std::vector<std::string> percents = {PercentText(999.9)};
    for (QLabel* value : {ui_->downloadedValue, ui_->uploadedValue, ui_->totalValue}) {
        ReserveWidth(value, amounts);
    }
    for (QLabel* unit : {ui_->downloadedUnit, ui_->uploadedUnit, ui_->totalUnit}) {
        ReserveWidth(unit, units);
    }
    for (QLabel* percent : {ui_->downloadPercent, ui_->uploadPercent, ui_->totalPercent}) {
        ReserveWidth(percent, percents);
    }
    ReserveWidth(ui_->nextPeriodDate, ShortDateSamples(*texts_));
    // A projection line at its longest: the longer name, four digits and a three-digit share.
    const LimitProjection widest{kDownloadLimit, 0.0, 1023.9 / 9.99, true, 1023.9};
    for (QLabel* line : {ui_->projectionLine, ui_->secondProjectionLine}) {
        ReserveWidth(line, {ProjectedLine(widest)});
    }
}

void CapwardenWindow::Populate() {
    if (!quota_.Active()) {
        ui_->activateCheck->setChecked(false);
        DisableQuotaControls();
        return;
    }
    ui_->activateCheck->setChecked(true);
    EnableQuotaControls();
    const bool total = quota_.LimitTotal();
    ui_->totalModeCheck->setChecked(total);
    ui_->separateModeCheck->setChecked(!total);
    SetSeparateControlsEnabled(!total);
    SetTotalControlsEnabled(total);
    if (total) {
        ShowAllowedAmount(quota_.AllowedTotal(), ui_->totalEdit, ui_->totalUnitCombo);
        SetSeparatePercentsBlack();
    } else {
        ShowAllowedAmount(quota_.AllowedUpload(), ui_->uploadEdit, ui_->uploadUnitCombo);
        ShowAllowedAmount(quota_.AllowedDownload(), ui_->downloadEdit, ui_->downloadUnitCombo);
        SetTotalPercentBlack();
    }
    ui_->downloadPercent->setEnabled(!total);
    ui_->uploadPercent->setEnabled(!total);
    ui_->totalPercent->setEnabled(total);
}

void CapwardenWindow::EnableQuotaControls() {
    SetPeriodFiguresEnabled(true);
    ui_->nextPeriodDate->setEnabled(true);
    ui_->resetDayCombo->setEnabled(true);
    ui_->totalModeCheck->setEnabled(true);
    ui_->separateModeCheck->setEnabled(true);
    // The limit entries of a mode open once the mode has a limit (or is chosen).
    if (quota_.LimitTotal()) {
        SetTotalControlsEnabled(quota_.AllowedTotal() > 0);
    } else {
        SetSeparateControlsEnabled(quota_.AllowedDownload() > 0 || quota_.AllowedUpload() > 0);
    }
}

void CapwardenWindow::DisableQuotaControls() {
    SetPeriodFiguresEnabled(false);
    SetTotalControlsEnabled(false);
    SetSeparateControlsEnabled(false);
    ui_->resetDayCombo->setEnabled(false);
    ui_->totalModeCheck->setEnabled(false);
    ui_->separateModeCheck->setEnabled(false);
    if (!quota_.Active()) {
        ui_->totalModeCheck->setChecked(false);
        ui_->separateModeCheck->setChecked(false);
    }
}

void CapwardenWindow::SwitchToTotalMode() {
    SetSeparatePercentsBlack();
    ui_->downloadPercent->setEnabled(false);
    ui_->uploadPercent->setEnabled(false);
    ui_->totalPercent->setEnabled(true);
    EnableApply();
    ui_->totalModeCheck->setChecked(true);  // the two boxes act as radio buttons
    ui_->separateModeCheck->setChecked(false);
    SetSeparateControlsEnabled(false);
    SetTotalControlsEnabled(true);
    ClearEdits();
    if (quota_.AllowedTotal() > 0) {
        ShowAllowedAmount(quota_.AllowedTotal(), ui_->totalEdit, ui_->totalUnitCombo);
    }
}

void CapwardenWindow::SwitchToSeparateMode() {
    SetTotalPercentBlack();
    ui_->downloadPercent->setEnabled(true);
    ui_->uploadPercent->setEnabled(true);
    ui_->totalPercent->setEnabled(false);
    EnableApply();
    ui_->totalModeCheck->setChecked(false);
    ui_->separateModeCheck->setChecked(true);
    SetSeparateControlsEnabled(true);
    SetTotalControlsEnabled(false);
    ClearEdits();
    if (quota_.AllowedDownload() >= 0) {
        ShowAllowedAmount(quota_.AllowedDownload(), ui_->downloadEdit, ui_->downloadUnitCombo);
    }
    if (quota_.AllowedUpload() >= 0) {
        ShowAllowedAmount(quota_.AllowedUpload(), ui_->uploadEdit, ui_->uploadUnitCombo);
    }
}

void CapwardenWindow::SetTotalControlsEnabled(bool enabled) {
    ui_->totalEdit->setEnabled(enabled);
    ui_->totalUnitCombo->setEnabled(enabled);
    ui_->allowedTrafficLabel->setEnabled(enabled);
}

void CapwardenWindow::SetSeparateControlsEnabled(bool enabled) {
    for (QWidget* widget : std::initializer_list<QWidget*>{
             ui_->downloadEdit, ui_->downloadUnitCombo, ui_->allowedDownloadLabel, ui_->uploadEdit,
             ui_->uploadUnitCombo, ui_->allowedUploadLabel}) {
        widget->setEnabled(enabled);
    }
}

void CapwardenWindow::SetPeriodFiguresEnabled(bool enabled) {
    for (QLabel* label : {ui_->downloadedValue, ui_->uploadedValue, ui_->totalValue,
                          ui_->downloadedUnit, ui_->uploadedUnit, ui_->totalUnit,
                          ui_->downloadPercent, ui_->uploadPercent, ui_->totalPercent}) {
        label->setEnabled(enabled);
    }
}

void CapwardenWindow::ClearEdits() {
    ui_->totalEdit->clear();
    ui_->downloadEdit->clear();
    ui_->uploadEdit->clear();
}

void CapwardenWindow::ShowAllowedAmount(double megabytes, QLineEdit* edit, QComboBox* unit) {
    const AmountParts parts = QuotaLimitText(megabytes);
    unit->setCurrentIndex(parts.unit == "GB" ? kUnitGB : kUnitMB);
    edit->setText(QString::fromStdString(parts.number));
}

void CapwardenWindow::ShowAmount(double megabytes, QLabel* value, QLabel* unit) {
    const AmountParts parts = QuotaAmountText(megabytes);
    value->setText(QString::fromStdString(parts.number));
    unit->setText(QString::fromStdString(parts.unit));
}

void CapwardenWindow::ShowProjection() {
    // One line per limit in use, red where the period is heading past it; blank while off.
    const QuotaProjection projection = ProjectQuota(quota_);
    QLabel* const lines[] = {ui_->projectionLine, ui_->secondProjectionLine};
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        const LimitProjection* limit =
            i < projection.limits.size() ? &projection.limits[i] : nullptr;
        lines[i]->setText(limit ? QString::fromStdString(ProjectedLine(*limit)) : QString(" "));
        SetRed(lines[i], limit && limit->Passes());
    }
}

void CapwardenWindow::SetRed(QLabel* label, bool red) {
    // Red past a limit, else the desktop's own text colour (a dark theme's is not black).
    // Disabled labels keep the theme's greyed colour.
    QPalette palette = label->palette();
    const QColor colour = red ? QColor(255, 0, 0) : normalText_;
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    label->setPalette(palette);
}

void CapwardenWindow::SetTotalPercentBlack() {
    SetRed(ui_->totalPercent, false);
    SetRed(ui_->totalPercentName, false);
}

void CapwardenWindow::SetSeparatePercentsBlack() {
    for (QLabel* label : {ui_->downloadPercent, ui_->downloadPercentName, ui_->uploadPercent,
                          ui_->uploadPercentName}) {
        SetRed(label, false);
    }
}

void CapwardenWindow::Refresh() {
    // An inactive quota holds zero counters, so its figures read 0 too.
    ShowAmount(quota_.Downloaded(), ui_->downloadedValue, ui_->downloadedUnit);
    ShowAmount(quota_.Uploaded(), ui_->uploadedValue, ui_->uploadedUnit);
    ShowAmount(quota_.Total(), ui_->totalValue, ui_->totalUnit);

    const unsigned passed = quota_.PassedLimits();
    const auto showPercent = [this](QLabel* percent, QLabel* name, double used, double allowed,
                                    bool red) {
        percent->setText(QString::fromStdString(PercentText(UsedPercent(used, allowed))));
        SetRed(percent, red);
        SetRed(name, red);
    };
    if (quota_.LimitTotal()) {
        showPercent(ui_->totalPercent, ui_->totalPercentName, quota_.Total(), quota_.AllowedTotal(),
                    passed & kTotalLimit);
    } else {
        showPercent(ui_->downloadPercent, ui_->downloadPercentName, quota_.Downloaded(),
                    quota_.AllowedDownload(), passed & kDownloadLimit);
        showPercent(ui_->uploadPercent, ui_->uploadPercentName, quota_.Uploaded(),
                    quota_.AllowedUpload(), passed & kUploadLimit);
    }

    ShowProjection();

    LocalDate start;
    ui_->nextPeriodDate->setText(ShownPeriodStart(quota_, start)
                                     ? QString::fromStdString(texts_->ShortDate(start))
                                     : QString(" "));
}

bool CapwardenWindow::ValidateWholeNumber(const QLineEdit* edit, int& value) {
    const char* caption = "Not a valid integer";
    const char* text = nullptr;
    switch (CheckWholeNumber(edit->text().toStdString(), value)) {
        case WholeNumberCheck::Valid:
            return true;
        case WholeNumberCheck::NotANumber:
            text = "Please enter a valid number";
            break;
        case WholeNumberCheck::NotWhole:
            text = "Please enter a valid whole number";
            break;
        case WholeNumberCheck::TooLarge:
            caption = "Number out of range";
            text = "Please enter a smaller number";
            break;
    }
    QMessageBox::critical(this, caption, text);
    return false;
}

bool CapwardenWindow::ApplySettings() {
    const bool total = ui_->totalModeCheck->isChecked();
    const bool separate = ui_->separateModeCheck->isChecked();
    if (!ui_->activateCheck->isChecked()) {
        quota_.Deactivate();
        quota_.Save();  // a failed save is retried at exit
        return true;
    }
    if (!total && !separate) {
        QMessageBox::critical(this, "Missing selection",
                              "Please choose to monitor the total network traffic or download "
                              "and upload separately");
        return false;
    }
    int totalLimit = 0;
    int uploadLimit = 0;
    int downloadLimit = 0;
    if (total ? !ValidateWholeNumber(ui_->totalEdit, totalLimit)
              : !ValidateWholeNumber(ui_->uploadEdit, uploadLimit) ||
                    !ValidateWholeNumber(ui_->downloadEdit, downloadLimit)) {
        return false;
    }
    // A quota switched on starts a fresh count.
    if (!quota_.Active()) {
        quota_.ClearCounters();
    }
    SetTotalPercentBlack();
    SetSeparatePercentsBlack();
    quota_.Activate();
    quota_.SetLimitMode(total);
    if (total) {
        quota_.SetAllowedTotal(ToMegabytes(totalLimit, ui_->totalUnitCombo->currentIndex()));
    } else {
        quota_.SetAllowedDownload(
            ToMegabytes(downloadLimit, ui_->downloadUnitCombo->currentIndex()));
        quota_.SetAllowedUpload(ToMegabytes(uploadLimit, ui_->uploadUnitCombo->currentIndex()));
    }
    quota_.SetResetDay(ui_->resetDayCombo->currentIndex() + 1);
    quota_.Save();  // a failed save is retried every five minutes and at exit
    return true;
}

void CapwardenWindow::OnApply() {
    ApplySettings();
    Refresh();
    ui_->applyButton->setEnabled(false);
}

void CapwardenWindow::OnOk() {
    if (ApplySettings()) {
        accept();
    }
}

void CapwardenWindow::OnReset() {
    if (AskYesNo(this, "Resetting traffic counters", "Reset all traffic counters?")) {
        quota_.ClearCounters();  // saved with the next save
        Refresh();
    }
}

void CapwardenWindow::EnableApply() {
    ui_->applyButton->setEnabled(true);
}
