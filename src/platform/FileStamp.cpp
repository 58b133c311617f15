#include "FileStamp.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

bool readFileStamp(const QString& path, FileStamp* stamp, int* systemError)
{
    *stamp = FileStamp{};
    struct stat info = {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        if (systemError)
            *systemError = errno;
        return false;
    }
    if (!S_ISREG(info.st_mode))
        return true;
    stamp->exists = true;
    stamp->size = qint64(info.st_size);
    stamp->modifiedSeconds = qint64(info.st_mtim.tv_sec);
    stamp->modifiedNanoseconds = qint64(info.st_mtim.tv_nsec);
    stamp->device = quint64(info.st_dev);
    stamp->inode = quint64(info.st_ino);
    return true;
}
