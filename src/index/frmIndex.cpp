#include "frmIndex.h"

#include "MemoFileList.h"
#include "MemoNaming.h"
#include "PrompterInUse.h"
#include "ShellOpen.h"
#include "WindowSetup.h"
#include "mdlScrivlet.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

frmIndex::frmIndex(QWidget* parent) : QDialog(parent, ui::fixedDialogFlags())
{
    setObjectName(QStringLiteral("frmIndex"));
    setWindowTitle(QStringLiteral("ファイル一覧"));
    setModal(true);

    Label1 = ui::place<QLabel>(this, "Label1", twipsRect(120, 165, 900, 240), QStringLiteral("フォルダ："));
    txtFilesFolder = ui::place<QLineEdit>(this, "txtFilesFolder", twipsRect(1020, 120, 4260, 315));
    ui::colourBaseAs(txtFilesFolder, QPalette::Window);
    cmdBrowse = ui::placeButton(this, "cmdBrowse", QStringLiteral("..."), twipsRect(5340, 105, 540, 345));

    filList = ui::place<QListWidget>(this, "filList", twipsRect(120, 570, 3960, 3810));
    filList->setSelectionMode(QAbstractItemView::SingleSelection);

    cmdPrev = ui::placeButton(this, "cmdPrev", QStringLiteral("プレビュー(&P)"), twipsRect(4200, 570, 1680, 375));
    cmdRefresh = ui::placeButton(this, "cmdRefresh", QStringLiteral("一覧更新(&R)"), twipsRect(4200, 1005, 1680, 375));
    cmdJump = ui::placeButton(this, "cmdJump", QStringLiteral("ジャンプ(&J)"), twipsRect(4200, 1605, 1680, 375));
    cmdKill = ui::placeButton(this, "cmdKill", QStringLiteral("ファイル削除(&K)"), twipsRect(4200, 2040, 1680, 375));
    cmdClose = ui::placeButton(this, "cmdClose", QStringLiteral("閉じる(&C)"), twipsRect(4200, 4005, 1680, 375));
    cmdJump->setDefault(true);

    setFixedSize(twips(6000), twips(4500));
    // The screen's centre, not the memo window's.
    ui::centreOnScreen(this);

    connect(cmdPrev, &QPushButton::clicked, this, &frmIndex::cmdPrev_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmIndex::cmdRefresh_Click);
    connect(cmdJump, &QPushButton::clicked, this, &frmIndex::cmdJump_Click);
    connect(cmdKill, &QPushButton::clicked, this, &frmIndex::cmdKill_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmIndex::cmdBrowse_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmIndex::cmdClose_Click);

    Form_Load();
}

void frmIndex::Form_Load()
{
    ui::showPath(txtFilesFolder, memoFolder());
    readList();
    filList->setFocus();
}

QString frmIndex::memoFolder() const
{
    return memo::memoFolder(mdlScrivlet::programFolder());
}

QString frmIndex::selectedName() const
{
    const QList<QListWidgetItem*> selected = filList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void frmIndex::readList(const QString& keepSelected)
{
    filList->clear();
    filList->addItems(memofiles::listMemoFiles(memoFolder()));
    if (keepSelected.isEmpty())
        return;
    const QList<QListWidgetItem*> found = filList->findItems(keepSelected, Qt::MatchExactly);
    if (!found.isEmpty())
        filList->setCurrentItem(found.first());
}

void frmIndex::reportFailure(const Failure& failure)
{
    prompter().showFailure(failure, mdlScrivlet::programTitle());
}

void frmIndex::cmdPrev_Click()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    QString error;
    const QString preview = memofiles::previewMemoFile(mdlScrivlet::sharedText(), memoFolder() + name, &error);
    if (!error.isEmpty()) {
        reportFailure(
            {QStringLiteral("「%1」を読み込めませんでした。").arg(name), memoFolder() + name, error, QString()});
        readList(name);
        return;
    }
    QString shown = preview;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    prompter().message(shown, QStringLiteral("Zormet Scrivlet 5行プレビュー"), Prompter::Icon::None,
                       Prompter::Buttons::Ok, Prompter::Answer::Ok);
}

void frmIndex::cmdRefresh_Click()
{
    readList(selectedName());
}

void frmIndex::cmdJump_Click()
{
    const QString name = selectedName();
    if (name.isEmpty()) {
        accept();
        return;
    }
    const std::optional<int> number = memo::numberFromMemoFileName(name);
    if (!number) {
        // The memo window opens memos by number; this name has none, so the choice stays open.
        reportFailure({QStringLiteral("「%1」は番号の付いたメモファイルではないため、ジャンプできません。").arg(name),
                       QString(), QString(), QString()});
        return;
    }
    mdlScrivlet::setCurrentFileNumber(static_cast<qint16>(*number));
    accept();
}

void frmIndex::cmdKill_Click()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    const QString question = QStringLiteral("選択されたファイルを削除します。\n"
                                            "よろしいですか？\n"
                                            "\n"
                                            "※これを実行すると元に戻す事は出来ません。");
    if (!prompter().confirm(question, QStringLiteral("Scrivlet Kill File")))
        return;
    QString error;
    if (!memofiles::deleteMemoFile(memoFolder() + name, &error))
        reportFailure(
            {QStringLiteral("「%1」を削除できませんでした。").arg(name), memoFolder() + name, error, QString()});
    readList(name);
}

void frmIndex::cmdBrowse_Click()
{
    const QString folder = txtFilesFolder->text();
    Failure failure;
    if (!openFolderInFileManager(folder, &failure))
        reportFailure(failure);
}

void frmIndex::cmdClose_Click()
{
    reject();
}
