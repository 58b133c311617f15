#pragma once

#include <QObject>

enum class NotificationAreaKind
{
    Absent,
    // A StatusNotifier host on the session bus: KDE, GNOME with its extension, Xfce, Wayland panels.
    StatusNotifier,
    // An X11 system tray owning its selection on the program's screen.
    XEmbed
};

// What the desktop says about its notification area, told as it changes: panels start late, restart
// and go away while the program runs. Nothing here ever waits for the desktop.
class NotificationAreaSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // False until the desktop has answered the first question about its area, or been given up on.
    virtual bool hasAnswered() const = 0;
    // Where a new icon would go now. Qt settles on one kind for the process's life when it makes the
    // first icon, asking the desktop itself; Absent also while that question could keep Qt waiting.
    virtual NotificationAreaKind kindForNewIcon() const = 0;
    // Whether an area of that kind is there now; an icon made for one kind cannot move to the other.
    virtual bool isPresent(NotificationAreaKind kind) const = 0;

Q_SIGNALS:
    void changed();
};
