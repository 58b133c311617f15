#include "ShellOpen.h"

#include <QDesktopServices>
#include <QDir>

bool openFolderInFileManager(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(folder)));
}

bool openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
