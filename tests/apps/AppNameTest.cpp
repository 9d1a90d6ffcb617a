#include "apps/AppName.h"

#include <gtest/gtest.h>

namespace {

TEST(AppName, DesktopUnitsNameTheApplication) {
    struct Case {
        const char* name;
        const char* cgroup;
        const char* app;
    };
    const Case cases[] = {
        {"GNOME scope, escaped dash",
         "0::/user.slice/user-1000.slice/user@1000.service/app.slice/"
         "app-gnome-firefox\\x2desr-4242.scope\n",
         "firefox-esr"},
        {"Flatpak scope",
         "0::/user.slice/user@1000.service/app.slice/"
         "app-flatpak-org.mozilla.firefox-123456.scope\n",
         "org.mozilla.firefox"},
        {"no launcher",
         "0::/user.slice/user@1000.service/app.slice/app-org.kde.konsole-8f3a1b.scope",
         "org.kde.konsole"},
        {"desktop file name", "0::/app.slice/app-gnome-org.gnome.Terminal.desktop-5555.scope",
         "org.gnome.Terminal"},
        {"service with an instance",
         "0::/user.slice/user@1000.service/app.slice/"
         "app-org.gnome.Evolution\\x2dalarm\\x2dnotify@autostart.service",
         "org.gnome.Evolution-alarm-notify"},
        {"the innermost unit wins",
         "0::/app.slice/app-gnome-code-11.scope/app-gnome-firefox-22.scope", "firefox"},
        {"cgroup v1 lines",
         "12:pids:/user.slice\n1:name=systemd:/user.slice/app-kde-org.kde.dolphin-77.scope\n",
         "org.kde.dolphin"},
        {"a terminal's shell is no application",
         "0::/app.slice/app-org.gnome.Terminal.slice/vte-spawn-1.scope", ""},
        {"a system service is no application", "0::/system.slice/cron.service\n", ""},
        {"a scope without its random part", "0::/app.slice/app-firefox.scope", ""},
        {"nothing", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AppNameFromCgroup(c.cgroup), c.app) << c.name;
    }
}

TEST(AppName, ProcessesOutsideUnitsGoByTheirNames) {
    struct Case {
        const char* name;
        const char* comm;
        const char* executable;
        const char* app;
    };
    const Case cases[] = {
        {"comm as it is", "python3\n", "/usr/bin/python3.11", "python3"},
        {"comm cut at 15 characters", "chromium-browse\n", "/usr/lib/chromium/chromium-browser",
         "chromium-browser"},
        {"a renamed thread keeps its name", "Web Content\n", "/usr/lib/firefox/firefox",
         "Web Content"},
        {"a 15-character comm of another file", "abcdefghijklmno", "/bin/sh", "abcdefghijklmno"},
        {"a deleted executable", "updater-service\n", "/opt/updater-service-x (deleted)",
         "updater-service-x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProcessName(c.comm, c.executable), c.app) << c.name;
    }
}

}  // namespace
