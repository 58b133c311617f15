#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
struct Failure;

// The file list: the memo files by name, a five-line preview, deletion, and a jump that sets the
// current file number for the memo window to open once this window has closed.
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
    // Reads the folder again; the name given stays selected when it is still there.
    void readList(const QString& keepSelected = QString());
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
};
