#include "frmIndex.h"

#include "MemoFileList.h"
#include "MemoNaming.h"
#include "PrompterInUse.h"
#include "ShellOpen.h"
#include "WindowSetup.h"
#include "mdlScrivlet.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTimer>

namespace {

constexpr int QuietBeforeRelistMs = 200;
// A folder that keeps changing is still read again about once a second.
constexpr int LongestRelistDelayMs = 1000;

} // namespace

frmIndex::frmIndex(QWidget* parent) : QDialog(parent, ui::fixedDialogFlags())
{
    setObjectName(QStringLiteral("frmIndex"));
    ui::nameWindow(this, QStringLiteral("ファイル一覧"));
    setModal(true);

    Label1 = ui::place<QLabel>(this, "Label1", twipsRect(120, 165, 900, 240), QStringLiteral("フォルダ："));
    txtFilesFolder = ui::place<QLineEdit>(this, "txtFilesFolder", twipsRect(1020, 120, 4260, 315));
    ui::makeRoomForCaption(Label1, txtFilesFolder);
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

    setFixedSize(ui::scaled(twipsSize(6000, 4500)));
    // The screen's centre, not the memo window's.
    ui::centreOnScreen(this);

    connect(cmdPrev, &QPushButton::clicked, this, &frmIndex::cmdPrev_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmIndex::cmdRefresh_Click);
    connect(cmdJump, &QPushButton::clicked, this, &frmIndex::cmdJump_Click);
    connect(cmdKill, &QPushButton::clicked, this, &frmIndex::cmdKill_Click);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmIndex::cmdBrowse_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmIndex::cmdClose_Click);

    watcher_ = new QFileSystemWatcher(this);
    relistTimer_ = new QTimer(this);
    relistTimer_->setObjectName(QStringLiteral("relistTimer"));
    relistTimer_->setSingleShot(true);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &frmIndex::folderChanged);
    connect(relistTimer_, &QTimer::timeout, this, &frmIndex::readList);

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

void frmIndex::readList()
{
    relistTimer_->stop();
    // Watched before it is read, so that no change falls between the two.
    watchFolders();
    const QString selected = selectedName();
    showNames(memofiles::listMemoFiles(memoFolder()));
    // The list would select a neighbour of the removed name; then a jump or a deletion could hit a memo the
    // user never chose.
    if (filList->findItems(selected, Qt::MatchExactly).isEmpty())
        filList->clearSelection();
}

void frmIndex::showNames(const QStringList& names)
{
    // Row by row, so that the selection and the scroll position stay where they are.
    const QSet<QString> wanted(names.cbegin(), names.cend());
    for (int row = filList->count() - 1; row >= 0; --row) {
        if (!wanted.contains(filList->item(row)->text()))
            delete filList->takeItem(row);
    }
    int row = 0;
    for (const QString& name : names) {
        if (row < filList->count() && filList->item(row)->text() == name)
            ++row;
        else
            filList->insertItem(row++, name);
    }
    while (filList->count() > row)
        delete filList->takeItem(row);
}

void frmIndex::watchFolders()
{
    // The program folder tells when the memo folder is made again after a sync engine removed it.
    const QString folder = memoFolder();
    for (const QString& path : {mdlScrivlet::programFolder(), folder}) {
        if (path.isEmpty() || watcher_->directories().contains(path) || !QFileInfo(path).isDir())
            continue;
        // Sync engines can use up the user's inotify watches; then the memo folder is read every second.
        if (!watcher_->addPath(path) && path == folder)
            relistTimer_->start(LongestRelistDelayMs);
    }
}

void frmIndex::folderChanged()
{
    if (!relistTimer_->isActive())
        changingSince_.start();
    if (changingSince_.elapsed() < LongestRelistDelayMs)
        relistTimer_->start(QuietBeforeRelistMs);
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
        readList();
        return;
    }
    QString shown = preview;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    prompter().message(shown, QStringLiteral("Zormet Scrivlet 5行プレビュー"), Prompter::Icon::None,
                       Prompter::Buttons::Ok, Prompter::Answer::Ok);
}

void frmIndex::cmdRefresh_Click()
{
    readList();
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
    readList();
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
