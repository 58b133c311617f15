#pragma once

#include <QString>

// True only for an existing regular file of exactly that name (after symbolic links); folders never count.
bool isOrdinaryFile(const QString& path);

// True for anything standing at that name, a folder or a file.
bool pathExists(const QString& path);
