#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "appearance/CThemeTable.h"
#include "appearance/ColourRgb.h"
#include "appearance/DesktopScheme.h"
#include "appearance/IGraphSettingsTarget.h"
#include "appearance/SettingsChoices.h"
#include "core/Translatable.h"
#include "persistence/CDataFolder.h"
#include "persistence/CSettingsFile.h"
#include "tray/TrayRules.h"

class CTrafficSampler;

// The user's appearance and behaviour choices. Created once when the graph window is set up: it
// loads "settings.dat" and puts it into effect on the theme table, the sampler and the graph
// view. The settings window changes the fields, then calls the operations below and Save.
// The theme table shows the user's own theme, or the light or dark choice while following the
// desktop (see ThemeToShow); the fields and the file keep the user's own theme either way.
class CSettings {
public:
    // What saving the window rectangle adds to the graph's size for the frame around it. The
    // graph window has no frame of its own here (the window manager's decorations are outside
    // the size we set), so the size saved is the size restored; any allowance would make the
    // window grow at every save and restart.
    static constexpr int kWindowFrame = 0;

    CSettings(const CDataFolder& folder, CThemeTable& themes, CTrafficSampler& sampler,
              IGraphSettingsTarget& graphView);
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    // Makes the named theme current (white space at both ends ignored); an unknown name changes
    // nothing. `themeName` then holds the current theme's name.
    void SetThemeName(std::string_view name);

    // What the desktop prefers now; empty while unknown or where nobody tells. True when the
    // theme shown changed: it is then marked as a change for the frame.
    bool SetDesktopScheme(const std::optional<DesktopScheme>& scheme);
    // The user's own theme's colours, whatever the table shows for the desktop.
    ColourRgb OwnColour(ColourSlot slot) const;

    // Gives the graph view the renderer for `type`. An unknown type gets the line renderer, so the
    // window always has one, and `graphType` becomes kGraphLines; false then.
    bool ApplyGraphType(int type);

    // True once after loading and after every change the frame must apply (caption, scanline).
    bool TakeChanged();
    void MarkChanged() { changed_ = true; }
    // Whether a change waits for TakeChanged.
    bool Changed() const { return changed_; }

    bool ShowCaption() const { return showCaption; }
    bool ScanlineEffect() const { return scanlineEffect; }

    // The graph type list's entries, in English (the list shows them translated).
    // One per graph type, from kGraphLines on.
    static constexpr const char* kGraphTypeNames[] = {TRANSLATABLE("GraphTypes", "Lines"),
                                                      TRANSLATABLE("GraphTypes", "Bars"),
                                                      TRANSLATABLE("GraphTypes", "Dial")};

    const std::vector<std::string>& ThemeNames() const { return themeNames_; }
    const std::vector<std::string>& GraphTypeNames() const { return graphTypeNames_; }

    // Copies the current theme's five colours into the colour fields.
    void TakeThemeColours();
    // "Start with current window dimensions": the view's position, and its size with the frame.
    void KeepCurrentWindowRect();

    // The graph view's frame delay (ms).
    int FrameDelay() const;

    // Puts the settings window's choices into effect and saves them: the theme (the chosen one
    // when the colour boxes still show its colours, else "Custom" with the boxes' colours), the
    // graph type when its selection changed, the flags, the frame delay, the ticked interfaces
    // and, when asked, the window rectangle. False when the file could not be written; the
    // choices are in effect all the same.
    bool Apply(const SettingsChoices& choices);

    // What Save writes: the fields, the view's frame delay and the sampler's excluded list.
    SettingsValues CurrentValues() const;
    bool Save() const;

    // Saved window rectangle; -1 when none is saved.
    int windowLeft = -1;
    int windowTop = -1;
    int windowWidth = -1;
    int windowHeight = -1;
    // Set and cleared by the tray toggle; written by the next Save.
    bool hiddenInTray = false;
    bool showCaption = false;
    bool scanlineEffect = false;
    TrayFace trayFace = TrayFace::Picture;
    // The current theme's colours as last saved or loaded.
    ColourRgb uploadColour;
    ColourRgb downloadColour;
    ColourRgb textColour;
    ColourRgb backgroundTopColour;
    ColourRgb backgroundBottomColour;
    std::string themeName;        // kept by SetThemeName
    int graphType = kGraphLines;  // kept by ApplyGraphType
    // Set by Load and Apply, with names of the table only.
    SchemeFollowing following;

private:
    void Load();
    // The theme the rule gives for the present choices and preference, made current; true (and
    // marked as a change) when that is another theme than before.
    bool ShowTheme();
    // `wanted`, its names checked: one the table lacks turns following off and takes the default.
    SchemeFollowing CheckedFollowing(const SchemeFollowing& wanted) const;

    const CDataFolder& folder_;
    CThemeTable& themes_;
    CTrafficSampler& sampler_;
    IGraphSettingsTarget& graphView_;
    std::vector<std::string> themeNames_;
    std::vector<std::string> graphTypeNames_;
    std::optional<DesktopScheme> desktopScheme_;
    bool changed_ = false;
};
