#include "tray/CTrayHiding.h"

TrayWindowAction CTrayHiding::Start(bool trayAvailable) {
    if (hidden_ && trayAvailable) {
        misses_ = 0;
        return TrayWindowAction::Hide;
    }
    hidden_ = false;
    return TrayWindowAction::None;
}

TrayWindowAction CTrayHiding::Toggle(bool trayAvailable) {
    if (hidden_) {
        return Restore();
    }
    return trayAvailable ? Hide() : TrayWindowAction::None;
}

TrayWindowAction CTrayHiding::CheckTray(bool trayAvailable) {
    if (!hidden_) {
        return TrayWindowAction::None;
    }
    misses_ = trayAvailable ? 0 : misses_ + 1;
    return misses_ >= kMissesBeforeRescue ? Restore() : TrayWindowAction::None;
}

TrayWindowAction CTrayHiding::Hide() {
    hidden_ = true;
    misses_ = 0;
    return TrayWindowAction::Hide;
}

TrayWindowAction CTrayHiding::Restore() {
    hidden_ = false;
    misses_ = 0;
    return TrayWindowAction::Restore;
}
