#pragma once

#include "FileStamp.h"
#include "MemoChange.h"
#include "RecoveryStore.h"

#include <QString>
#include <QWidget>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The memo window: one memo at a time, saved to and loaded from the memo folder. Constructing it loads
// it (the last memo shown comes back); showing it is the caller's business. Closing it saves and
// destroys it.
class frmScrivlet final : public QWidget
{
    Q_OBJECT

public:
    explicit frmScrivlet(QWidget* parent = nullptr);

    // Without a notification area the window stands in the task bar, minimises instead of hiding, and
    // its close ends the program.
    void setStandalone(bool standalone);

    // The window is shown again: a memo nobody edited here follows its file when someone else changed it;
    // edits are kept and the question comes before the next write.
    void recheckShownMemo();
    // The program ends without saving: the copy kept for crash recovery goes with the edits.
    void forgetUnsavedEdits();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createMenu();
    void applyWindowFlags();

    void Form_Load();
    void cmdNext_Click();
    void cmdPrev_Click();
    bool cmdSave_Click();
    bool AutoSaveCheck();
    void txtDataField_Change();
    bool Form_QueryUnload();
    void Form_Resize();
    void cmdMin_Click();
    void cmdMenu_Click();
    void mnuFileList_Click();
    void mnuAllSerchJump_Click();
    void mnuVersion_Click();
    void mnuJump_Click();
    void mnuAkiFile_Click();
    void mnuFileKill_Click();
    void mnuExit_Click();

    // Opens memo number as Next does, saving the shown one first where that is set.
    void openMemo(int number);
    // Shows a modal window that may choose the current memo, then opens the current one.
    template <typename Dialog> void chooseMemoWith();
    // Moves to memo number and loads it; on failure the current file number goes back to the shown memo.
    void step(int number, const QString& readingStatus);
    bool loadMemo(int number, const QString& readingStatus);
    void showUnreadableMemo(int number);
    void showMemo(int number, const QString& path, const QString& text, const QString& status);
    void showPath(int number, const QString& path);

    // Whether the shown memo's file may be written now; asks when someone else changed it. KeepBoth
    // has then already saved the text under a new number.
    enum class WriteCheck
    {
        Write,
        SavedElsewhere,
        Stop
    };
    WriteCheck checkBeforeWrite();
    bool keepBoth(MemoChange change);
    void rememberShownFile();
    void writeLastFileNum();

    void writeRecoveryCopy();
    void dropRecoveryCopy();
    void offerRecoveryCopy();

    QString changedMark() const;
    void setChangedMark(const QString& mark);
    void setStatus(const QString& status);
    QString memoText() const;

    QLabel* lblFile = nullptr;
    QLineEdit* txtFile = nullptr;
    QPushButton* cmdPrev = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdMenu = nullptr;
    QLabel* lblFileStatus = nullptr;
    QPushButton* cmdMin = nullptr;
    QPlainTextEdit* txtDataField = nullptr;

    QMenu* mnuMenu = nullptr;
    QAction* mnuFileList = nullptr;
    QAction* mnuJump = nullptr;
    QAction* mnuAllSerchJump = nullptr;
    QAction* mnuAkiFile = nullptr;
    QAction* mnuFileKill = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuExit = nullptr;

    QString shownPath_;
    int shownNumber_ = -1;
    // A memo that could not be read faithfully is written back only when the user edits or saves it.
    bool keepFileUnlessEdited_ = false;
    // The shown memo's file as this window last read or wrote it; empty when it could not be looked at.
    std::optional<FileStamp> shownStamp_;
    RecoveryStore recovery_;
    QTimer* recoveryTimer_ = nullptr;
    // A copy of this window's edits exists for the shown memo.
    bool recoveryWritten_ = false;
    bool recoveryFailureReported_ = false;
    bool standalone_ = false;
};
