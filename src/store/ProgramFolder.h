#pragma once

#include "Failure.h"
#include "Folders.h"

#include <QString>

// The user's data folder for the program, $XDG_DATA_HOME/Scrivlet/ (~/.local/share/Scrivlet/ when
// unset), through EnsureBackslash. Both programs share it, whatever their own names.
QString dataFolder();

// Where "Scrivlet.ini" and "files" live. A folder that already holds either beside the executable is
// a portable copy (a folder from the Windows version keeps working); otherwise the user's data folder,
// so that deleting a build or an installed copy never touches a memo.
QString programFolder();

// The main program's first step: makes the program folder when it is missing, following a symbolic
// link standing at its name. On failure *failure names the folder and the reason; nothing is written
// elsewhere instead.
[[nodiscard]] bool createProgramFolder(Failure* failure);

// Whether new files can be made in the program folder; otherwise *failure names it and the reason.
[[nodiscard]] bool canWriteProgramFolder(Failure* failure);

// The utility's executable. While the utility works on a folder it holds the main program's lock, which
// records this name; the main program tells it from a second copy of itself by it.
QString utilityProgramFileName();

// Tests: `folder` is both the executable's folder and the program folder, a portable copy whether or
// not it holds anything yet.
class ScopedProgramFolder final
{
public:
    explicit ScopedProgramFolder(const QString& folder);
    ~ScopedProgramFolder();
    ScopedProgramFolder(const ScopedProgramFolder&) = delete;
    ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

private:
    ScopedExecutableFolder executable_;
    QString previous_;
};
