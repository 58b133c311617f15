#include "ShownMemo.h"

#include "ConflictCopies.h"
#include "FileError.h"
#include "FileLookup.h"
#include "FreeNumberSearch.h"
#include "MemoNaming.h"
#include "OwnDeletions.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "Settings.h"
#include "mdlScrivlet.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <cerrno>

namespace {

int& recoveryDelay()
{
    static int ms = 1000;
    return ms;
}

// The text box separates lines with LF; memo text joins them with CR LF.
QString asMemoText(const QString& text)
{
    QString out(text.size() + text.count(QLatin1Char('\n')), Qt::Uninitialized);
    QChar* to = out.data();
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            *to++ = QLatin1Char('\r');
        *to++ = c;
    }
    return out;
}

QString saveFailed()
{
    return QStringLiteral("表示中のメモを保存できませんでした。入力した内容は画面に残っています。");
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

QString ShownMemo::statusText(Status status) const
{
    switch (status) {
    case Status::NotCreated:
        return QStringLiteral("状態：未作成");
    case Status::ReadOk:
        return QStringLiteral("状態：ファイル読み込みOK");
    case Status::ReadPartly:
        return QStringLiteral("状態：読めない文字があります");
    case Status::ReadFailed:
        return QStringLiteral("状態：ファイル読み込み失敗");
    case Status::WriteOk:
        return QStringLiteral("状態：ファイル書き込みOK");
    case Status::WriteReplaced:
        return QStringLiteral("状態：書き込みOK（?に置換）");
    case Status::SaveCancelled:
        return QStringLiteral("状態：保存を取り消しました");
    case Status::Recovered:
        return QStringLiteral("状態：未保存の編集を復元");
    case Status::ReadAgain:
        return QStringLiteral("状態：外部の変更を読み込み");
    case Status::ChangedElsewhere:
        return QStringLiteral("状態：外部で変更されました");
    case Status::RemovedElsewhere:
        return QStringLiteral("状態：外部で削除（未保存）");
    case Status::RemovedHere:
        return QStringLiteral("状態：一覧で削除しました");
    case Status::ConflictCopies:
        break;
    }
    return QStringLiteral("状態：競合コピーが%1件").arg(conflictCopies_);
}

QString ShownMemo::statusDetail(Status status) const
{
    switch (status) {
    case Status::ReadPartly:
        return QStringLiteral("状態：一部の文字を正しく読み込めませんでした。"
                              "編集しない限り、このメモのファイルは書き換えません");
    case Status::WriteReplaced:
        return QStringLiteral("状態：ファイル書き込みOK（保存できない文字を?に置き換えました）");
    case Status::Recovered:
        return QStringLiteral("状態：前回保存されなかった編集内容を復元しました（まだ保存していません）");
    case Status::ReadAgain:
        return QStringLiteral("状態：ほかのプログラムがこのメモを変更したため、読み込み直しました");
    case Status::ChangedElsewhere:
        return QStringLiteral("状態：このメモはほかのプログラムによって変更されました。"
                              "画面の内容は保存の前に、どうするかを尋ねます");
    case Status::RemovedElsewhere:
        return QStringLiteral("状態：このメモのファイルはほかのプログラムによって削除されました。"
                              "画面の内容はまだ保存されていません");
    case Status::RemovedHere:
        return QStringLiteral("状態：このメモはファイル一覧で削除しました");
    case Status::ConflictCopies:
        return QStringLiteral("状態：このメモには、同期ソフトが残した競合コピーが%1件あります。"
                              "Scrivlet Utilityの「競合コピー」タブで取り込めます")
            .arg(conflictCopies_);
    default:
        break;
    }
    return statusText(status);
}

ShownMemo::ShownMemo(QString programFolder, std::function<Prompter&()> prompter, QObject* parent)
    : QObject(parent), folder_(std::move(programFolder)), prompter_(std::move(prompter)),
      recovery_(RecoveryStore::forProgramFolder(folder_)), watcher_(new QFileSystemWatcher(this)),
      settle_(new QTimer(this))
{
    // A burst of changes, such as a sync engine bringing in many memos, is looked at once it has settled
    // a moment; the shown memo's file is then read again at most once.
    settle_->setSingleShot(true);
    settle_->setInterval(100);
    connect(settle_, &QTimer::timeout, this, &ShownMemo::lookAtDisk);
    auto changed = [this] {
        if (!settle_->isActive())
            settle_->start();
    };
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
    copyWriter_.setMaxThreadCount(1);
}

ShownMemo::~ShownMemo()
{
    copyWriter_.waitForDone();
}

void ShownMemo::setSettleTime(int ms)
{
    settle_->setInterval(ms);
}

void ShownMemo::setEdited(bool edited)
{
    edited_ = edited;
    copyDue_ = edited;
    unsaved_ = edited;
}

// The file is watched for writes in place, its folder for files replaced by a rename, created and
// removed; a watch on a file ends when the file is replaced, so it is renewed after each look.
void ShownMemo::watch()
{
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty())
        watcher_->removePaths(watched);
    const QString memoFolder = memo::memoFolder(folder_);
    QStringList paths;
    if (QFileInfo(memoFolder).isDir())
        paths << memoFolder;
    if (isOrdinaryFile(path_))
        paths << path_;
    if (!paths.isEmpty())
        (void)watcher_->addPaths(paths);
}

