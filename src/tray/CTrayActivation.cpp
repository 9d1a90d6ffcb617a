#include "tray/CTrayActivation.h"

#include "platform/MsClock.h"

bool CTrayActivation::Toggles(Event event, std::uint32_t nowMs) {
    const Event toggling = host_ == Host::StatusNotifier ? Event::Click : Event::DoubleClick;
    if (event != toggling && event != Event::DoubleClick) {
        return false;
    }
    if (toggled_ && MsElapsed(lastToggleMs_, nowMs) < interval_) {
        return false;
    }
    toggled_ = true;
    lastToggleMs_ = nowMs;
    return true;
}
