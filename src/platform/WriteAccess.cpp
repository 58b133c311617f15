#include "WriteAccess.h"

#include <QFile>
#include <cerrno>
#include <unistd.h>

int writeAccessError(const QString& path)
{
    errno = 0;
    if (::access(QFile::encodeName(path).constData(), W_OK) == 0)
        return 0;
    return errno != 0 ? errno : EACCES;
}
