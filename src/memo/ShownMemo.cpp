#include "ShownMemo.h"

#include "FileError.h"
#include "FileLookup.h"
#include "MemoNaming.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "Settings.h"
#include "mdlScrivlet.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace {

int& recoveryDelay()
{
    static int ms = 1000;
    return ms;
}

// The text box separates lines with LF; memo text joins them with CR LF.
QString asMemoText(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString saveFailed()
{
    return QStringLiteral("次のメモを保存できませんでした。入力した内容は画面に残っています。");
}

} // namespace

int recoveryDelayMs()
{
    return recoveryDelay();
}

ScopedRecoveryDelay::ScopedRecoveryDelay(int ms) : previous_(recoveryDelay())
{
    recoveryDelay() = ms;
}

ScopedRecoveryDelay::~ScopedRecoveryDelay()
{
    recoveryDelay() = previous_;
}

QString ShownMemo::statusText(Status status)
{
    switch (status) {
    case Status::NotCreated:
        return QStringLiteral("状態：未作成");
    case Status::ReadOk:
        return QStringLiteral("状態：ファイル読み込みOK");
    case Status::ReadPartly:
        return QStringLiteral("状態：一部の文字を正しく読み込めませんでした");
    case Status::ReadFailed:
        return QStringLiteral("状態：ファイル読み込み失敗");
    case Status::WriteOk:
        return QStringLiteral("状態：ファイル書き込みOK");
    case Status::WriteReplaced:
        return QStringLiteral("状態：ファイル書き込みOK（保存できない文字を?に置き換えました）");
    case Status::SaveCancelled:
        return QStringLiteral("状態：保存を取り消しました");
    case Status::Recovered:
        break;
    }
    return QStringLiteral("状態：前回の編集内容を復元しました（未保存）");
}

ShownMemo::ShownMemo(QString programFolder, std::function<Prompter&()> prompter, QObject* parent)
    : QObject(parent), folder_(std::move(programFolder)), prompter_(std::move(prompter)),
      recovery_(RecoveryStore::forProgramFolder(folder_))
{}

void ShownMemo::setEdited(bool edited)
{
    edited_ = edited;
    copyDue_ = edited;
}

int ShownMemo::startingNumber()
{
    const QString memoFolder = memo::memoFolder(folder_);
    if (!QFileInfo(memoFolder).isDir()) {
        errno = 0;
        if (!QDir().mkdir(memoFolder))
            report(QStringLiteral("メモを保存するフォルダを作成できませんでした。"), memoFolder,
                   fileErrorReason(errno));
    }
    INIAccess& ini = mdlScrivlet::sharedSettings();
    ini.FileName = settings::fileName();
    QString error;
    const QString value = ini.GetINIData(settings::section(), settings::lastFileNumKey(), &error);
    if (!error.isEmpty())
        report(QStringLiteral("設定ファイルを読み込めませんでした。"), folder_ + settings::fileName(), error);
    bool isNumber = false;
    int last = value.toInt(&isNumber);
    if (!isNumber || last < memo::FirstNumber || last > memo::LastNumber)
        last = memo::FirstNumber;
    // Edits a crash kept from being saved come first: that memo is opened, and its opening offers them back.
    const std::vector<int> unsaved = recovery_.offerable();
    return unsaved.empty() ? last : unsaved.front();
}

std::optional<ShownMemo::Loaded> ShownMemo::open(int number)
{
    const QString path = memo::memoFilePath(folder_, number);
    // Looked at before reading: a change in between is then taken for a change afterwards, and asked about.
    FileStamp seen;
    const std::optional<FileStamp> stamp =
        readFileStamp(path, &seen, nullptr) ? std::optional<FileStamp>(seen) : std::nullopt;
    if (!isOrdinaryFile(path)) {
        dropRecoveryCopy();
        keepFileUnlessEdited_ = false;
        show(number, stamp);
        return Loaded{QString(), Status::NotCreated};
    }
    WRText& reader = mdlScrivlet::sharedText();
    reader.FileName = path;
    QString error;
    bool invalid = false;
    const QString text = reader.RFile(&error, &invalid);
    if (!error.isEmpty()) {
        report(QStringLiteral("次のメモを読み込めませんでした。"), path, error);
        return std::nullopt;
    }
    dropRecoveryCopy();
    keepFileUnlessEdited_ = invalid;
    show(number, stamp);
    return Loaded{text, invalid ? Status::ReadPartly : Status::ReadOk};
}

