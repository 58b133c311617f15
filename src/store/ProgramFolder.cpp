#include "ProgramFolder.h"

#include "FileError.h"
#include "FileLookup.h"
#include "MemoNaming.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <unistd.h>

namespace {

QString& programOverride()
{
    static QString folder;
    return folder;
}

bool holdsProgramData(const QString& folder)
{
    return pathExists(folder + settings::fileName()) || pathExists(folder + memo::memoFolderName());
}

QString withoutTrailingSeparator(const QString& folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

bool fail(Failure* failure, const QString& what, const QString& folder, const QString& reason)
{
    if (failure)
        *failure = {what, folder, reason, QString()};
    return false;
}

} // namespace

QString utilityProgramFileName()
{
    return QStringLiteral("ScrivletUtility");
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
    if (!programOverride().isEmpty())
        return asFolder(programOverride());
    const QString executable = executableFolder();
    return holdsProgramData(executable) ? executable : dataFolder();
}

bool createProgramFolder(Failure* failure)
{
    const QString folder = programFolder();
    const QFileInfo info(withoutTrailingSeparator(folder));
    if (info.isDir())
        return true;
    QString reason;
    if (info.isSymLink())
        reason = QStringLiteral("リンク先のフォルダが見つかりません（%1）")
                     .arg(QDir::toNativeSeparators(info.symLinkTarget()));
    else if (info.exists())
        reason = QStringLiteral("同じ名前のファイルがあります");
    else if (makePrivateFolders(info.filePath(), &reason))
        return true;
    return fail(failure, QStringLiteral("メモと設定を保存するフォルダを作成できませんでした。"), folder, reason);
}

bool canWriteProgramFolder(Failure* failure)
{
    const QString folder = programFolder();
    errno = 0;
    if (::access(QFile::encodeName(withoutTrailingSeparator(folder)).constData(), W_OK | X_OK) == 0)
        return true;
    return fail(failure, QStringLiteral("メモと設定を保存するフォルダに書き込めません。"), folder,
                fileErrorReason(errno));
}

ScopedProgramFolder::ScopedProgramFolder(const QString& folder) : executable_(folder), previous_(programOverride())
{
    programOverride() = folder;
}

ScopedProgramFolder::~ScopedProgramFolder()
{
    programOverride() = previous_;
}
