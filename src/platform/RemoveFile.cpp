#include "RemoveFile.h"

#include "FileError.h"

#include <QFile>
#include <cerrno>

bool removeFile(const QString& path, QString* error)
{
    QFile file(path);
    errno = 0;
    if (file.remove())
        return true;
    if (error)
        *error = fileErrorReason(errno, &file);
    return false;
}
