#pragma once

#include <QString>
#include <qwindowdefs.h>

// What the launcher of a start handed on, so that the desktop may give the focus to a window that
// another process's start asks for: an X11 startup id (DESKTOP_STARTUP_ID) or a Wayland activation
// token (XDG_ACTIVATION_TOKEN). Called just before the window is raised and activated.
void prepareActivation(WId window, const QString& token, bool x11StartupId);
