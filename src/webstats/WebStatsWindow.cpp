#include "webstats/WebStatsWindow.h"

#include <QListView>
#include <QMessageBox>
#include <QStyledItemDelegate>

#include <algorithm>

#include "core/TrimSpace.h"
#include "ui_WebStatsWindow.h"
#include "webstats/CWebStats.h"
#include "webstats/WebStatsFields.h"

namespace {

const QString kEnableText = "Enable WebStats";
const QString kDisableText = "Disable WebStats";

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

// Measures each log line at the list's width, so a long one wraps instead of running off under
// a scroll bar: a list view in list mode measures its items with no width to wrap at.
class WrappingDelegate final : public QStyledItemDelegate {
public:
    explicit WrappingDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem wrapped(option);
        wrapped.rect = QRect(0, 0, std::max(1, view_->viewport()->width() - 2 * view_->spacing()),
                             option.fontMetrics.height());
        return QStyledItemDelegate::sizeHint(wrapped, index);
    }

private:
    QListView* view_;
};

}  // namespace

WebStatsWindow::WebStatsWindow(CWebStats& model, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::WebStatsWindow>()),
      model_(model),
      observation_(model, *this) {
    ui_->setupUi(this);
    fields_ = {ui_->hostEdit,       ui_->userEdit,      ui_->passwordEdit,  ui_->portEdit,
               ui_->remotePathEdit, ui_->fileNameEdit,  ui_->intervalCombo, ui_->hostLabel,
               ui_->userLabel,      ui_->passwordLabel, ui_->portLabel,     ui_->remotePathLabel,
               ui_->fileNameLabel,  ui_->intervalLabel, ui_->logLabel,      ui_->logList};
    ui_->logList->setItemDelegate(new WrappingDelegate(ui_->logList));

    const WebStatsValues values = model_.Settings();
    ShowSwitch(values.enabled);
    SetFieldsEnabled(values.enabled);
    ui_->hostEdit->setText(QString::fromStdString(values.hostName));
    ui_->remotePathEdit->setText(QString::fromStdString(values.remotePath));
    ui_->fileNameEdit->setText(QString::fromStdString(values.pageFileName));
    ui_->userEdit->setText(QString::fromStdString(values.userName));
    ui_->passwordEdit->setText(QString::fromStdString(values.password));
    ui_->portEdit->setText(QString::number(values.port));
    for (const UploadIntervalChoice& choice : kUploadIntervals) {
        ui_->intervalCombo->addItem(choice.text);
    }
    ui_->intervalCombo->setCurrentIndex(UploadIntervalIndex(values.uploadInterval));

    Update();

    for (QLineEdit* edit : {ui_->hostEdit, ui_->remotePathEdit}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { MarkChanged(locationChanged_); });
    }
    for (QLineEdit* edit : {ui_->portEdit, ui_->userEdit, ui_->passwordEdit, ui_->fileNameEdit}) {
        connect(edit, &QLineEdit::textChanged, this, [this] { MarkChanged(otherChanged_); });
    }
    connect(ui_->intervalCombo, &QComboBox::currentIndexChanged, this,
            [this] { MarkChanged(otherChanged_); });
    connect(ui_->switchButton, &QPushButton::clicked, this, &WebStatsWindow::OnSwitch);
    connect(ui_->applyButton, &QPushButton::clicked, this, &WebStatsWindow::OnApplyClicked);
    connect(ui_->okButton, &QPushButton::clicked, this, &WebStatsWindow::OnOk);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QWidget::close);
    ui_->applyButton->setEnabled(false);
}

WebStatsWindow::~WebStatsWindow() = default;

void WebStatsWindow::MarkChanged(bool& flag) {
    flag = true;
    ui_->applyButton->setEnabled(true);
}

void WebStatsWindow::ShowSwitch(bool on) {
    switchedOn_ = on;
    ui_->switchButton->setText(on ? kDisableText : kEnableText);
}

void WebStatsWindow::SetFieldsEnabled(bool enabled) {
    for (QWidget* field : fields_) {
        field->setEnabled(enabled);
    }
}

