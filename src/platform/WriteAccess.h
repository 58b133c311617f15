#pragma once

#include <QString>

// Why this user may not write the existing file or folder at path, as a system error number
// (EACCES, EROFS, ...), or 0 when it may. A read-only file system is told apart from a read-only file.
[[nodiscard]] int writeAccessError(const QString& path);
