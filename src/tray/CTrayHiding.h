#pragma once

// What the graph window must do; the caller carries it out.
enum class TrayWindowAction { None, Hide, Restore };

// Hiding the graph window into the tray. The settings' hidden-in-tray flag always says whether
// the window is hidden, and the window is never hidden where no tray could bring it back: not at
// start, not by a toggle, and not for long after the tray has gone away.
class CTrayHiding {
public:
    // Checks in a row without a tray, while hidden, before the window comes back by itself; a
    // tray host restarting is back well within that.
    static constexpr int kMissesBeforeRescue = 3;

    // `hiddenInTray` is the settings' flag; it must outlive this object.
    explicit CTrayHiding(bool& hiddenInTray) : hidden_(hiddenInTray) {}

    // At start: a saved flag hides the window only when there is a tray; otherwise the window is
    // shown and the flag cleared.
    TrayWindowAction Start(bool trayAvailable);
    // A double click on the window or an activation of the icon: a hidden window comes back
    // (with or without a tray), a shown one hides only into an existing tray.
    TrayWindowAction Toggle(bool trayAvailable);
    // The periodic check while hidden.
    TrayWindowAction CheckTray(bool trayAvailable);

    bool Hidden() const { return hidden_; }

private:
    TrayWindowAction Hide();
    TrayWindowAction Restore();

    bool& hidden_;
    int misses_ = 0;
};
