#include "ProgramFolder.h"

#include "FileError.h"
#include "FileLookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Overrides
{
    QString executable;
    QString program;
};

Overrides& overrides()
{
    static Overrides o;
    return o;
}

QString asFolder(const QString& path)
{
    return EnsureBackslash(QDir::toNativeSeparators(path));
}

// The settings file's name is the store's; the platform only needs to see whether one is there.
bool holdsProgramData(const QString& folder)
{
    return pathExists(folder + QStringLiteral("Scrivlet.ini")) || pathExists(folder + QStringLiteral("files"));
}

QString withoutTrailingSeparator(const QString& folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

// Makes every missing folder down to `path`, private to the user as the data folders are meant to be.
// Returns the reason it could not, or "" when the folder is there.
QString makeFolders(const QString& path)
{
    QStringList missing;
    for (QString p = path; !QFileInfo(p).isDir(); p = QFileInfo(p).path()) {
        const QFileInfo info(p);
        if (info.exists() || info.isSymLink() || p == info.path())
            break;
        missing.prepend(p);
    }
    for (const QString& p : missing) {
        errno = 0;
        if (::mkdir(QFile::encodeName(p).constData(), 0700) == 0 || (errno == EEXIST && QFileInfo(p).isDir()))
            continue;
        const QString reason = fileErrorReason(errno);
        return p == path ? reason : reason + QStringLiteral("：") + QDir::toNativeSeparators(p);
    }
    return QString();
}

QString folderFailure(const QString& what, const QString& folder, const QString& reason, const QString& outcome)
{
    return what + QStringLiteral("\n\n") + folder + QStringLiteral("\n\n理由：") + reason + QStringLiteral("\n\n") +
           outcome;
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

QString executableFolder()
{
    const QString& folder = overrides().executable;
    return asFolder(folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder);
}

QString dataFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return asFolder(base + QStringLiteral("/Scrivlet"));
}

QString programFolder()
{
    if (!overrides().program.isEmpty())
        return asFolder(overrides().program);
    const QString executable = executableFolder();
    return holdsProgramData(executable) ? executable : dataFolder();
}

bool createProgramFolder(QString* error)
{
    const QString folder = programFolder();
    const QString path = withoutTrailingSeparator(folder);
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    QString reason;
    if (info.isSymLink())
        reason = QStringLiteral("リンク先のフォルダが見つかりません（%1）")
                     .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    else if (info.exists())
        reason = QStringLiteral("同じ名前のファイルがあります");
    else
        reason = makeFolders(path);
    if (reason.isEmpty())
        return true;
    if (error)
        *error = folderFailure(QStringLiteral("メモと設定を保存するフォルダを作成できませんでした。"), folder, reason,
                               QStringLiteral("ほかの場所には何も保存しません。Scrivletを終了します。"));
    return false;
}

bool canWriteProgramFolder(QString* error)
{
    const QString folder = programFolder();
    errno = 0;
    if (::access(QFile::encodeName(withoutTrailingSeparator(folder)).constData(), W_OK | X_OK) == 0)
        return true;
    if (error)
        *error = folderFailure(
            QStringLiteral("メモと設定を保存するフォルダに書き込めません。"), folder, fileErrorReason(errno),
            QStringLiteral("メモを読むことはできますが、保存はできません。ほかの場所には何も保存しません。"));
    return false;
}

ScopedExecutableFolder::ScopedExecutableFolder(const QString& folder) : previous_(overrides().executable)
{
    overrides().executable = folder;
}

ScopedExecutableFolder::~ScopedExecutableFolder()
{
    overrides().executable = previous_;
}

ScopedProgramFolder::ScopedProgramFolder(const QString& folder)
    : previousExecutable_(overrides().executable), previousProgram_(overrides().program)
{
    overrides().executable = folder;
    overrides().program = folder;
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    overrides().executable = previousExecutable_;
    overrides().program = previousProgram_;
}