ShownMemo::Loaded ShownMemo::openUnreadable(int number)
{
    keepFileUnlessEdited_ = true;
    show(number, std::nullopt);
    rememberShownFile();
    return Loaded{QString(), Status::ReadFailed};
}

std::optional<ShownMemo::Loaded> ShownMemo::reread()
{
    FileStamp now;
    // A file that cannot be looked at now is reported by the next write.
    if (number_ < 0 || edited_ || !readFileStamp(path_, &now, nullptr) ||
        compareFileStamps(stamp_, now) == MemoChange::None)
        return std::nullopt;
    return open(number_);
}

void ShownMemo::show(int number, const std::optional<FileStamp>& stamp)
{
    number_ = number;
    path_ = memo::memoFilePath(folder_, number);
    stamp_ = stamp;
    setEdited(false);
    Q_EMIT shownFileChanged(number_, path_);
}

void ShownMemo::rememberShownFile()
{
    FileStamp stamp;
    stamp_ = readFileStamp(path_, &stamp, nullptr) ? std::optional<FileStamp>(stamp) : std::nullopt;
}

std::optional<QString> ShownMemo::offerRecoveryCopy()
{
    if (number_ < 0 || !recovery_.isNewerThanMemo(number_))
        return std::nullopt;
    const QString copy = recovery_.filePath(number_);
    QString text;
    QString error;
    if (!recovery_.read(number_, &text, &error)) {
        report(QStringLiteral("前回保存されなかった編集内容を読み込めませんでした。"), copy, error);
        return std::nullopt;
    }
    const Prompter::Answer answer = prompter_().message(
        QStringLiteral("前回保存されなかった編集内容があります。復元しますか？\n\n") + path_,
        mdlScrivlet::programTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo, Prompter::Answer::Yes);
    if (answer == Prompter::Answer::Yes) {
        // Edited and not saved: the copy stays until the edits end one way or another.
        recoveryWritten_ = true;
        keepFileUnlessEdited_ = false;
        setEdited(true);
        Q_EMIT statusChanged(Status::Recovered);
        return text;
    }
    if (!recovery_.remove(number_, &error))
        report(QStringLiteral("前回保存されなかった編集内容の控えを削除できませんでした。"), copy, error);
    return std::nullopt;
}

bool ShownMemo::saveBeforeLeaving(const QString& text)
{
    INIAccess ini = settings::open(folder_);
    QString error;
    const QString value = ini.GetINIData(settings::section(), settings::autoSaveKey(), &error);
    // When the setting cannot be read, keeping the edits is the choice that loses nothing.
    const bool autoSave = !error.isEmpty() || value == QLatin1String("1");
    return !(autoSave && edited_) || save(text);
}

bool ShownMemo::mustBeWrittenOnClose() const
{
    return !keepFileUnlessEdited_ || edited_;
}

bool ShownMemo::save(const QString& text)
{
    switch (checkBeforeWrite(text)) {
    case WriteCheck::Stop:
        return false;
    case WriteCheck::SavedElsewhere:
        return true;
    case WriteCheck::Write:
        break;
    }
    WRText& writer = mdlScrivlet::sharedText();
    writer.FileName = path_;
    writer.WText = asMemoText(text);
    QString error;
    bool replaced = false;
    if (!writer.WFile(&error, &replaced)) {
        report(saveFailed(), path_, error);
        return false;
    }
    keepFileUnlessEdited_ = false;
    rememberShownFile();
    dropRecoveryCopy();
    Q_EMIT statusChanged(replaced ? Status::WriteReplaced : Status::WriteOk);
    return true;
}

std::optional<MemoChange> ShownMemo::changeOnDisk(const QString& what)
{
    FileStamp now;
    int systemError = 0;
    if (!readFileStamp(path_, &now, &systemError)) {
        report(what, path_, fileErrorReason(systemError));
        return std::nullopt;
    }
    return compareFileStamps(stamp_, now);
}

ShownMemo::WriteCheck ShownMemo::checkBeforeWrite(const QString& text)
{
    const std::optional<MemoChange> change = changeOnDisk(saveFailed());
    if (!change)
        return WriteCheck::Stop;
    if (*change == MemoChange::None)
        return WriteCheck::Write;
    switch (askAboutChange(path_, *change, prompter_())) {
    case ChangeAnswer::Overwrite:
        return WriteCheck::Write;
    case ChangeAnswer::KeepBoth:
        return keepBoth(*change, text) ? WriteCheck::SavedElsewhere : WriteCheck::Stop;
    case ChangeAnswer::Cancel:
        break;
    }
    Q_EMIT statusChanged(Status::SaveCancelled);
    return WriteCheck::Stop;
}

