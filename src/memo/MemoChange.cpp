#include "MemoChange.h"

#include "Cp932.h"
#include "FileError.h"
#include "FileLookup.h"
#include "MemoNaming.h"
#include "MoveWithoutOverwriting.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "mdlScrivlet.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

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
    case MemoChange::RemovedHere:
        return QStringLiteral("削除されました");
    case MemoChange::Changed:
    case MemoChange::None:
        break;
    }
    return QStringLiteral("変更されました");
}

QString changeSentence(MemoChange change)
{
    if (change == MemoChange::RemovedHere)
        return QStringLiteral("表示中のメモは、ファイル一覧で削除されました。");
    return QStringLiteral("表示中のメモは、この画面で読み込むか保存した後に、ほかのプログラムによって") +
           describeChange(change) + QStringLiteral("。");
}

ChangeAnswer askAboutChange(const QString& path, MemoChange change, Prompter& prompter)
{
    const QString overwrite =
        change == MemoChange::Removed || change == MemoChange::RemovedHere
            ? QStringLiteral("はい：画面の内容でこのファイルを作り直します")
            : QStringLiteral(
                  "はい：このファイルを画面の内容で上書きします（ほかのプログラムが書いた内容は失われます）");
    const QString text = changeSentence(change) + QStringLiteral("\n\n") + path +
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
                                 bool* replaced, FileStamp* written)
{
    // The whole memo first, under a name that is no memo's; then it takes the first free number.
    const QString folder = memo::memoFolder(programFolder);
    static int made = 0;
    const QString temporary =
        folder + QStringLiteral(".scrivlet-new-%1-%2.tmp").arg(QCoreApplication::applicationPid()).arg(++made);
    QFile file(temporary);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (error)
            *error = fileErrorReason(errno, &file);
        return std::nullopt;
    }
    QByteArray bytes = cp932::encode(text, replaced);
    bytes.append("\r\n", 2);
    FileStamp ours;
    errno = 0;
    const bool complete = file.write(bytes) == bytes.size() && file.flush() && ::fsync(int(file.handle())) == 0 &&
                          readFileStamp(int(file.handle()), &ours, nullptr);
    const int writeError = errno;
    file.close();
    QString ignored;
    if (!complete) {
        if (error)
            *error = fileErrorReason(writeError ? writeError : EIO, &file);
        (void)removeFile(temporary, &ignored);
        return std::nullopt;
    }
    const int count = memo::LastNumber - memo::FirstNumber + 1;
    for (int i = 1; i <= count; ++i) {
        const int number = memo::FirstNumber + (after - memo::FirstNumber + i) % count;
        const QString path = memo::memoFilePath(programFolder, number);
        if (pathExists(path))
            continue;
        switch (moveWithoutOverwriting(temporary, path, error)) {
        case MoveOutcome::TargetExists:
            continue;
        case MoveOutcome::Moved:
        case MoveOutcome::SourceKept:
        case MoveOutcome::SourceChanged: {
            (void)removeFile(temporary, &ignored);
            // The move changes the file's change time and nothing else.
            FileStamp now;
            if (written)
                *written = readFileStamp(path, &now, nullptr) && now.sameContentAs(ours) ? now : ours;
            return number;
        }
        case MoveOutcome::Failed:
            (void)removeFile(temporary, &ignored);
            return std::nullopt;
        }
    }
    (void)removeFile(temporary, &ignored);
    if (error)
        *error = QStringLiteral("空いているファイル番号がありません");
    return std::nullopt;
}
