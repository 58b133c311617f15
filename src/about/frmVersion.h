#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QCheckBox;
class QLabel;
class QPushButton;
struct Failure;

// The program's name and version, a link to its README, the automatic-saving setting and whether the
// program starts at login, both written only by OK.
class frmVersion final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmVersion)

public:
    explicit frmVersion(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Label3_Click();

    QString folder() const;
    void reportFailure(const Failure& failure);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label3;
    QCheckBox* chkAutoSave;
    QCheckBox* chkAutoStart;
    QPushButton* Command1;

    QString readmePath_;
    QUrl readmeUrl_;
};