void ShownMemo::lookAtDisk()
{
    FileStamp now;
    if (number_ < 0 || !readFileStamp(path_, &now, nullptr)) {
        watch();
        return;
    }
    const int copies = int(memo::conflictCopiesOf(memo::memoFolder(folder_), number_).size());
    const MemoChange change = compareFileStamps(stamp_, now);
    if (change == MemoChange::None || (toldOf_ && *toldOf_ == now)) {
        if (copies != conflictCopies_) {
            conflictCopies_ = copies;
            if (copies > 0)
                Q_EMIT statusChanged(Status::ConflictCopies);
        }
        watch();
        return;
    }
    if (unsaved_ || change == MemoChange::Removed) {
        // The text on screen stays, not saved; the question comes when it is written. A memo the user
        // deleted in the file list just now is no text to keep.
        toldOf_ = now;
        const bool deletedHere = change == MemoChange::Removed && OwnDeletions::deletedHere(path_, stamp_);
        if (!unsaved_ && !deletedHere)
            setEdited(true);
        Q_EMIT statusChanged(deletedHere                     ? Status::RemovedHere
                             : change == MemoChange::Removed ? Status::RemovedElsewhere
                                                             : Status::ChangedElsewhere);
        watch();
        return;
    }
    if (const std::optional<Loaded> loaded = open(number_)) {
        Q_EMIT readAgain({loaded->text, loaded->status == Status::ReadOk ? Status::ReadAgain : loaded->status});
    }
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
        return Loaded{QString(), conflictCopies_ > 0 ? Status::ConflictCopies : Status::NotCreated};
    }
    WRText& reader = mdlScrivlet::sharedText();
    reader.FileName = path;
    QString error;
    bool invalid = false;
    const QString text = reader.RFile(&error, &invalid);
    if (!error.isEmpty()) {
        report(QStringLiteral("メモを読み込めませんでした。"), path, error);
        return std::nullopt;
    }
    dropRecoveryCopy();
    keepFileUnlessEdited_ = invalid;
    show(number, stamp);
    return Loaded{text, readStatus(invalid)};
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
    if (number_ < 0 || unsaved_ || !readFileStamp(path_, &now, nullptr) ||
        compareFileStamps(stamp_, now) == MemoChange::None)
        return std::nullopt;
    return open(number_);
}

ShownMemo::Status ShownMemo::readStatus(bool partly) const
{
    return partly ? Status::ReadPartly : conflictCopies_ > 0 ? Status::ConflictCopies : Status::ReadOk;
}

void ShownMemo::show(int number, const std::optional<FileStamp>& stamp)
{
    number_ = number;
    path_ = memo::memoFilePath(folder_, number);
    stamp_ = stamp;
    toldOf_.reset();
    setEdited(false);
    unsaved_ = false;
    conflictCopies_ = int(memo::conflictCopiesOf(memo::memoFolder(folder_), number).size());
    watch();
    Q_EMIT shownFileChanged(number_, path_);
}

