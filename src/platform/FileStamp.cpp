#include "FileStamp.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace {

void fill(const struct stat& info, FileStamp* stamp)
{
    *stamp = FileStamp{};
    if (!S_ISREG(info.st_mode))
        return;
    stamp->exists = true;
    stamp->size = qint64(info.st_size);
    stamp->modifiedSeconds = qint64(info.st_mtim.tv_sec);
    stamp->modifiedNanoseconds = qint64(info.st_mtim.tv_nsec);
    stamp->device = quint64(info.st_dev);
    stamp->inode = quint64(info.st_ino);
    stamp->changedSeconds = qint64(info.st_ctim.tv_sec);
    stamp->changedNanoseconds = qint64(info.st_ctim.tv_nsec);
}

} // namespace

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
    fill(info, stamp);
    return true;
}

bool readFileStamp(int fd, FileStamp* stamp, int* systemError)
{
    *stamp = FileStamp{};
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        if (systemError)
            *systemError = errno;
        return false;
    }
    fill(info, stamp);
    return true;
}
