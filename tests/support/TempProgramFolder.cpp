#include "TempProgramFolder.h"

#include "MemoNaming.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

TempProgramFolder::TempProgramFolder() : installed_(dir_.path())
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempProgramFolder::path() const
{
    return EnsureBackslash(QDir::toNativeSeparators(dir_.path()));
}

QString TempProgramFolder::memoFolder() const
{
    return memo::memoFolder(path());
}

QString TempProgramFolder::memoPath(int number) const
{
    return memo::memoFilePath(path(), number);
}

QString TempProgramFolder::settingsPath() const
{
    return path() + settings::fileName();
}

void TempProgramFolder::writeMemo(int number, const QByteArray& bytes) const
{
    QDir().mkpath(memoFolder());
    writeBytes(memoPath(number), bytes);
}

QByteArray TempProgramFolder::readMemo(int number) const
{
    return readBytes(memoPath(number));
}

bool TempProgramFolder::memoExists(int number) const
{
    return QFileInfo(memoPath(number)).isFile();
}

void TempProgramFolder::writeSettings(const QByteArray& bytes) const
{
    writeBytes(settingsPath(), bytes);
}

QByteArray TempProgramFolder::readSettings() const
{
    return readBytes(settingsPath());
}

void TempProgramFolder::writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

QByteArray TempProgramFolder::readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
