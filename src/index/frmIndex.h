#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;
struct Failure;

// The file list: the memo files by name, a five-line preview, deletion, and a jump that sets the
// current file number for the memo window to open once this window has closed. Memo files that other
// programs (sync engines above all) create, replace or delete while it is open show at once.
class frmIndex final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmIndex)

public:
    explicit frmIndex(QWidget* parent = nullptr);

private:
    void Form_Load();
    void cmdPrev_Click();
    void cmdRefresh_Click();
    void cmdJump_Click();
    void cmdKill_Click();
    void cmdBrowse_Click();
    void cmdClose_Click();

    QString memoFolder() const;
    QString selectedName() const;
    // Reads the folder again. The selected name stays selected while it is listed; once it is gone,
    // nothing is.
    void readList();
    void showNames(const QStringList& names);
    void watchFolders();
    void folderChanged();
    void reportFailure(const Failure& failure);

    QLabel* Label1;
    QLineEdit* txtFilesFolder;
    QPushButton* cmdBrowse;
    QListWidget* filList;
    QPushButton* cmdPrev;
    QPushButton* cmdRefresh;
    QPushButton* cmdJump;
    QPushButton* cmdKill;
    QPushButton* cmdClose;

    QFileSystemWatcher* watcher_;
    // Runs readList once the folder has been quiet for a moment, so that a sync of many memos costs a few
    // readings, not one a memo.
    QTimer* relistTimer_;
    QElapsedTimer changingSince_;
};
