#pragma once

#include "FolderLock.h"
#include "MemoJoin.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedLayout;
class QTabWidget;
class QTreeWidget;

// The utility's one window: the target range, the version line and a tab per operation. A dialog,
// so that Enter presses the shown tab's start button. The operations report through the prompter;
// the window shows the join preview and keeps what the user typed.
class frmUtility final : public QDialog
{
    Q_OBJECT

public:
    // memoFolder: the folder of the memo files, ending in a separator; start-up has checked it.
    explicit frmUtility(const QString& memoFolder, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmUtility)

    bool isJoinPreviewShown() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum Tab
    {
        CompactTab = 0,
        JoinTab = 1,
        DeleteTab = 2,
        ConflictTab = 3
    };

    QWidget* buildCompactPage();
    QWidget* buildJoinPage();
    QWidget* buildDeletePage();
    QWidget* buildConflictPage();

    // Builds the join preview from the range fields and shows it; false when the join was refused.
    bool buildJoinPreview();
    void readConflictCopies();
    QStringList chosenConflictCopies() const;

    void SSTab1_Click(int previousTab);
    void cmdStartTumeru_Click();
    void cmdStartHR_Click();
    void cmdExecuteAdd_Click();
    void cmdCancelAdd_Click();
    void cmdDeleteKaraFile_Click();
    void lstKyougou_SelectionChanged();
    void cmdTorikomu_Click();
    void cmdKyougouKill_Click();

    QString memoFolder_;
    // Every operation holds it while it works on the memo folder.
    utility::MainProgramLock folderLock_;
    int shownTab_ = CompactTab;
    // Kept while the preview lasts: the numbers joined and the text as it was built.
    utility::JoinPreview joinPreview_;

    QLabel* lblStatus = nullptr;
    QGroupBox* fraTarget = nullptr;
    QLineEdit* txtTargetFrom = nullptr;
    QLabel* lblFrom = nullptr;
    QLineEdit* txtTargetTo = nullptr;
    QLabel* lblTo = nullptr;
    QTabWidget* SSTab1 = nullptr;

    QLineEdit* txtStopAki = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdStartTumeru = nullptr;

    QStackedLayout* joinPages = nullptr;
    QWidget* joinIdle = nullptr;
    QCheckBox* chkHR = nullptr;
    QCheckBox* chkDeleteAddSouse = nullptr;
    QPushButton* cmdStartHR = nullptr;
    QWidget* picAdd = nullptr;
    QLabel* lblAddAfter = nullptr;
    QPlainTextEdit* txtAddAfter = nullptr;
    QPushButton* cmdCancelAdd = nullptr;
    QPushButton* cmdExecuteAdd = nullptr;

    QCheckBox* chkKillKakunin = nullptr;
    QPushButton* cmdDeleteKaraFile = nullptr;

    QLabel* lblKyougou = nullptr;
    QTreeWidget* lstKyougou = nullptr;
    QPushButton* cmdTorikomu = nullptr;
    QPushButton* cmdKyougouKill = nullptr;
};
