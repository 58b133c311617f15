#include "MemoJoin.h"

#include "Cp932.h"
#include "FileLookup.h"
#include "MemoNaming.h"
#include "NumberText.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "UtilityText.h"
#include "WRText.h"

#include <QStringList>

namespace utility {

namespace {

QString asShown(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

FileStamp stampOf(const QString& path)
{
    FileStamp stamp;
    int systemError = 0;
    // A file that cannot be looked at stamps as missing; if it can be later, it counts as changed.
    (void)readFileStamp(path, &stamp, &systemError);
    return stamp;
}

// The names of the preview's memos that are no longer as its stamps say, source first, for a message.
QString changedMemos(const QString& memoFolder, const JoinPreview& preview)
{
    QStringList changed;
    if (stampOf(memoFolder + memo::memoFileName(preview.source)) != preview.sourceStamp)
        changed << memo::memoFileName(preview.source);
    if (stampOf(memoFolder + memo::memoFileName(preview.destination)) != preview.destinationStamp)
        changed << memo::memoFileName(preview.destination);
    return changed.join(QStringLiteral("」と「"));
}

QString writtenAndSourceKept(const JoinPreview& preview)
{
    return QStringLiteral("結合した内容は「%1」に書き込み済みです。結合元の「%2」は削除せずに残してあります。")
        .arg(memo::memoFileName(preview.destination), memo::memoFileName(preview.source));
}

} // namespace

QString joinSeparator()
{
    return QStringLiteral("\r\n---------------------------\r\n\r\n");
}

QString joinedText(const QString& destination, const QString& source, bool withSeparator)
{
    QString text = destination + QStringLiteral("\r\n");
    if (withSeparator)
        text += joinSeparator();
    return text + source;
}

QString textToWrite(const QString& joined, const QString& shown)
{
    if (shown == asShown(joined))
        return joined;
    QString text = shown;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

std::optional<JoinPreview> startJoin(const QString& memoFolder, const QString& sourceText,
                                     const QString& destinationText, bool withSeparator, Prompter& prompter,
                                     FolderLock& lock)
{
    if (!lock.hold(prompter))
        return std::nullopt;
    auto path = [&](int number) { return memoFolder + memo::memoFileName(number); };
    // A text that is no memo number names no single file: the memo is not found.
    const std::optional<int> source = memoNumberFromText(sourceText);
    const std::optional<int> destination = memoNumberFromText(destinationText);
    QString refusal;
    if (!source || !isOrdinaryFile(path(*source)))
        refusal = QStringLiteral("結合元が見つかりません。");
    else if (!destination || !isOrdinaryFile(path(*destination)))
        refusal = QStringLiteral("結合先が見つかりません。");
    // Deleting "the source" afterwards would delete the result.
    else if (*source == *destination)
        refusal = QStringLiteral("結合元と結合先が同じファイルです。\n別々の番号を指定してください。");
    if (!refusal.isEmpty()) {
        lock.release();
        prompter.inform(refusal, title(), Prompter::Icon::Exclamation);
        return std::nullopt;
    }
    WRText text;
    std::optional<Failure> failure;
    auto read = [&](int number, FileStamp* stamp) {
        text.FileName = path(number);
        // Stamped before it is read: a change made while it is read shows later.
        *stamp = stampOf(text.FileName);
        QString error;
        const QString memoText = failure ? QString() : text.RFile(&error);
        if (!error.isEmpty())
            failure = Failure{QStringLiteral("「%1」を読み込めませんでした。").arg(memo::memoFileName(number)),
                              text.FileName, error, QString()};
        return memoText;
    };
    JoinPreview preview{*source, *destination, QString(), FileStamp(), FileStamp()};
    const QString destinationMemo = read(*destination, &preview.destinationStamp);
    const QString sourceMemo = read(*source, &preview.sourceStamp);
    lock.release();
    if (failure) {
        prompter.showFailure(*failure, title());
        return std::nullopt;
    }
    preview.joined = joinedText(destinationMemo, sourceMemo, withSeparator);
    return preview;
}

JoinOutcome executeJoin(const QString& memoFolder, JoinPreview& preview, const QString& shown, bool deleteSource,
                        Prompter& prompter, FolderLock& lock, const std::function<void()>& beforeSourceDeletion)
{
    const QString destinationName = memo::memoFileName(preview.destination);
    WRText text;
    text.FileName = memoFolder + destinationName;
    text.WText = textToWrite(preview.joined, shown);
    bool replaced = false;
    cp932::encode(text.WText, &replaced);
    if (replaced && !prompter.confirm(QStringLiteral("%1で保存できない文字が含まれています。\n"
                                                     "その文字は「?」に置き換えて保存されます。よろしいですか？")
                                          .arg(cp932::name()),
                                      title()))
        return JoinOutcome::PreviewStays;
    // The main program may have started while the preview was shown; the preview stays for later.
    if (!lock.hold(prompter))
        return JoinOutcome::PreviewStays;
    // Written over, an edit made to either memo since the preview was read would be lost.
    const QString changedBefore = changedMemos(memoFolder, preview);
    if (!changedBefore.isEmpty()) {
        lock.release();
        prompter.inform(QStringLiteral("「%1」は結合後の内容を作った後に変更されました。\n"
                                       "結合後の内容を作り直しますので、確かめてから実行してください。")
                            .arg(changedBefore),
                        title(), Prompter::Icon::Exclamation);
        return JoinOutcome::Rebuild;
    }
    QString error;
    // On failure the preview stays, so the joined text is not lost.
    if (!text.WFile(&error)) {
        lock.release();
        prompter.showFailure(
            {QStringLiteral("「%1」に書き込めませんでした。").arg(destinationName), text.FileName, error, QString()},
            title());
        return JoinOutcome::PreviewStays;
    }
    preview.destinationStamp = stampOf(text.FileName);
    if (!deleteSource || !prompter.confirm(QStringLiteral("結合元ファイルを削除します。\nよろしいですか？"), title())) {
        lock.release();
        return JoinOutcome::Done;
    }
    if (!lock.hold(prompter)) {
        prompter.inform(writtenAndSourceKept(preview), title(), Prompter::Icon::Exclamation);
        return JoinOutcome::PreviewStays;
    }
    const QString sourcePath = memoFolder + memo::memoFileName(preview.source);
    if (beforeSourceDeletion)
        beforeSourceDeletion();
    // A source rewritten since it was read holds text the written join lacks.
    const QString changedAfter = changedMemos(memoFolder, preview);
    if (!changedAfter.isEmpty()) {
        lock.release();
        prompter.inform(QStringLiteral("「%1」は結合の間に変更されたため、結合元を削除しませんでした。\n%2\n"
                                       "結合後の内容を作り直します。")
                            .arg(changedAfter, writtenAndSourceKept(preview)),
                        title(), Prompter::Icon::Exclamation);
        return JoinOutcome::Rebuild;
    }
    const bool removed = removeFile(sourcePath, &error);
    lock.release();
    if (!removed) {
        prompter.showFailure({QStringLiteral("「%1」を削除できませんでした。").arg(memo::memoFileName(preview.source)),
                              sourcePath, error, writtenAndSourceKept(preview)},
                             title());
        return JoinOutcome::PreviewStays;
    }
    return JoinOutcome::Done;
}

} // namespace utility
