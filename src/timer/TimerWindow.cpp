#include "timer/TimerWindow.h"

#include "ui_TimerWindow.h"

namespace {

// Puts a text into a read-only field only when it changed, so a selection a user made to copy
// a figure survives refreshes that change nothing.
void ShowText(QLineEdit* field, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (field->text() != shown) {
        field->setText(shown);
    }
}

CPictureButton::Pictures LoadButtonPictures(const char* name) {
    const QString base = QStringLiteral(":/timer/%1").arg(QLatin1String(name));
    const QPixmap normal(base + ".png");
    // Focus and disabled show the normal picture.
    return {normal, QPixmap(base + "-pressed.png"), normal, normal};
}

}  // namespace

TimerWindow::TimerWindow(const CTrafficHistory& history, const MsClock& clock, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TimerWindow>()), panel_(history, clock) {
    ui_->setupUi(this);
    LoadPictures();
    connect(ui_->startButton, &QAbstractButton::clicked, this, [this] {
        panel_.PressStart();
        ShowPanel();
    });
    connect(ui_->pauseButton, &QAbstractButton::clicked, this, [this] {
        panel_.PressPause();
        ShowPanel();
    });
    connect(ui_->resetButton, &QAbstractButton::clicked, this, [this] {
        panel_.PressReset();
        ShowPanel();
    });
    ShowPanel();
    // Space starts the stopwatch as soon as the window opens.
    ui_->startButton->setFocus();
}

TimerWindow::~TimerWindow() = default;

void TimerWindow::LoadPictures() {
    // The pictures are compiled into this library.
    Q_INIT_RESOURCE(timer_buttons);
    ui_->startButton->SetPictures(LoadButtonPictures("play"));
    ui_->pauseButton->SetPictures(LoadButtonPictures("pause"));
    ui_->resetButton->SetPictures(LoadButtonPictures("stop"));
}

void TimerWindow::Refresh() {
    panel_.Refresh();
    ShowPanel();
}

void TimerWindow::ShowPanel() {
    const TimerFigures& figures = panel_.Figures();
    ShowText(ui_->downloadedEdit, figures.downloaded);
    ShowText(ui_->uploadedEdit, figures.uploaded);
    ShowText(ui_->downloadRateEdit, figures.downloadRate);
    ShowText(ui_->uploadRateEdit, figures.uploadRate);
    ShowText(ui_->elapsedEdit, figures.elapsed);
    ShowText(ui_->stateEdit, panel_.State());
    // The picture does not change; screen readers hear the name.
    const QString caption = QString::fromStdString(panel_.StartCaption());
    if (ui_->startButton->text() != caption) {
        ui_->startButton->setText(caption);
        ui_->startButton->setAccessibleName(caption);
    }
}
