#pragma once

// Whether the desktop has a notification area that can take the program's icon now: a StatusNotifier
// host on the session bus (KDE, GNOME with its extension, Xfce, Wayland panels) or an X11 system tray
// (XEmbed). Asked again and again while the program runs, since panels start late and restart.
// It never asks Qt's own tray code, which settles on one kind of notification area for the
// process's life the first time it is asked.
bool notificationAreaPresent();

enum class NotificationAreaKind
{
    Absent,
    StatusNotifier,
    XEmbed
};

// The kind there now; a StatusNotifier host first, as Qt prefers it when it makes an icon.
NotificationAreaKind notificationAreaKind();

// Whether an area of that kind is there now; an icon made for one kind cannot move to the other.
bool notificationAreaPresent(NotificationAreaKind kind);

// A StatusNotifier host is registered on the session bus.
bool statusNotifierHostPresent();

// An X11 system tray owns its selection on the program's screen; false off X11.
bool xembedTrayPresent();
