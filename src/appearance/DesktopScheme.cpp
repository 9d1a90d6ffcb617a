#include "appearance/DesktopScheme.h"

DesktopScheme DesktopSchemeFromNumber(std::uint32_t number) {
    switch (number) {
        case 1:
            return DesktopScheme::PreferDark;
        case 2:
            return DesktopScheme::PreferLight;
        default:
            return DesktopScheme::NoPreference;
    }
}

const std::string& ThemeToShow(const SchemeFollowing& following,
                               const std::optional<DesktopScheme>& desktop,
                               const std::string& ownTheme) {
    if (!following.on || !desktop) {
        return ownTheme;
    }
    return *desktop == DesktopScheme::PreferDark ? following.darkTheme : following.lightTheme;
}
