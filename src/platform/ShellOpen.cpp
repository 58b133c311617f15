#include "ShellOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>

bool openFolderInFileManager(const QString& folder)
{
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("explorer.exe"), {QDir::toNativeSeparators(folder)});
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(folder)));
#endif
}

bool openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}
