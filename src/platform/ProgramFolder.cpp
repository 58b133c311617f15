#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString& testingFolder()
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

QString programFolder()
{
    if (!testingFolder().isEmpty())
        return EnsureBackslash(QDir::toNativeSeparators(testingFolder()));
    return EnsureBackslash(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

void setProgramFolderForTesting(const QString& folder)
{
    testingFolder() = folder;
}
