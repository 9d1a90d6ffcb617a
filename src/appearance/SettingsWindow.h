#pragma once

#include <QDialog>

class QComboBox;

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "appearance/CAutostartEntry.h"
#include "appearance/ColourRgb.h"
#include "appearance/SettingsChoices.h"
#include "core/CObservable.h"

namespace Ui {
class SettingsWindow;
}
class CColourComboBox;
class CDesktopSchemeWatcher;
class CSettings;
class CThemeTable;
class CTrafficSampler;

// The Settings tool window: colour theme and custom colours, graph type and speed, the caption,
// scanline and start-at-login switches, the saved window rectangle and the monitored interfaces.
// Nothing changes until Apply or OK; each Apply also writes "settings.dat". While open it watches
// the sampler, so an interface that comes or goes shows up in its list, and the desktop's light
// and dark, which can be followed only while a desktop portal tells it.
class SettingsWindow : public QDialog, public CObserver {
    Q_OBJECT
public:
    SettingsWindow(CSettings& settings, CThemeTable& themes, CTrafficSampler& sampler,
                   CAutostartEntry autostart, const CDesktopSchemeWatcher& desktopScheme,
                   QWidget* parent = nullptr);
    ~SettingsWindow() override;

    // The sampler's set of interfaces changed.
    void Update() override;

    // Puts the choices into effect and saves them. False when a file could not be written (told
    // on stderr); the choices are in effect all the same.
    bool Apply();

    // OK: Apply, then close. Cancel: close; an earlier Apply stays in effect.
    void accept() override;
    void reject() override;

private:
    void ShowColours(const std::array<ColourRgb, kColourSlotCount>& colours);
    void ShowCurrentTheme();
    void OnThemeChosen(int index);
    void FillThemeList(QComboBox& list, const std::string& selected);
    // Following is offered while a portal tells the desktop's preference; otherwise it is greyed
    // out with the reason.
    void ShowDesktopScheme();
    // The sampler's interfaces, keeping the ticks of those in `shown`.
    std::vector<InterfaceChoice> InterfaceChoices(const std::vector<InterfaceChoice>& shown) const;
    void FillInterfaceList(const std::vector<InterfaceChoice>& entries);
    std::vector<InterfaceChoice> ShownInterfaces() const;
    bool ApplyStartAtLogin();
    void StopWatching();

    std::unique_ptr<Ui::SettingsWindow> ui_;
    std::array<CColourComboBox*, kColourSlotCount> colourBoxes_{};
    CSettings& settings_;
    CThemeTable& themes_;
    CTrafficSampler& sampler_;
    CAutostartEntry autostart_;
    const CDesktopSchemeWatcher& desktopScheme_;
    // The descriptions in list order: entry i of the list is description i.
    std::vector<std::string> descriptions_;
    bool graphTypeChanged_ = false;
    std::optional<CScopedObservation> observation_;
};
