#pragma once

#include "INIAccess.h"

#include <QString>

// The main program's settings file and its keys.
namespace settings {

inline QString fileName()
{
    return QStringLiteral("Scrivlet.ini");
}
inline QString section()
{
    return QStringLiteral("Zormet Scrivlet Setting");
}
inline QString lastFileNumKey()
{
    return QStringLiteral("LastFileNum");
}
inline QString autoSaveKey()
{
    return QStringLiteral("AutoSave");
}
inline QString upChkBuildKey()
{
    return QStringLiteral("UpChkBuild");
}

// A fresh accessor on the settings file, as each caller makes one for the call at hand.
inline INIAccess open(const QString& programFolder)
{
    INIAccess ini(programFolder);
    ini.FileName = fileName();
    return ini;
}

} // namespace settings
