#include "WRText.h"

#include "Cp932.h"
#include "FileError.h"
#include "FileLookup.h"
#include "MemoLines.h"
#include "SafeWrite.h"

#include <QFile>
#include <cerrno>

QString WRText::RFile(QString* error, bool* invalid) const
{
    return RFileLen(0, error, invalid);
}

QString WRText::RFileLen(const qint32& lngLen, QString* error, bool* invalid) const
{
    if (error)
        error->clear();
    if (invalid)
        *invalid = false;
    if (!isOrdinaryFile(FileName))
        return QString();
    QFile file(FileName);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = fileErrorReason(errno, &file);
        return QString();
    }
    errno = 0;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = fileErrorReason(errno, &file);
        return QString();
    }
    QByteArray joined;
    joined.reserve(bytes.size());
    qint32 count = 0;
    forEachMemoLine(bytes, [&](QByteArrayView line) {
        if (count != 0)
            joined.append("\r\n", 2);
        joined.append(line.data(), line.size());
        return ++count != lngLen;
    });
    return cp932::decode(joined, invalid);
}

bool WRText::WFileLines(const QString& lines, QString* error, bool* replaced, FileStamp* written)
{
    if (error)
        error->clear();
    QByteArray bytes = cp932::encode(lines, replaced, true);
    bytes.append("\r\n", 2);
    return writeWholeFile(FileName, bytes, error, written);
}

bool WRText::WFile(QString* error, bool* replaced, FileStamp* written)
{
    if (error)
        error->clear();
    QByteArray bytes = cp932::encode(WText, replaced);
    bytes.append("\r\n", 2);
    if (!writeWholeFile(FileName, bytes, error, written))
        return false;
    WText.clear();
    return true;
}