bool ShownMemo::keepBoth(MemoChange change, const QString& text)
{
    QString error;
    bool replaced = false;
    const std::optional<int> number = saveAsNewMemo(folder_, number_, asMemoText(text), &error, &replaced);
    if (!number) {
        report(QStringLiteral("画面の内容を新しいメモとして保存できませんでした。入力した内容は画面に残っています。"),
               memo::memoFolder(folder_), error);
        return false;
    }
    const QString oldPath = path_;
    dropRecoveryCopy();
    number_ = *number;
    path_ = memo::memoFilePath(folder_, number_);
    keepFileUnlessEdited_ = false;
    rememberShownFile();
    Q_EMIT shownFileChanged(number_, path_);
    Q_EMIT statusChanged(replaced ? Status::WriteReplaced : Status::WriteOk);
    const QString original = change == MemoChange::Removed
                                 ? QStringLiteral("元のメモは削除されたままです。")
                                 : QStringLiteral("元のメモはほかのプログラムが書いた内容のまま残っています。");
    prompter_().inform(QStringLiteral("画面の内容を新しいメモ「") + memo::memoFileName(number_) +
                           QStringLiteral("」に保存し、表示しました。\n\n") + path_ + QStringLiteral("\n\n") +
                           original + QStringLiteral("\n") + oldPath,
                       mdlScrivlet::programTitle(), Prompter::Icon::Information);
    return true;
}

void ShownMemo::rememberAsLast()
{
    INIAccess& ini = mdlScrivlet::sharedSettings();
    ini.FileName = settings::fileName();
    QString error;
    if (!ini.SetINIData(settings::section(), settings::lastFileNumKey(), QString::number(number_), &error))
        report(QStringLiteral("設定ファイルに書き込めませんでした。"), folder_ + settings::fileName(), error);
}

ShownMemo::Removal ShownMemo::remove()
{
    const QString title = QStringLiteral("Scrivlet Kill File");
    if (!isOrdinaryFile(path_)) {
        prompter_().inform(QStringLiteral("ファイルが存在しません。"), title, Prompter::Icon::Exclamation);
        return Removal::Kept;
    }
    if (!prompter_().confirm(
            QStringLiteral(
                "現在のファイルを削除します。\nよろしいですか？\n\n※これを実行すると元に戻す事は出来ません。"),
            title))
        return Removal::Kept;
    const QString failed = QStringLiteral("次のメモを削除できませんでした。");
    const std::optional<MemoChange> change = changeOnDisk(failed);
    if (!change)
        return Removal::Kept;
    // The user agreed to delete what the window shows, not what another program has put there since.
    if (*change != MemoChange::None) {
        prompter_().inform(
            QStringLiteral("次のメモは、この画面で読み込むか保存した後に、ほかのプログラムによって") +
                describeChange(*change) +
                QStringLiteral("。削除していません。内容を確かめてから、もう一度実行してください。\n\n") + path_,
            title, Prompter::Icon::Exclamation);
        return Removal::ChangedElsewhere;
    }
    QString error;
    if (!removeFile(path_, &error)) {
        report(failed, path_, error);
        return Removal::Kept;
    }
    dropRecoveryCopy();
    setEdited(false);
    return Removal::Removed;
}

void ShownMemo::keepRecoveryCopy(const QString& text)
{
    if (number_ < 0 || !copyDue_)
        return;
    copyDue_ = false;
    QString error;
    if (recovery_.save(number_, text, &error)) {
        recoveryWritten_ = true;
        recoveryFailureReported_ = false;
        return;
    }
    // Once is enough until it works again: a box at every pause in typing would only be in the way.
    if (recoveryFailureReported_)
        return;
    recoveryFailureReported_ = true;
    report(QStringLiteral("入力中の内容の控えを保存できませんでした。このままプログラムが異常終了すると、"
                          "保存していない入力は失われます。"),
           recovery_.filePath(number_), error);
}

void ShownMemo::dropRecoveryCopy()
{
    copyDue_ = false;
    if (!recoveryWritten_)
        return;
    recoveryWritten_ = false;
    QString error;
    if (!recovery_.remove(number_, &error))
        report(QStringLiteral("入力中の内容の控えを削除できませんでした。"
                              "次に開いたときに、復元するかどうかを尋ねることがあります。"),
               recovery_.filePath(number_), error);
}

void ShownMemo::report(const QString& what, const QString& path, const QString& reason)
{
    prompter_().showFailure({what, path, reason, QString()}, mdlScrivlet::programTitle());
}