void ShownMemo::rememberShownFile()
{
    FileStamp stamp;
    stamp_ = readFileStamp(path_, &stamp, nullptr) ? std::optional<FileStamp>(stamp) : std::nullopt;
}

std::optional<QString> ShownMemo::offerRecoveryCopy()
{
    const RecoveryStore::Offer offer = number_ < 0 ? RecoveryStore::Offer::None : recovery_.offerFor(number_);
    if (offer == RecoveryStore::Offer::None)
        return std::nullopt;
    const int from = number_;
    const QString copy = recovery_.filePath(from);
    QString text;
    QString error;
    if (!recovery_.read(from, &text, &error)) {
        report(QStringLiteral("前回保存されなかった編集内容を読み込めませんでした。"), copy, error);
        return std::nullopt;
    }
    // Never over a memo other than the one the edits were made on.
    const std::optional<int> to = offer == RecoveryStore::Offer::OverMemo ? from : lowestFreeNumber(folder_);
    if (!to) {
        report(QStringLiteral("前回保存されなかった編集内容を新しいメモとして開けませんでした。"), copy,
               QStringLiteral("空いているファイル番号がありません"));
        return std::nullopt;
    }
    QString question = QStringLiteral("前回保存されなかった編集内容があります。復元しますか？\n\n") + path_;
    if (*to != from)
        question += QStringLiteral("\n\nこのメモは、編集した後にほかのプログラムによって変更されたか、別のメモに置き"
                                   "換わっています。編集内容は、空いている番号の新しいメモ「%1」として開きます。")
                        .arg(memo::memoFileName(*to));
    question += QStringLiteral("\n\nはい：編集内容を画面に戻します（まだ保存はしません）"
                               "\nいいえ：編集内容の控えを削除します（元に戻せません）"
                               "\n閉じると、次に開いたときにもう一度尋ねます");
    switch (prompter_().message(question, mdlScrivlet::programTitle(), Prompter::Icon::Question,
                                Prompter::Buttons::YesNoOrLater, Prompter::Answer::Yes)) {
    case Prompter::Answer::Yes:
        break;
    case Prompter::Answer::No:
        if (!recovery_.remove(from, &error))
            report(QStringLiteral("前回保存されなかった編集内容の控えを削除できませんでした。"), copy, error);
        return std::nullopt;
    case Prompter::Answer::Ok:
    case Prompter::Answer::Cancel:
        return std::nullopt;
    }
    if (*to != from) {
        // The edits have a copy at their new number before the old one goes: a crash now loses nothing.
        FileStamp free;
        const QString newPath = memo::memoFilePath(folder_, *to);
        if (!readFileStamp(newPath, &free, nullptr) || !recovery_.save(*to, text, free, &error)) {
            report(QStringLiteral("前回保存されなかった編集内容を新しいメモとして開けませんでした。"),
                   recovery_.filePath(*to), error);
            return std::nullopt;
        }
        if (!recovery_.remove(from, &error))
            report(QStringLiteral("前回保存されなかった編集内容の控えを削除できませんでした。"), copy, error);
        show(*to, free);
    }
    // Edited and not saved: the copy stays until the edits end one way or another.
    recoveryWritten_ = true;
    keepFileUnlessEdited_ = false;
    setEdited(true);
    Q_EMIT statusChanged(Status::Recovered);
    return text;
}

bool ShownMemo::mustBeSavedBeforeLeaving() const
{
    if (!edited_)
        return false;
    INIAccess ini = settings::open(folder_);
    QString error;
    const QString value = ini.GetINIData(settings::section(), settings::autoSaveKey(), &error);
    // When the setting cannot be read, keeping the edits is the choice that loses nothing.
    return !error.isEmpty() || value == QLatin1String("1");
}

bool ShownMemo::mustBeWrittenOnClose() const
{
    return unsaved_ || (!keepFileUnlessEdited_ && !isOrdinaryFile(path_));
}

