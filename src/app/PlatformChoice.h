#pragma once

#include <QString>

namespace tavanote {

// The environment values that decide the Qt platform the program starts on.
struct PlatformEnvironment {
    QString sessionType;     // XDG_SESSION_TYPE
    QString waylandDisplay;  // WAYLAND_DISPLAY
    QString display;         // DISPLAY
    QString qtPlatform;      // QT_QPA_PLATFORM
};

// On Wayland a program can neither place its windows nor keep them on top, so notes would lose their place and
// their "always on top". When the session runs Wayland, an X display is there (XWayland) and the user has chosen
// no Qt platform, the program starts on X11 ("xcb"); otherwise the choice is left to Qt (empty).
QString chosenPlatform(const PlatformEnvironment& environment);

// Reads the environment and sets QT_QPA_PLATFORM when a platform is chosen; call before the application object.
void applyPlatformChoice();

}  // namespace tavanote
