#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Following the desktop's light or dark appearance: which theme the graph shows for the
// preference the desktop publishes, and the user's choices behind it.

// The preference as the desktop publishes it (the portal's "color-scheme" numbers).
enum class DesktopScheme {
    NoPreference = 0,
    PreferDark = 1,
    PreferLight = 2,
};

// The portal's number as a preference; numbers it may add later count as no preference, as its
// documentation asks.
DesktopScheme DesktopSchemeFromNumber(std::uint32_t number);

// "Follow the desktop's light and dark" and its two theme choices.
struct SchemeFollowing {
    bool on = false;
    std::string lightTheme;
    std::string darkTheme;

    friend bool operator==(const SchemeFollowing&, const SchemeFollowing&) = default;
};

// The rule: while following is on and the desktop has said something, dark shows the dark
// choice and anything else the light one (GNOME publishes its plain light look as "no
// preference"); otherwise the user's own theme. `desktop` is empty while nobody has answered,
// and where no desktop portal is.
const std::string& ThemeToShow(const SchemeFollowing& following,
                               const std::optional<DesktopScheme>& desktop,
                               const std::string& ownTheme);
