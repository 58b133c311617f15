#pragma once

#include <QString>

// The folder separator of this platform: "\" on Windows, "/" elsewhere.
QString folderSeparator();

// The folder with exactly one trailing separator; a root folder already ends in one.
QString EnsureBackslash(const QString& folder);

// The running executable's folder through EnsureBackslash, in the platform's own separators.
QString executableFolder();

// The user's data folder for the program, $XDG_DATA_HOME/Scrivlet/ (~/.local/share/Scrivlet/ when
// unset), through EnsureBackslash. Both programs share it, whatever their own names.
QString dataFolder();

// Where "Scrivlet.ini" and "files" live. A folder that already holds either beside the executable is
// a portable copy (a folder from the Windows version keeps working); otherwise the user's data folder,
// so that deleting a build or an installed copy never touches a memo.
QString programFolder();

// The main program's first step: makes the program folder when it is missing, following a symbolic
// link standing at its name. On failure *error names the folder and the reason; nothing is written
// elsewhere instead.
[[nodiscard]] bool createProgramFolder(QString* error);

// Whether new files can be made in the program folder; otherwise *error names it and the reason.
[[nodiscard]] bool canWriteProgramFolder(QString* error);

// Tests: the programs behave as if their executable stood in `folder`; the rule above still decides.
class ScopedExecutableFolder final
{
public:
    explicit ScopedExecutableFolder(const QString& folder);
    ~ScopedExecutableFolder();
    ScopedExecutableFolder(const ScopedExecutableFolder&) = delete;
    ScopedExecutableFolder& operator=(const ScopedExecutableFolder&) = delete;

private:
    QString previous_;
};

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
    QString previousExecutable_;
    QString previousProgram_;
};
