#include "appearance/SettingsChoices.h"

#include <algorithm>
#include <cmath>

#include "persistence/CSettingsFile.h"

int FrameDelayForPosition(int position) {
    return static_cast<int>(std::floor(33.0 - position * 0.01 * 32.0));
}

int GraphSpeedPosition(int frameDelay) {
    const int delay = std::clamp(frameDelay, kMinFrameDelay, kMaxFrameDelay);
    int position =
        kGraphSpeedMax - static_cast<int>(static_cast<double>(delay) * (1.0 / 33.0) * 100.0);
    while (position > 0 && FrameDelayForPosition(position) < delay) {
        --position;
    }
    return position;
}

std::vector<InterfaceChoice> RefreshInterfaceChoices(
    const std::vector<InterfaceChoice>& shown, const std::vector<std::string>& names,
    const std::function<bool(const std::string&)>& isMonitored) {
    std::vector<InterfaceChoice> list;
    for (const std::string& name : names) {
        const auto same = [&name](const InterfaceChoice& entry) {
            return entry.description == name;
        };
        if (std::any_of(list.begin(), list.end(), same)) {
            continue;
        }
        const auto old = std::find_if(shown.begin(), shown.end(), same);
        list.push_back({name, old != shown.end() ? old->ticked : isMonitored(name)});
    }
    return list;
}
