#include "appearance/CSettings.h"

#include <algorithm>

#include "core/TrimSpace.h"
#include "sampling/CTrafficSampler.h"

namespace {

constexpr const char* kCustomTheme = "Custom";

struct SlotField {
    ColourSlot slot;
    ColourRgb SettingsValues::*value;
    ColourRgb CSettings::*field;
};

constexpr SlotField kSlots[] = {
    {ColourSlot::Download, &SettingsValues::downloadColour, &CSettings::downloadColour},
    {ColourSlot::Upload, &SettingsValues::uploadColour, &CSettings::uploadColour},
    {ColourSlot::Text, &SettingsValues::textColour, &CSettings::textColour},
    {ColourSlot::BackgroundTop, &SettingsValues::backgroundTopColour,
     &CSettings::backgroundTopColour},
    {ColourSlot::BackgroundBottom, &SettingsValues::backgroundBottomColour,
     &CSettings::backgroundBottomColour},
};

}  // namespace

CSettings::CSettings(const CDataFolder& folder, CThemeTable& themes, CTrafficSampler& sampler,
                     IGraphSettingsTarget& graphView)
    : folder_(folder), themes_(themes), sampler_(sampler), graphView_(graphView) {
    Load();
}

void CSettings::Load() {
    themeNames_ = themes_.ThemeNames();
    graphTypeNames_.assign(std::begin(kGraphTypeNames), std::end(kGraphTypeNames));

    // Starting values: what a missing file leaves in place, and what a short file keeps.
    SettingsValues loaded;
    loaded.showCaption = false;
    for (const SlotField& slot : kSlots) {
        loaded.*slot.value = themes_.ThemeColour(kCustomTheme, slot.slot);
    }
    ReadSettings(folder_, loaded);

    graphView_.SetPosition(loaded.windowLeft, loaded.windowTop);
    graphView_.SetHeight(loaded.windowHeight);
    graphView_.SetWidth(loaded.windowWidth);
    graphView_.SetFrameDelay(loaded.frameDelay);
    windowLeft = loaded.windowLeft;
    windowTop = loaded.windowTop;
    windowWidth = loaded.windowWidth;
    windowHeight = loaded.windowHeight;

    // "Custom" carries the saved colours and stays current when the saved name is no theme.
    themes_.SelectTheme(kCustomTheme);
    for (const SlotField& slot : kSlots) {
        themes_.SetCurrentColour(slot.slot, loaded.*slot.value);
    }
    TakeThemeColours();  // as the table holds them, each channel within 0-255
    SetThemeName(loaded.themeName);

    // Descriptions no present interface has are kept too, so they survive the next save.
    for (const std::string& description : loaded.excludedDescriptions) {
        sampler_.Deselect(description);
    }

    ApplyGraphType(loaded.graphType);

    showCaption = loaded.showCaption;
    scanlineEffect = loaded.scanlineEffect;
    hiddenInTray = loaded.hiddenInTray;
    trayFace = TrayFaceFromNumber(loaded.trayFace);
    following =
        CheckedFollowing({loaded.followDesktopScheme, std::string(TrimSpace(loaded.lightTheme)),
                          std::string(TrimSpace(loaded.darkTheme))});
    ShowTheme();
    changed_ = true;
}

SchemeFollowing CSettings::CheckedFollowing(const SchemeFollowing& wanted) const {
    SchemeFollowing checked = wanted;
    if (themes_.FindTheme(checked.lightTheme) == nullptr) {
        checked.on = false;
        checked.lightTheme = kDefaultLightTheme;
    }
    if (themes_.FindTheme(checked.darkTheme) == nullptr) {
        checked.on = false;
        checked.darkTheme = kDefaultDarkTheme;
    }
    return checked;
}

bool CSettings::ShowTheme() {
    const std::string shown = themes_.CurrentThemeName();
    themes_.SelectTheme(ThemeToShow(following, desktopScheme_, themeName));
    const bool changed = themes_.CurrentThemeName() != shown;
    changed_ = changed_ || changed;
    return changed;
}

bool CSettings::SetDesktopScheme(const std::optional<DesktopScheme>& scheme) {
    desktopScheme_ = scheme;
    return ShowTheme();
}

