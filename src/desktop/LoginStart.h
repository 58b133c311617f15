#pragma once

#include "Failure.h"

#include <QString>

// The user's own start-at-login entry for the program: a desktop entry in the XDG autostart folder
// ($XDG_CONFIG_HOME/autostart/, else ~/.config/autostart/) that every freedesktop session starts.
// Its Exec names one executable by absolute path, so a copy kept elsewhere starts itself only.

// Where the entry lives.
QString loginStartEntryPath();

// Whether the entry is there, enabled, and starts exactly this executable.
bool startsAtLogin(const QString& executable);

// Writes the entry for this executable (replacing one for another copy) or removes it. False with
// *failure naming the entry and the reason when the folder or file cannot be written or removed.
[[nodiscard]] bool setStartAtLogin(bool start, const QString& executable, Failure* failure);

// The first argument of a desktop entry's Exec value, as the Desktop Entry rules unquote it.
QString execProgram(const QString& execValue);

// An Exec value that starts executable, quoted as the Desktop Entry rules ask.
QString execValueFor(const QString& executable);
