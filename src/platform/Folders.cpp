#include "Folders.h"

#include "FileError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>

namespace {

QString& executableOverride()
{
    static QString folder;
    return folder;
}

} // namespace

QString folderSeparator()
{
    return QString(QDir::separator());
}

QString EnsureBackslash(const QString& folder)
{
    const QString separator = folderSeparator();
    return folder.endsWith(separator) ? folder : folder + separator;
}

QString asFolder(const QString& path)
{
    return EnsureBackslash(QDir::toNativeSeparators(path));
}

QString executableFolder()
{
    const QString& folder = executableOverride();
    return asFolder(folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder);
}

bool makePrivateFolders(const QString& path, QString* reason)
{
    QStringList missing;
    for (QString p = QDir::cleanPath(path); !QFileInfo(p).isDir(); p = QFileInfo(p).path()) {
        const QFileInfo info(p);
        if (info.exists() || info.isSymLink() || p == info.path())
            break;
        missing.prepend(p);
    }
    for (const QString& p : missing) {
        errno = 0;
        if (::mkdir(QFile::encodeName(p).constData(), 0700) == 0) {
            // The umask may have taken bits away, never added them; this only makes sure.
            ::chmod(QFile::encodeName(p).constData(), 0700);
            continue;
        }
        if (errno == EEXIST && QFileInfo(p).isDir())
            continue;
        const QString why = fileErrorReason(errno);
        if (reason)
            *reason = p == QDir::cleanPath(path) ? why : why + QStringLiteral("：") + QDir::toNativeSeparators(p);
        return false;
    }
    if (QFileInfo(path).isDir())
        return true;
    if (reason)
        *reason = fileErrorReason(ENOTDIR);
    return false;
}

ScopedExecutableFolder::ScopedExecutableFolder(const QString& folder) : previous_(executableOverride())
{
    executableOverride() = folder;
}

ScopedExecutableFolder::~ScopedExecutableFolder()
{
    executableOverride() = previous_;
}
