#pragma once

#include "WindowSetup.h"

#include <QIcon>
#include <QString>

// What the notification-area icon shows: one image and one tip, the same for the program's whole life.
namespace TaskTray {

inline QString tip()
{
    return QStringLiteral("スクリブレット");
}

// The size the panel draws at, on any screen: a theme's icon, or one of the built-in images.
inline QIcon icon()
{
    return ui::programIcon();
}

} // namespace TaskTray
