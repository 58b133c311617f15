#pragma once

#include "ProgramIcon.h"

#include <QIcon>
#include <QString>

// What the notification-area icon shows: one image and one tip, the same for the program's whole life.
namespace TaskTray {

inline QString tip()
{
    return QStringLiteral("スクリブレット");
}

// The built-in image for the size the panel draws at, on any screen.
inline QIcon icon()
{
    return ui::builtInProgramIcon();
}

} // namespace TaskTray