void WebStatsWindow::OnSwitch() {
    // The button follows what it shows, so it can always be switched back off, also after it
    // was switched on with fields still to complete.
    if (switchedOn_) {
        ShowSwitch(false);
        model_.SetEnabled(false);
        Save();
        SetFieldsEnabled(false);
        return;
    }
    ShowSwitch(true);
    // Only the switch is saved here: the edits reach the model through Apply.
    if (Validate(false)) {
        model_.SetEnabled(true);
        Save();
    }
    SetFieldsEnabled(true);
}

bool WebStatsWindow::Refuse(QLineEdit* field, const QString& caption, const QString& text,
                            bool withMessages) {
    if (withMessages) {
        QMessageBox::critical(this, caption, text);
        field->setFocus();
    }
    return false;
}

bool WebStatsWindow::Validate(bool withMessages) {
    if (TrimSpace(Text(ui_->hostEdit)).empty()) {
        return Refuse(ui_->hostEdit, "Empty Field", "Please enter a hostname", withMessages);
    }
    if (!IsPageFileName(NormaliseFileName(Text(ui_->fileNameEdit)))) {
        return Refuse(ui_->fileNameEdit, "Empty Field", "Please enter a file name", withMessages);
    }
    int port = 0;
    if (!ParsePortText(Text(ui_->portEdit), port)) {
        return Refuse(ui_->portEdit, "Bad port number",
                      "Please enter an integer between 0 and 65536", withMessages);
    }
    // A pasted line break would split the value over two lines of the settings file.
    for (QLineEdit* edit : {ui_->hostEdit, ui_->userEdit, ui_->passwordEdit, ui_->remotePathEdit,
                            ui_->fileNameEdit}) {
        if (!IsOneLine(Text(edit))) {
            return Refuse(edit, "Invalid Field", "Please enter this field on one line",
                          withMessages);
        }
    }
    return true;
}

bool WebStatsWindow::Apply() {
    if (!switchedOn_) {
        return true;
    }
    if (!Validate(true)) {
        return false;
    }
    if (locationChanged_) {
        // Trimmed as the next start would read it back.
        model_.SetHostName(std::string(TrimSpace(Text(ui_->hostEdit))));
        model_.SetRemotePath(NormaliseRemotePath(Text(ui_->remotePathEdit)));
    }
    if (otherChanged_) {
        model_.SetPageFileName(NormaliseFileName(Text(ui_->fileNameEdit)));
        int port = 0;
        ParsePortText(Text(ui_->portEdit), port);
        model_.SetPort(port);
        model_.SetUserName(std::string(TrimSpace(Text(ui_->userEdit))));
        model_.SetPassword(Text(ui_->passwordEdit));
        const int index = ui_->intervalCombo->currentIndex();
        if (index >= 0) {
            model_.SetUploadInterval(
                kUploadIntervals[static_cast<std::size_t>(index)].milliseconds);
        }
    }
    model_.SetEnabled(true);
    Save();
    return true;
}

void WebStatsWindow::OnApplyClicked() {
    if (Apply()) {
        locationChanged_ = false;
        otherChanged_ = false;
        ui_->applyButton->setEnabled(false);
    }
}

void WebStatsWindow::OnOk() {
    if (Apply()) {
        close();
    }
}

void WebStatsWindow::Save() {
    // A failure is told by the data folder's notice, as for every data file.
    model_.Save();
}

void WebStatsWindow::Update() {
    std::uint64_t added = 0;
    const std::vector<std::string> lines = model_.CopyLog(&added);
    if (!model_.Enabled() || lines.empty() || added == linesShown_) {
        return;
    }
    // The model keeps the last 20 lines; the list keeps every line shown since it opened.
    const std::size_t fresh =
        static_cast<std::size_t>(std::min<std::uint64_t>(added - linesShown_, lines.size()));
    for (std::size_t i = lines.size() - fresh; i < lines.size(); ++i) {
        ui_->logList->addItem(QString::fromStdString(lines[i]));
    }
    linesShown_ = added;
    ui_->logList->scrollToBottom();
}
