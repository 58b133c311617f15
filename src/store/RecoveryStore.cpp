#include "RecoveryStore.h"

#include "FileError.h"
#include "FileStamp.h"
#include "Folders.h"
#include "MemoNaming.h"
#include "RemoveFile.h"
#include "SafeWrite.h"
#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

bool isAfter(const FileStamp& a, const FileStamp& b)
{
    return std::make_pair(a.modifiedSeconds, a.modifiedNanoseconds) >
           std::make_pair(b.modifiedSeconds, b.modifiedNanoseconds);
}

} // namespace

RecoveryStore::RecoveryStore(const QString& stateFolder, const QString& programFolder)
    : folder_(stateFolder + QStringLiteral("/Scrivlet/") + programFolderKey(programFolder)),
      programFolder_(programFolder)
{}

RecoveryStore RecoveryStore::forProgramFolder(const QString& programFolder)
{
    return RecoveryStore(userStateFolder(), programFolder);
}

QString RecoveryStore::filePath(int number) const
{
    return folder_ + QLatin1Char('/') + memo::memoFileName(number);
}

bool RecoveryStore::save(int number, const QString& text, QString* error) const
{
    // Memos are private; so are copies of them, whatever the user's umask gives other files.
    if (!makePrivateFolders(folder_, error))
        return false;
    return writeWholeFile(filePath(number), text.toUtf8(), error);
}

bool RecoveryStore::remove(int number, QString* error) const
{
    const QString path = filePath(number);
    if (!QFileInfo::exists(path))
        return true;
    return removeFile(path, error);
}

bool RecoveryStore::read(int number, QString* text, QString* error) const
{
    QFile file(filePath(number));
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = fileErrorReason(errno, &file);
        return false;
    }
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = fileErrorReason(errno, &file);
        return false;
    }
    *text = QString::fromUtf8(bytes);
    return true;
}

bool RecoveryStore::isNewerThanMemo(int number) const
{
    FileStamp copy;
    FileStamp memoFile;
    if (!readFileStamp(filePath(number), &copy, nullptr) || !copy.exists)
        return false;
    // A memo that cannot be looked at cannot be shown as newer either: the copy is offered.
    if (!readFileStamp(memo::memoFilePath(programFolder_, number), &memoFile, nullptr) || !memoFile.exists)
        return true;
    return isAfter(copy, memoFile);
}

std::vector<int> RecoveryStore::offerable() const
{
    std::vector<std::pair<FileStamp, int>> found;
    const QStringList names = QDir(folder_).entryList(QDir::Files);
    for (const QString& name : names) {
        const std::optional<int> number = memo::numberFromMemoFileName(name);
        if (!number || memo::memoFileName(*number) != name || !isNewerThanMemo(*number))
            continue;
        FileStamp stamp;
        if (readFileStamp(filePath(*number), &stamp, nullptr))
            found.emplace_back(stamp, *number);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return isAfter(a.first, b.first); });
    std::vector<int> numbers;
    for (const auto& entry : found)
        numbers.push_back(entry.second);
    return numbers;
}
