#pragma once

#include <cstdint>

// Turns the icon's activations into toggles of the graph window.
//
// Hosts speaking StatusNotifierItem report one activation per click and never a double click,
// so there a click toggles. An XEmbed tray reports a click and then, for a double click, a
// double click as well: there only the double click toggles. Either way two toggles never come
// within one double-click interval, so a host that reports each click of a double click as an
// activation still toggles once.
class CTrayActivation {
public:
    enum class Host { StatusNotifier, XEmbed };
    enum class Event { Click, DoubleClick, ContextMenu, MiddleClick };

    CTrayActivation(Host host, std::uint32_t doubleClickMs)
        : host_(host), interval_(doubleClickMs) {}

    // True when `event`, at `nowMs`, toggles the window.
    bool Toggles(Event event, std::uint32_t nowMs);

    Host HostKind() const { return host_; }

private:
    Host host_;
    std::uint32_t interval_;
    bool toggled_ = false;
    std::uint32_t lastToggleMs_ = 0;
};
