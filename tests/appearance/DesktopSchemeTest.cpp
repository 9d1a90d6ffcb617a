#include "appearance/DesktopScheme.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(DesktopScheme, RuleShowsTheChoiceForThePreferenceOrTheOwnTheme) {
    const std::string own = "Deep Blue";
    const struct {
        const char* name;
        bool on;
        std::optional<std::uint32_t> portal;  // the portal's number; none: no portal
        const char* shown;
    } cases[] = {
        {"off, desktop dark", false, 1, "Deep Blue"},
        {"on, no portal", true, std::nullopt, "Deep Blue"},
        {"on, dark", true, 1, "Green LCD"},
        {"on, light", true, 2, "XP Silver"},
        {"on, no preference is the plain light look", true, 0, "XP Silver"},
        {"on, a number the portal may add later", true, 7, "XP Silver"},
    };
    for (const auto& c : cases) {
        const SchemeFollowing following{c.on, "XP Silver", "Green LCD"};
        std::optional<DesktopScheme> desktop;
        if (c.portal) {
            desktop = DesktopSchemeFromNumber(*c.portal);
        }
        EXPECT_EQ(ThemeToShow(following, desktop, own), c.shown) << c.name;
    }
}
