#pragma once

#include <QIcon>
#include <QString>

// What the notification-area icon shows: one image and one tip, the same for the program's whole life.
namespace TaskTray {

inline QString tip()
{
    return QStringLiteral("スクリブレット");
}

inline QIcon icon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/scrivlet/scrivlet16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/scrivlet/scrivlet32.xpm"), QSize(32, 32));
    return icon;
}

} // namespace TaskTray
