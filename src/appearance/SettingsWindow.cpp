#include "appearance/SettingsWindow.h"

#include <QCoreApplication>
#include <QListWidgetItem>

#include <algorithm>
#include <cstdio>

#include "appearance/CColourComboBox.h"
#include "appearance/CDesktopSchemeWatcher.h"
#include "appearance/CSettings.h"
#include "appearance/CThemeTable.h"
#include "sampling/CTrafficSampler.h"
#include "ui_SettingsWindow.h"

namespace {

// Where an entry of the theme and graph type lists keeps its English name, which the settings
// file holds; the entry shows it translated.
constexpr int kEnglishNameRole = Qt::UserRole;

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

void AddNames(QComboBox& list, const std::vector<std::string>& names, const char* context) {
    for (const std::string& name : names) {
        list.addItem(QCoreApplication::translate(context, name.c_str()), ToQString(name));
    }
}

int IndexOfName(const QComboBox& list, const QString& name) {
    return list.findData(name, kEnglishNameRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

std::string SelectedName(const QComboBox& list) {
    return list.currentData(kEnglishNameRole).toString().toStdString();
}

}  // namespace

SettingsWindow::SettingsWindow(CSettings& settings, CThemeTable& themes, CTrafficSampler& sampler,
                               CAutostartEntry autostart,
                               const CDesktopSchemeWatcher& desktopScheme, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::SettingsWindow>()),
      settings_(settings),
      themes_(themes),
      sampler_(sampler),
      autostart_(std::move(autostart)),
      desktopScheme_(desktopScheme) {
    ui_->setupUi(this);
    // Indexed by ColourSlot.
    colourBoxes_ = {ui_->downloadColour, ui_->uploadColour, ui_->textColour,
                    ui_->backgroundTopColour, ui_->backgroundBottomColour};

    ui_->graphSpeed->setRange(0, kGraphSpeedMax);
    ui_->graphSpeed->setValue(GraphSpeedPosition(settings_.FrameDelay()));

    FillInterfaceList(InterfaceChoices({}));

    FillThemeList(*ui_->themeList, settings_.themeName);
    FillThemeList(*ui_->lightThemeList, settings_.following.lightTheme);
    FillThemeList(*ui_->darkThemeList, settings_.following.darkTheme);
    ui_->followDesktopScheme->setChecked(settings_.following.on);
    AddNames(*ui_->graphTypeList, settings_.GraphTypeNames(), "GraphTypes");
    // A type the list has no entry for (a damaged file) selects nothing.
    const int typeIndex = settings_.graphType - kGraphLines;
    ui_->graphTypeList->setCurrentIndex(
        typeIndex >= 0 && typeIndex < ui_->graphTypeList->count() ? typeIndex : -1);

    ui_->showCaption->setChecked(settings_.showCaption);
    ui_->scanlineEffect->setChecked(settings_.scanlineEffect);
    // The entries stand in the order of the faces' numbers.
    ui_->trayFaceList->setCurrentIndex(static_cast<int>(settings_.trayFace));
    ui_->keepWindowRect->setChecked(false);
    ShowCurrentTheme();
    ShowDesktopScheme();
    ui_->startAtLogin->setChecked(autostart_.Exists());

    // Connected after the controls are set up, so only the user's changes count.
    connect(ui_->themeList, &QComboBox::activated, this, &SettingsWindow::OnThemeChosen);
    connect(ui_->followDesktopScheme, &QCheckBox::toggled, this,
            &SettingsWindow::ShowDesktopScheme);
    connect(&desktopScheme_, &CDesktopSchemeWatcher::Changed, this,
            &SettingsWindow::ShowDesktopScheme);
    connect(ui_->graphTypeList, &QComboBox::currentIndexChanged, this,
            [this] { graphTypeChanged_ = true; });
    connect(ui_->okButton, &QPushButton::clicked, this, &SettingsWindow::accept);
    connect(ui_->applyButton, &QPushButton::clicked, this, &SettingsWindow::Apply);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &SettingsWindow::reject);

    observation_.emplace(sampler_, *this);
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::ShowColours(const std::array<ColourRgb, kColourSlotCount>& colours) {
    for (int i = 0; i < kColourSlotCount; ++i) {
        colourBoxes_[i]->ShowColour(colours[i]);
    }
}

void SettingsWindow::ShowCurrentTheme() {
    // The user's own theme, also while the graph shows the desktop's light or dark choice.
    std::array<ColourRgb, kColourSlotCount> colours;
    for (int i = 0; i < kColourSlotCount; ++i) {
        colours[i] = settings_.OwnColour(kColourSlots[i]);
    }
    ShowColours(colours);
}

// The theme lists are filled in one place, so the three offer the same entries.
void SettingsWindow::FillThemeList(QComboBox& list, const std::string& selected) {
    for (const std::string& name : settings_.ThemeNames()) {
        list.addItem(QCoreApplication::translate("Themes", CThemeTable::ShownName(name).c_str()),
                     ToQString(name));
    }
    list.setCurrentIndex(IndexOfName(list, ToQString(selected).trimmed()));
}

void SettingsWindow::ShowDesktopScheme() {
    const CDesktopSchemeWatcher::State state = desktopScheme_.CurrentState();
    const bool offered = state == CDesktopSchemeWatcher::State::Known;
    const bool following = offered && ui_->followDesktopScheme->isChecked();
    ui_->followDesktopScheme->setEnabled(offered);
    for (QWidget* control :
         {static_cast<QWidget*>(ui_->lightThemeLabel), static_cast<QWidget*>(ui_->lightThemeList),
          static_cast<QWidget*>(ui_->darkThemeLabel), static_cast<QWidget*>(ui_->darkThemeList)}) {
        control->setEnabled(following);
    }
    ui_->noPortalLabel->setVisible(state == CDesktopSchemeWatcher::State::NoPortal);
}

void SettingsWindow::OnThemeChosen(int index) {
    // "Custom" (the last entry) keeps whatever the boxes show; any other theme is previewed in
    // them, and applied only by Apply.
    if (index < 0 || index == ui_->themeList->count() - 1) {
        return;
    }
    const std::string name =
        ui_->themeList->itemData(index, kEnglishNameRole).toString().toStdString();
    std::array<ColourRgb, kColourSlotCount> colours;
    for (int i = 0; i < kColourSlotCount; ++i) {
        colours[i] = themes_.ThemeColour(name, kColourSlots[i]);
    }
    ShowColours(colours);
}

std::vector<InterfaceChoice> SettingsWindow::InterfaceChoices(
    const std::vector<InterfaceChoice>& shown) const {
    return RefreshInterfaceChoices(
        shown, sampler_.InterfaceNames(),
        [this](const std::string& name) { return sampler_.IsMonitored(name); });
}

void SettingsWindow::FillInterfaceList(const std::vector<InterfaceChoice>& entries) {
    ui_->interfaceList->clear();
    descriptions_.clear();
    for (const InterfaceChoice& entry : entries) {
        auto* item = new QListWidgetItem(ToQString(entry.description), ui_->interfaceList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.ticked ? Qt::Checked : Qt::Unchecked);
        descriptions_.push_back(entry.description);
    }
}

std::vector<InterfaceChoice> SettingsWindow::ShownInterfaces() const {
    std::vector<InterfaceChoice> shown;
    for (std::size_t i = 0; i < descriptions_.size(); ++i) {
        const QListWidgetItem* item = ui_->interfaceList->item(static_cast<int>(i));
        shown.push_back({descriptions_[i], item != nullptr && item->checkState() == Qt::Checked});
    }
    return shown;
}

void SettingsWindow::Update() {
    // Every interface is listed, so Apply never decides about one the user did not see, and the
    // ticks the user already changed stay as they are.
    const int row = ui_->interfaceList->currentRow();
    FillInterfaceList(InterfaceChoices(ShownInterfaces()));
    ui_->interfaceList->setCurrentRow(std::min(row, ui_->interfaceList->count() - 1));
}

bool SettingsWindow::Apply() {
    SettingsChoices choices;
    choices.themeIndex = ui_->themeList->currentIndex();
    for (int i = 0; i < kColourSlotCount; ++i) {
        choices.colours[i] = colourBoxes_[i]->SelectedColour();
    }
    choices.graphTypeChanged = graphTypeChanged_;
    choices.graphTypeIndex = ui_->graphTypeList->currentIndex();
    choices.showCaption = ui_->showCaption->isChecked();
    choices.scanlineEffect = ui_->scanlineEffect->isChecked();
    choices.trayFace = TrayFaceFromNumber(ui_->trayFaceList->currentIndex());
    choices.frameDelay = FrameDelayForPosition(ui_->graphSpeed->value());
    choices.interfaces = ShownInterfaces();
    choices.keepWindowRect = ui_->keepWindowRect->isChecked();
    // Greyed out, the switch still holds the saved choice, which Apply keeps.
    choices.following = {ui_->followDesktopScheme->isChecked(), SelectedName(*ui_->lightThemeList),
                         SelectedName(*ui_->darkThemeList)};

    // A failed save is told by the data folder's notice, as for every data file.
    const bool saved = settings_.Apply(choices);
    graphTypeChanged_ = false;
    // The theme in effect, which is "Custom" when the boxes no longer showed the chosen one.
    ui_->themeList->setCurrentIndex(IndexOfName(*ui_->themeList, ToQString(settings_.themeName)));
    ShowCurrentTheme();
    return ApplyStartAtLogin() && saved;
}

bool SettingsWindow::ApplyStartAtLogin() {
    // The entry is touched only when the box disagrees with it, so an existing entry is never
    // rewritten. A failure leaves the box as the user set it.
    const bool wanted = ui_->startAtLogin->isChecked();
    if (wanted == autostart_.Exists()) {
        return true;
    }
    if (wanted ? autostart_.Write() : autostart_.Remove()) {
        return true;
    }
    const QString path = ToQString(autostart_.FilePath());
    const QString told = wanted ? tr("tallyglass: could not write the login start entry %1")
                                : tr("tallyglass: could not remove the login start entry %1");
    std::fprintf(stderr, "%s\n", told.arg(path).toLocal8Bit().constData());
    return false;
}

void SettingsWindow::StopWatching() {
    observation_.reset();
}

void SettingsWindow::accept() {
    Apply();
    StopWatching();
    QDialog::accept();
}

void SettingsWindow::reject() {
    StopWatching();
    QDialog::reject();
}
