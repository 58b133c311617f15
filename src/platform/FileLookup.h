#pragma once

#include <QString>

// True only for an existing regular file of exactly that name. Folders never count; on Windows a
// hidden or system file counts as missing, as a plain directory search would not return it.
bool isOrdinaryFile(const QString& path);

// True for anything standing at that name, a folder or a file.
bool pathExists(const QString& path);
