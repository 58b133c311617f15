#pragma once

#include "FileStamp.h"
#include "MemoChange.h"
#include "RecoveryStore.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <optional>

class Prompter;
class QFileSystemWatcher;
class QTimer;

// The memo the memo window shows, without the window: its number, file and stamp, whether the user has
// edited it, and every file step on it (reading, saving with the check for other programs' changes,
// keeping both, the recovery copy of unsaved edits, deletion). It watches its file while it shows it:
// a sync engine or another program changing it is noticed at once. Questions go to the prompter it is
// given, and so do failures, which leave everything as it was. The window shows what it reports.
class ShownMemo final : public QObject
{
    Q_OBJECT

public:
    enum class Status
    {
        NotCreated,
        ReadOk,
        ReadPartly,
        ReadFailed,
        WriteOk,
        WriteReplaced,
        SaveCancelled,
        Recovered,
        ReadAgain,        // another program changed the memo; nobody had edited it here
        ChangedElsewhere, // another program changed the memo under edits made here
        RemovedElsewhere, // the memo's file went; its text stays, not saved
        RemovedHere,      // the memo was deleted in the file list
        ConflictCopies    // a sync engine kept copies of other machines' edits beside the memo
    };

    // The status line's text, "状態：...", short enough for the line; and what the line's tip says.
    QString statusText(Status status) const;
    QString statusDetail(Status status) const;

    // What the window is to show after a memo was read.
    struct Loaded
    {
        QString text;
        Status status = Status::ReadOk;
    };

    // `prompter` gives the prompter in use at the moment of asking.
    ShownMemo(QString programFolder, std::function<Prompter&()> prompter, QObject* parent = nullptr);
    ~ShownMemo() override;
    Q_DISABLE_COPY_MOVE(ShownMemo)

    // None (-1) until a memo has been opened.
    int number() const { return number_; }
    QString path() const { return path_; }
    bool isEdited() const { return edited_; }
    // The user changed the text (true), or the window set it from the file (false).
    void setEdited(bool edited);

    // The memo folder made when missing, and the number to open first: the memo a crash left unsaved
    // edits for, else LastFileNum. Failures are reported and the start goes on.
    int startingNumber();

    // Reads memo `number`, which then is the shown memo; nothing when it could not be read (reported,
    // and the shown memo stays). A memo without a file is no failure: it is shown empty.
    [[nodiscard]] std::optional<Loaded> open(int number);
    // Start-up could not read memo `number`: it is shown empty and its file is written only once edited.
    Loaded openUnreadable(int number);
    // The shown memo changed on disk and holds no edits that are not saved: it is read again. Nothing
    // otherwise.
    [[nodiscard]] std::optional<Loaded> reread();
    // The edits a crash kept from being saved for the memo just opened, when the user takes them back.
    // When another file has come to stand at the number since, they come back as a new memo at a free
    // number, which is then the shown memo.
    [[nodiscard]] std::optional<QString> offerRecoveryCopy();

    // Writes `text` (lines separated by LF, as the text box has them). Another program's change to the
    // file since it was read or written here is asked about first; keeping both writes the text as a
    // new memo, which is then the shown one. False when nothing was written. `staying`: the window goes
    // on showing the memo, rather than moving to another or closing.
    [[nodiscard]] bool save(const QString& text, bool staying = true);
    // Before another memo is opened: whether it is to be saved, automatic saving being on and the memo
    // edited.
    bool mustBeSavedBeforeLeaving() const;
    // Before the window closes: whether the memo has to be written (edits not saved yet, or a memo that
    // has no file yet). An unedited memo is never written back: that would change its line ends.
    bool mustBeWrittenOnClose() const;
    void rememberAsLast();

    enum class Removal
    {
        Removed,
        Kept,
        // Another program changed the file since it was shown: it was kept, and reread() shows its text.
        ChangedElsewhere
    };
    // Deletes the shown memo's file once the user agrees.
    Removal remove();

    // Whether edits have been made since the last copy of them was kept.
    bool recoveryCopyDue() const { return number_ >= 0 && copyDue_; }
    // Keeps a copy of the edits not yet copied, outside the memo folder, so that a crash loses little.
    void keepRecoveryCopy(const QString& text);
    // The edits end without being saved: their copy goes.
    void dropRecoveryCopy();

    // Tests: how long changes on disk may settle before they are looked at.
    void setSettleTime(int ms);

Q_SIGNALS:
    // The shown memo is another file now (opened, or its text went to a new memo).
    void shownFileChanged(int number, const QString& path);
    void statusChanged(ShownMemo::Status status);
    // Another program changed the unedited memo: this is its text now.
    void readAgain(const ShownMemo::Loaded& loaded);

private:
    enum class WriteCheck
    {
        Write,
        AsItIs, // unedited and unchanged since it was read or written
        SavedElsewhere,
        Stop
    };
    [[nodiscard]] WriteCheck checkBeforeWrite(const QString& text, bool staying);
    [[nodiscard]] bool keepBoth(MemoChange change, const QString& text, bool staying);
    [[nodiscard]] std::optional<MemoChange> changeOnDisk(const QString& what);
    void show(int number, const std::optional<FileStamp>& stamp);
    void rememberShownFile();
    void watch();
    void lookAtDisk();
    Status readStatus(bool partly) const;
    void report(const QString& what, const QString& path, const QString& reason);
    void copyWritten(const QString& error);

    QString folder_;
    std::function<Prompter&()> prompter_;
    RecoveryStore recovery_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* settle_ = nullptr;
    int number_ = -1;
    QString path_;
    bool edited_ = false;
    // Edits made since the memo was last read or written.
    bool unsaved_ = false;
    // A memo that could not be read faithfully is written back only when the user edits or saves it.
    bool keepFileUnlessEdited_ = false;
    // The file as it was last read or written here; empty when it could not be looked at.
    std::optional<FileStamp> stamp_;
    // The change on disk the status line has told of, so that it tells of each once.
    std::optional<FileStamp> toldOf_;
    int conflictCopies_ = 0;
    // Edits made since the last copy was written.
    bool copyDue_ = false;
    // A copy of the edits exists for the shown memo.
    bool recoveryWritten_ = false;
    bool recoveryFailureReported_ = false;
    QThreadPool copyWriter_;
};

// Long enough not to write at every key, short enough that a crash loses little.
int recoveryDelayMs();

// Tests: while one lives, the recovery copy is written this long after typing stops.
class ScopedRecoveryDelay final
{
public:
    explicit ScopedRecoveryDelay(int ms);
    ~ScopedRecoveryDelay();
    ScopedRecoveryDelay(const ScopedRecoveryDelay&) = delete;
    ScopedRecoveryDelay& operator=(const ScopedRecoveryDelay&) = delete;

private:
    int previous_;
};