ColourRgb CSettings::OwnColour(ColourSlot slot) const {
    return themes_.ThemeColour(themeName, slot);
}

void CSettings::SetThemeName(std::string_view name) {
    themes_.SelectTheme(name);
    themeName = themes_.CurrentThemeName();
}

bool CSettings::ApplyGraphType(int type) {
    if (graphView_.SetRenderer(type)) {
        graphType = type;
        return true;
    }
    // Without a renderer the window cannot draw; storing the fallback mends the file at the next
    // save.
    graphView_.SetRenderer(kGraphLines);
    graphType = kGraphLines;
    return false;
}

bool CSettings::TakeChanged() {
    const bool was = changed_;
    changed_ = false;
    return was;
}

void CSettings::TakeThemeColours() {
    for (const SlotField& slot : kSlots) {
        this->*slot.field = themes_.CurrentColour(slot.slot);
    }
}

int CSettings::FrameDelay() const {
    return graphView_.FrameDelay();
}

bool CSettings::Apply(const SettingsChoices& choices) {
    // The chosen theme counts only while the boxes still show its colours; the last entry is
    // "Custom", whose colours are whatever the boxes show.
    const int lastIndex = static_cast<int>(themeNames_.size()) - 1;
    bool matches = choices.themeIndex >= 0 && choices.themeIndex < lastIndex;
    for (int i = 0; matches && i < kColourSlotCount; ++i) {
        matches = themes_.ThemeColour(themeNames_[choices.themeIndex], kColourSlots[i]) ==
                  choices.colours[i];
    }
    if (matches) {
        SetThemeName(themeNames_[choices.themeIndex]);
    } else {
        SetThemeName(kCustomTheme);
        for (int i = 0; i < kColourSlotCount; ++i) {
            themes_.SetCurrentColour(kColourSlots[i], choices.colours[i]);
        }
    }
    TakeThemeColours();

    // Only a changed selection replaces the renderer: a stored dial has no entry to show.
    if (choices.graphTypeChanged && choices.graphTypeIndex >= 0 &&
        choices.graphTypeIndex <= kGraphDial - kGraphLines) {
        ApplyGraphType(kGraphLines + choices.graphTypeIndex);
    }

    showCaption = choices.showCaption;
    scanlineEffect = choices.scanlineEffect;
    trayFace = choices.trayFace;
    graphView_.SetFrameDelay(std::clamp(choices.frameDelay, kMinFrameDelay, kMaxFrameDelay));

    for (const InterfaceChoice& entry : choices.interfaces) {
        if (entry.ticked) {
            sampler_.Select(entry.description);
        } else {
            sampler_.Deselect(entry.description);
        }
    }

    following = CheckedFollowing(choices.following);
    ShowTheme();

    if (choices.keepWindowRect) {
        KeepCurrentWindowRect();
    }
    const bool saved = Save();
    changed_ = true;
    return saved;
}

void CSettings::KeepCurrentWindowRect() {
    windowLeft = graphView_.Left();
    windowTop = graphView_.Top();
    windowWidth = graphView_.Width() + kWindowFrame;
    windowHeight = graphView_.Height() + kWindowFrame;
}

SettingsValues CSettings::CurrentValues() const {
    SettingsValues values;
    values.themeName = themeName;
    values.graphType = graphType;
    values.showCaption = showCaption;
    values.scanlineEffect = scanlineEffect;
    values.frameDelay = graphView_.FrameDelay();
    for (const SlotField& slot : kSlots) {
        values.*slot.value = this->*slot.field;
    }
    values.windowLeft = windowLeft;
    values.windowTop = windowTop;
    values.windowWidth = windowWidth;
    values.windowHeight = windowHeight;
    values.hiddenInTray = hiddenInTray;
    values.excludedDescriptions = sampler_.ExcludedDescriptions();
    values.trayFace = static_cast<int>(trayFace);
    values.followDesktopScheme = following.on;
    values.lightTheme = following.lightTheme;
    values.darkTheme = following.darkTheme;
    return values;
}

bool CSettings::Save() const {
    return WriteSettings(folder_, CurrentValues());
}
