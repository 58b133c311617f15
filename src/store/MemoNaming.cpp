#include "MemoNaming.h"

#include "Folders.h"

namespace memo {

QString memoFileName(int number)
{
    return QStringLiteral("text%1.txt").arg(number, 4, 10, QLatin1Char('0'));
}

QString memoFolderName()
{
    return QStringLiteral("files");
}

QString memoFolder(const QString& programFolder)
{
    return EnsureBackslash(programFolder) + memoFolderName() + folderSeparator();
}

QString memoFilePath(const QString& programFolder, int number)
{
    return memoFolder(programFolder) + memoFileName(number);
}

std::optional<int> numberFromMemoFileName(const QString& name)
{
    const QStringView digits = QStringView(name).mid(4, 4);
    if (digits.size() != 4)
        return std::nullopt;
    int number = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        number = number * 10 + (c.unicode() - '0');
    }
    return number;
}

} // namespace memo
