#pragma once

#include "ShownMemo.h"

#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class MemoEditor;
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

    const ShownMemo& shownMemo() const { return *memo_; }

    // Shows memo number as choosing it in the file list does, saving the shown one first where that is
    // set; whether it is the shown memo afterwards.
    bool goToMemo(int number);
    // Hides the window as 最小化 does.
    void minimise() { cmdMin_Click(); }

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

    // Shows a modal window that may choose the current memo, then opens the current one.
    template <typename Dialog> void chooseMemoWith();
    // Moves to memo number; on failure the shown memo stays.
    void step(int number, const QString& readingStatus);
    void showLoaded(const ShownMemo::Loaded& loaded);
    void showStatus(ShownMemo::Status status);
    void showReadAgain(const ShownMemo::Loaded& loaded);
    void writeRecoveryCopy();
    QString shownText() const;

    QLabel* lblFile = nullptr;
    QLineEdit* txtFile = nullptr;
    QPushButton* cmdPrev = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdMenu = nullptr;
    QLabel* lblFileStatus = nullptr;
    QPushButton* cmdMin = nullptr;
    MemoEditor* txtDataField = nullptr;

    QMenu* mnuMenu = nullptr;
    QAction* mnuFileList = nullptr;
    QAction* mnuJump = nullptr;
    QAction* mnuAllSerchJump = nullptr;
    QAction* mnuAkiFile = nullptr;
    QAction* mnuFileKill = nullptr;
    QAction* mnuVersion = nullptr;
    QAction* mnuExit = nullptr;

    ShownMemo* memo_ = nullptr;
    QTimer* recoveryTimer_ = nullptr;
    bool standalone_ = false;
};
