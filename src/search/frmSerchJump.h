#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// Full-text search over the memos; a double-click or Enter on a hit makes it the current memo and
// closes the window. The memo window opens it modally and loads the current memo afterwards.
class frmSerchJump final : public QDialog
{
    Q_OBJECT

public:
    explicit frmSerchJump(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(frmSerchJump)

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void Form_Load();
    void optAllFile_Click();
    void optHani_Click();
    void cmdSerch_Click();
    void lstIchiran_DblClick();
    void lstIchiran_KeyPress(int key);
    void cmdBrowse_Click();
    void cmdClose_Click();

    bool readRange(int* first, int* last) const;

    QLabel* Label1 = nullptr;
    QLineEdit* txtFilesFolder = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtKeyWord = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* optAllFile = nullptr;
    QRadioButton* optHani = nullptr;
    QLineEdit* txtLNo = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtUNo = nullptr;
    QLabel* Label5 = nullptr;
    QCheckBox* chkKubetsu = nullptr;
    QPushButton* cmdSerch = nullptr;
    QLabel* lblNow = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* lstIchiran = nullptr;
};
