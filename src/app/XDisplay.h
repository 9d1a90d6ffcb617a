#pragma once

#include <string>

struct xcb_connection_t;

// The graph window is placed at absolute screen positions, which only X allows: unless the user
// chose a platform, the program runs on X (XWayland on a Wayland desktop). Sets QT_QPA_PLATFORM
// to "xcb" when it is unset; true when the platform is then X.
bool UseXPlatform();

// A connection to the X server at $DISPLAY, made to learn whether one answers. Keep it until Qt
// has made its own: an X server resets when its last client leaves, and would then refuse Qt.
class CXServerProbe {
public:
    CXServerProbe();
    ~CXServerProbe();
    CXServerProbe(const CXServerProbe&) = delete;
    CXServerProbe& operator=(const CXServerProbe&) = delete;

    bool Reachable() const { return reachable_; }

private:
    xcb_connection_t* connection_;
    bool reachable_;
};

// The one line that says why the program cannot start without X, in the user's language once
// the translations are installed.
std::string NoXServerMessage();
