#include "MemoChange.h"

#include "FileError.h"
#include "MemoNaming.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "WRText.h"
#include "mdlScrivlet.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

MemoChange compareFileStamps(const std::optional<FileStamp>& remembered, const FileStamp& now)
{
    if (!remembered)
        return now.exists ? MemoChange::Changed : MemoChange::None;
    if (*remembered == now)
        return MemoChange::None;
    if (!remembered->exists)
        return MemoChange::Created;
    return now.exists ? MemoChange::Changed : MemoChange::Removed;
}

QString describeChange(MemoChange change)
{
    switch (change) {
    case MemoChange::Created:
        return QStringLiteral("作成されました");
    case MemoChange::Removed:
        return QStringLiteral("削除されました");
    case MemoChange::Changed:
    case MemoChange::None:
        break;
    }
    return QStringLiteral("変更されました");
}

ChangeAnswer askAboutChange(const QString& path, MemoChange change, Prompter& prompter)
{
    const QString overwrite =
        change == MemoChange::Removed
            ? QStringLiteral("はい：画面の内容でこのファイルを作り直します")
            : QStringLiteral(
                  "はい：このファイルを画面の内容で上書きします（ほかのプログラムが書いた内容は失われます）");
    const QString text = QStringLiteral("次のメモは、この画面で読み込むか保存した後に、ほかのプログラムによって") +
                         describeChange(change) + QStringLiteral("。\n\n") + path +
                         QStringLiteral("\n\n画面の内容をどうしますか？\n\n") + overwrite +
                         QStringLiteral("\nいいえ：画面の内容を空いている番号の新しいメモに保存し、両方を残します"
                                        "\nキャンセル：何も保存しません（画面の内容はそのまま残ります）");
    switch (prompter.message(text, mdlScrivlet::programTitle(), Prompter::Icon::Exclamation,
                             Prompter::Buttons::YesNoCancel, Prompter::Answer::Cancel)) {
    case Prompter::Answer::Yes:
        return ChangeAnswer::Overwrite;
    case Prompter::Answer::No:
        return ChangeAnswer::KeepBoth;
    case Prompter::Answer::Ok:
    case Prompter::Answer::Cancel:
        break;
    }
    return ChangeAnswer::Cancel;
}

std::optional<int> saveAsNewMemo(const QString& programFolder, int after, const QString& text, QString* error,
                                 bool* replaced)
{
    const int count = memo::LastNumber - memo::FirstNumber + 1;
    for (int i = 1; i <= count; ++i) {
        const int number = memo::FirstNumber + (after - memo::FirstNumber + i) % count;
        const QString path = memo::memoFilePath(programFolder, number);
        if (QFileInfo::exists(path))
            continue;
        // Taking the name first keeps a file that another program creates at this moment from being replaced.
        QFile reservation(path);
        errno = 0;
        if (!reservation.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (errno == EEXIST)
                continue;
            if (error)
                *error = fileErrorReason(errno, &reservation);
            return std::nullopt;
        }
        reservation.close();
        WRText writer;
        writer.FileName = path;
        writer.WText = text;
        if (!writer.WFile(error, replaced)) {
            QString ignored;
            (void)removeFile(path, &ignored);
            return std::nullopt;
        }
        return number;
    }
    if (error)
        *error = QStringLiteral("空いているファイル番号がありません");
    return std::nullopt;
}
