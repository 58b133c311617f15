#include "FileLookup.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

bool isOrdinaryFile(const QString& path)
{
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
#else
    return QFileInfo(path).isFile();
#endif
}

bool pathExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}