bool ShownMemo::save(const QString& text, bool staying)
{
    switch (checkBeforeWrite(text, staying)) {
    case WriteCheck::Stop:
        return false;
    case WriteCheck::SavedElsewhere:
        return true;
    case WriteCheck::AsItIs:
        // The file holds this very text already: writing it again would only change its line ends.
        Q_EMIT statusChanged(Status::WriteOk);
        return true;
    case WriteCheck::Write:
        break;
    }
    WRText& writer = mdlScrivlet::sharedText();
    writer.FileName = path_;
    QString error;
    bool replaced = false;
    FileStamp written;
    if (!writer.WFileLines(text, &error, &replaced, &written)) {
        report(saveFailed(), path_, error);
        return false;
    }
    keepFileUnlessEdited_ = false;
    unsaved_ = false;
    stamp_ = written;
    toldOf_.reset();
    dropRecoveryCopy();
    watch();
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
    const MemoChange change = compareFileStamps(stamp_, now);
    return change == MemoChange::Removed && OwnDeletions::deletedHere(path_, stamp_) ? MemoChange::RemovedHere : change;
}

ShownMemo::WriteCheck ShownMemo::checkBeforeWrite(const QString& text, bool staying)
{
    const std::optional<MemoChange> change = changeOnDisk(saveFailed());
    if (!change)
        return WriteCheck::Stop;
    if (*change == MemoChange::None)
        return !unsaved_ && !keepFileUnlessEdited_ && stamp_ && stamp_->exists ? WriteCheck::AsItIs
                                                                                : WriteCheck::Write;
    switch (askAboutChange(path_, *change, prompter_())) {
    case ChangeAnswer::Overwrite:
        return WriteCheck::Write;
    case ChangeAnswer::KeepBoth:
        return keepBoth(*change, text, staying) ? WriteCheck::SavedElsewhere : WriteCheck::Stop;
    case ChangeAnswer::Cancel:
        break;
    }
    Q_EMIT statusChanged(Status::SaveCancelled);
    return WriteCheck::Stop;
}

bool ShownMemo::keepBoth(MemoChange change, const QString& text, bool staying)
{
    QString error;
    bool replaced = false;
    FileStamp written;
    const std::optional<int> number = saveAsNewMemo(folder_, number_, asMemoText(text), &error, &replaced, &written);
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
    unsaved_ = false;
    stamp_ = written;
    toldOf_.reset();
    watch();
    Q_EMIT shownFileChanged(number_, path_);
    Q_EMIT statusChanged(replaced ? Status::WriteReplaced : Status::WriteOk);
    const QString original = change == MemoChange::Removed || change == MemoChange::RemovedHere
                                 ? QStringLiteral("元のメモは削除されたままです。")
                                 : QStringLiteral("元のメモはほかのプログラムが書いた内容のまま残っています。");
    // Leaving the memo, the window goes on to the memo asked for; staying, it shows the new one.
    const QString shown = staying ? QStringLiteral("画面には、この新しいメモを表示しています。\n\n") : QString();
    prompter_().inform(QStringLiteral("画面の内容を新しいメモ「") + memo::memoFileName(number_) +
                           QStringLiteral("」に保存しました。\n\n") + path_ + QStringLiteral("\n\n") + shown +
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
    const QString failed = QStringLiteral("表示中のメモを削除できませんでした。");
    const std::optional<MemoChange> change = changeOnDisk(failed);
    if (!change)
        return Removal::Kept;
    // The user agreed to delete what the window shows, not what another program has put there since.
    if (*change != MemoChange::None) {
        prompter_().inform(changeSentence(*change) +
                               QStringLiteral("削除していません。内容を確かめてから、もう一度実行してください。\n\n") +
                               path_,
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
    // Whether it is written yet or not, a copy there is to be removed when the edits end.
    recoveryWritten_ = true;
    auto write = [store = recovery_, number = number_, stamp = stamp_, text] {
        QString error;
        return store.save(number, text, stamp, &error) ? QString() : error;
    };
    // A big memo's copy is written away from the user-interface thread, copies one after another in
    // the order they were taken; a small one at once.
    if (text.size() <= 1024 * 1024) {
        copyWritten(write());
        return;
    }
    copyWriter_.start([this, write] {
        const QString error = write();
        QMetaObject::invokeMethod(this, [this, error] { copyWritten(error); }, Qt::QueuedConnection);
    });
}

void ShownMemo::copyWritten(const QString& error)
{
    if (error.isEmpty()) {
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
    // A copy still being written goes too.
    copyWriter_.waitForDone();
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
