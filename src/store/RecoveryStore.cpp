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

QString RecoveryStore::stampPath(int number) const
{
    return folder_ + QLatin1Char('/') + memo::memoFileName(number).chopped(4) + QStringLiteral(".stamp");
}

bool RecoveryStore::save(int number, const QString& text, const std::optional<FileStamp>& memoStamp,
                         QString* error) const
{
    QByteArray stamp = "unknown\n";
    if (memoStamp) {
        const FileStamp& m = *memoStamp;
        stamp = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                    .arg(int(m.exists))
                    .arg(m.size)
                    .arg(m.modifiedSeconds)
                    .arg(m.modifiedNanoseconds)
                    .arg(m.changedSeconds)
                    .arg(m.changedNanoseconds)
                    .arg(m.device)
                    .arg(m.inode)
                    .toLatin1();
    }
    // Memos are private; so are copies of them, whatever the user's umask gives other files.
    return makePrivateFolders(folder_, error) && writeWholeFile(stampPath(number), stamp, error) &&
           writeWholeFile(filePath(number), text.toUtf8(), error);
}

bool RecoveryStore::save(int number, const QString& text, QString* error) const
{
    const QString stamp = stampPath(number);
    return makePrivateFolders(folder_, error) && (!QFileInfo::exists(stamp) || removeFile(stamp, error)) &&
           writeWholeFile(filePath(number), text.toUtf8(), error);
}

bool RecoveryStore::remove(int number, QString* error) const
{
    for (const QString& path : {filePath(number), stampPath(number)}) {
        if (QFileInfo::exists(path) && !removeFile(path, error))
            return false;
    }
    return true;
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

RecoveryStore::Offer RecoveryStore::offerFor(int number) const
{
    if (!QFileInfo::exists(filePath(number)))
        return Offer::None;
    QFile file(stampPath(number));
    if (!file.open(QIODevice::ReadOnly))
        return isNewerThanMemo(number) ? Offer::OverMemo : Offer::AsNewMemo;
    const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
    FileStamp now;
    if (fields.size() != 8 || !readFileStamp(memo::memoFilePath(programFolder_, number), &now, nullptr))
        return Offer::AsNewMemo;
    FileStamp then;
    then.exists = fields[0] == "1";
    then.size = fields[1].toLongLong();
    then.modifiedSeconds = fields[2].toLongLong();
    then.modifiedNanoseconds = fields[3].toLongLong();
    then.changedSeconds = fields[4].toLongLong();
    then.changedNanoseconds = fields[5].toLongLong();
    then.device = fields[6].toULongLong();
    then.inode = fields[7].toULongLong();
    return then == now ? Offer::OverMemo : Offer::AsNewMemo;
}

std::vector<int> RecoveryStore::offerable() const
{
    std::vector<std::pair<FileStamp, int>> found;
    const QStringList names = QDir(folder_).entryList(QDir::Files);
    for (const QString& name : names) {
        const std::optional<int> number = memo::numberFromMemoFileName(name);
        if (!number || memo::memoFileName(*number) != name)
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
