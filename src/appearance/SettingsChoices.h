#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "appearance/ColourRgb.h"
#include "appearance/DesktopScheme.h"
#include "tray/TrayRules.h"

// The Graph Speed trackbar runs from 0 (slowest) to 100 (fastest).
inline constexpr int kGraphSpeedMax = 100;

// Trackbar position for a frame delay (ms): 100 - trunc(delay / 33 * 100), moved left where
// needed so that the position gives the same delay back. Without that, delays 26 to 32 would
// come back one faster from every Apply that never touched the trackbar.
int GraphSpeedPosition(int frameDelay);
// Frame delay (ms) for a trackbar position: floor(33 - position * 0.32); 0 gives 33, 100 gives 1.
int FrameDelayForPosition(int position);

// One entry of the Network Interfaces list.
struct InterfaceChoice {
    std::string description;
    bool ticked = false;

    friend bool operator==(const InterfaceChoice&, const InterfaceChoice&) = default;
};

// The list after the sampler's set of interfaces changed: every description it knows, once each
// (a new interface stands twice in the sampler's list for one walk), in its order. An entry
// already shown keeps the tick the user gave it; a new one is ticked when it is monitored.
std::vector<InterfaceChoice> RefreshInterfaceChoices(
    const std::vector<InterfaceChoice>& shown, const std::vector<std::string>& names,
    const std::function<bool(const std::string&)>& isMonitored);

// What the settings window's controls hold when Apply is pressed.
struct SettingsChoices {
    int themeIndex = -1;  // selected Colour Theme entry; the last entry is "Custom"
    std::array<ColourRgb, kColourSlotCount> colours;  // the colour boxes, indexed by ColourSlot
    // Graph Type entry (0 lines, 1 bars, 2 dial, -1 none), only when the user changed it.
    bool graphTypeChanged = false;
    int graphTypeIndex = -1;
    bool showCaption = false;
    bool scanlineEffect = false;
    TrayFace trayFace = TrayFace::Picture;  // "Tray icon"
    int frameDelay = 15;                    // ms, from the trackbar
    std::vector<InterfaceChoice> interfaces;
    bool keepWindowRect = false;  // "Start with current window dimensions"
    SchemeFollowing following;    // the switch and the light and dark theme lists
};
