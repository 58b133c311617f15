#include "FileLookup.h"

#include <QFileInfo>

bool isOrdinaryFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isFile();
}

bool pathExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}
