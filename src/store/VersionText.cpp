#include "VersionText.h"

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3 ")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}
