#pragma once

#include <QString>

// The folder separator of this platform: "\" on Windows, "/" elsewhere.
QString folderSeparator();

// The folder with exactly one trailing separator; a root folder already ends in one.
QString EnsureBackslash(const QString& folder);

// The running executable's folder through EnsureBackslash, in the platform's own separators.
QString programFolder();

// Tests run the real windows against a temporary folder instead of the executable's.
void setProgramFolderForTesting(const QString& folder);
