#include "UserFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

QString userStateFolder()
{
    const QString configured = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory rules ignore a relative path: it would depend on where the program was started.
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.local/state"));
}

QString programFolderKey(const QString& programFolder)
{
    const QFileInfo info(programFolder);
    const QString canonical = info.canonicalFilePath();
    const QString identity = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    return QString::fromLatin1(
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}
