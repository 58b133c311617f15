#include "ShellOpen.h"

#include <QDesktopServices>
#include <QDir>

bool openFolderInFileManager(const QString& folder, Failure* failure)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(folder))))
        return true;
    if (failure)
        *failure = {QStringLiteral("フォルダを開けませんでした。"), folder, QString(), QString()};
    return false;
}

bool openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
