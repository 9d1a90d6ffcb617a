#include "app/XDisplay.h"

#include <QCoreApplication>
#include <QString>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

bool UseXPlatform() {
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    if (chosen == nullptr || chosen[0] == '\0') {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        return true;
    }
    // "xcb", "xcb:arguments" or a list to try in turn ("xcb;offscreen"): the first one counts.
    const std::string_view platforms(chosen);
    return platforms.substr(0, platforms.find_first_of(":;")) == "xcb";
}

CXServerProbe::CXServerProbe()
    : connection_(xcb_connect(nullptr, nullptr)),
      reachable_(xcb_connection_has_error(connection_) == 0) {}

CXServerProbe::~CXServerProbe() {
    xcb_disconnect(connection_);
}

std::string NoXServerMessage() {
    const char* display = std::getenv("DISPLAY");
    const QString message =
        display == nullptr
            ? QCoreApplication::translate("XDisplay",
                                          "Tallyglass needs an X server or XWayland; DISPLAY is "
                                          "unset or unreachable (DISPLAY is unset).")
            : QCoreApplication::translate("XDisplay",
                                          "Tallyglass needs an X server or XWayland; DISPLAY is "
                                          "unset or unreachable (DISPLAY=\"%1\").")
                  .arg(QString::fromLocal8Bit(display));
    return message.toStdString();
}
