#pragma once

#include <QString>

// The user's folder for state that outlives a run but is no document: $XDG_STATE_HOME when it is an
// absolute path, else ~/.local/state. Not created here.
QString userStateFolder();

// One name per program folder, the same for every spelling of it (a trailing separator, a symbolic
// link), so that files kept elsewhere for a folder find it again.
QString programFolderKey(const QString& programFolder);
