#include "MemoFileList.h"

#include "FileError.h"
#include "FileLookup.h"
#include "OwnDeletions.h"
#include "RemoveFile.h"
#include "WRText.h"

#include <QDir>

namespace memofiles {
namespace {

QString missingFileReason()
{
    return QStringLiteral("ファイルが見つかりません（ほかのプログラムが移動または削除した可能性があります）");
}

} // namespace

QStringList listMemoFiles(const QString& memoFolder)
{
    // Names match with regard to case, as the file system does, so a listed name always opens the memo
    // the number names.
    const QDir folder(memoFolder);
    const QStringList candidates =
        folder.entryList({QStringLiteral("text????.txt")}, QDir::Files | QDir::CaseSensitive, QDir::Name);
    QStringList names;
    for (const QString& name : candidates) {
        if (isOrdinaryFile(folder.filePath(name)))
            names << name;
    }
    return names;
}

QString previewMemoFile(WRText& text, const QString& path, QString* error)
{
    if (error)
        error->clear();
    // The reader treats a missing file as an empty memo; here the user chose a name that was listed.
    if (!isOrdinaryFile(path)) {
        if (error)
            *error = missingFileReason();
        return QString();
    }
    text.FileName = path;
    return text.RFileLen(PreviewLines, error);
}

bool deleteMemoFile(const QString& path, QString* error)
{
    if (error)
        error->clear();
    if (!isOrdinaryFile(path)) {
        if (error)
            *error = missingFileReason();
        return false;
    }
    FileStamp stamp;
    int systemError = 0;
    if (!readFileStamp(path, &stamp, &systemError)) {
        if (error)
            *error = fileErrorReason(systemError);
        return false;
    }
    if (!removeFile(path, error))
        return false;
    OwnDeletions::record(path, stamp);
    return true;
}

} // namespace memofiles
