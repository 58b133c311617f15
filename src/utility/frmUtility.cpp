#include "frmUtility.h"

#include "ConflictCopyDeletion.h"
#include "ConflictCopyIntake.h"
#include "ConflictCopyList.h"
#include "EmptyMemoDeletion.h"
#include "MemoCompaction.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "PrompterInUse.h"
#include "TargetRange.h"
#include "Twips.h"
#include "UtilityStartup.h"
#include "WindowSetup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>

namespace {

QPushButton* boldButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    return button;
}

QCheckBox* checkBox(const QString& caption, const QString& name, bool ticked, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(ticked);
    return box;
}

QLineEdit* numberField(const QString& text, const QString& name, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setFixedWidth(ui::scaled(twips(900)));
    return field;
}

// Puts the start button of a page in its lower right corner, below the page's own controls.
void addStartButton(QVBoxLayout* page, QPushButton* button)
{
    page->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(button);
    page->addLayout(row);
}

enum ConflictColumn
{
    NumberColumn,
    DateColumn,
    FirstLineColumn,
    TakenColumn
};

// The item of a listed copy keeps the copy's file name.
constexpr int CopyNameRole = Qt::UserRole;

} // namespace

frmUtility::frmUtility(const QString& memoFolder, QWidget* parent)
    : QDialog(parent), memoFolder_(memoFolder), folderLock_(programFolder())
{
    setObjectName(QStringLiteral("frmUtility"));
    ui::nameWindow(this, QStringLiteral("Zormet Scrivlet Utility"));
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);

    lblStatus = new QLabel(QStringLiteral("Scrivlet Utility Version 0.00.0000"), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    fraTarget = new QGroupBox(QStringLiteral("対象(&T)"), this);
    fraTarget->setObjectName(QStringLiteral("fraTarget"));
    txtTargetFrom = numberField(QStringLiteral("0000"), QStringLiteral("txtTargetFrom"), fraTarget);
    lblFrom = new QLabel(fraTarget);
    lblFrom->setObjectName(QStringLiteral("lblFrom"));
    txtTargetTo = numberField(QStringLiteral("0001"), QStringLiteral("txtTargetTo"), fraTarget);
    lblTo = new QLabel(fraTarget);
    lblTo->setObjectName(QStringLiteral("lblTo"));
    auto* range = new QHBoxLayout(fraTarget);
    range->addWidget(txtTargetFrom);
    range->addWidget(lblFrom);
    range->addWidget(txtTargetTo);
    range->addWidget(lblTo);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    // Every tab's caption in sight: the window is at least as wide as they need.
    SSTab1->setUsesScrollButtons(false);
    SSTab1->addTab(buildCompactPage(), QStringLiteral("ファイルを詰める(&1)"));
    SSTab1->addTab(buildJoinPage(), QStringLiteral("ファイルを結合する(&2)"));
    SSTab1->addTab(buildDeletePage(), QStringLiteral("空ファイルを削除する(&3)"));
    SSTab1->addTab(buildConflictPage(), QStringLiteral("競合コピー(&4)"));

    auto* top = new QHBoxLayout;
    top->addWidget(lblStatus, 0, Qt::AlignLeft | Qt::AlignTop);
    top->addStretch();
    top->addWidget(fraTarget);
    auto* window = new QVBoxLayout(this);
    window->addLayout(top);
    window->addWidget(SSTab1, 1);
    resize(ui::scaled(twipsSize(7500, 4800)));

    // The tab widget reports only the new tab; the handler wants the one shown before.
    connect(SSTab1, &QTabWidget::currentChanged, this, [this](int index) {
        const int previous = shownTab_;
        shownTab_ = index;
        SSTab1_Click(previous);
    });
    connect(cmdStartTumeru, &QPushButton::clicked, this, &frmUtility::cmdStartTumeru_Click);
    connect(cmdStartHR, &QPushButton::clicked, this, &frmUtility::cmdStartHR_Click);
    connect(cmdExecuteAdd, &QPushButton::clicked, this, &frmUtility::cmdExecuteAdd_Click);
    connect(cmdCancelAdd, &QPushButton::clicked, this, &frmUtility::cmdCancelAdd_Click);
    connect(cmdDeleteKaraFile, &QPushButton::clicked, this, &frmUtility::cmdDeleteKaraFile_Click);
    connect(lstKyougou, &QTreeWidget::itemSelectionChanged, this, &frmUtility::lstKyougou_SelectionChanged);
    connect(cmdTorikomu, &QPushButton::clicked, this, &frmUtility::cmdTorikomu_Click);
    connect(cmdKyougouKill, &QPushButton::clicked, this, &frmUtility::cmdKyougouKill_Click);

    SSTab1->setCurrentIndex(CompactTab);
    shownTab_ = CompactTab;
    SSTab1_Click(CompactTab);
    lblStatus->setText(utility::versionLine());
}

QWidget* frmUtility::buildCompactPage()
{
    auto* page = new QWidget;
    txtStopAki = numberField(QStringLiteral("100"), QStringLiteral("txtStopAki"), page);
    Label2 = new QLabel(QStringLiteral("個空きが続いたら処理を中断する(&T)"), page);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setBuddy(txtStopAki);
    cmdStartTumeru = boldButton(QStringLiteral("詰める処理を始める(&S)"), QStringLiteral("cmdStartTumeru"), page);

    auto* layout = new QVBoxLayout(page);
    auto* stopRow = new QHBoxLayout;
    stopRow->addWidget(txtStopAki);
    stopRow->addWidget(Label2);
    stopRow->addStretch();
    layout->addLayout(stopRow);
    addStartButton(layout, cmdStartTumeru);
    return page;
}

QWidget* frmUtility::buildJoinPage()
{
    auto* page = new QWidget;
    // The preview takes the whole page, so the idle controls and their access keys are out of reach.
    joinPages = new QStackedLayout(page);

    joinIdle = new QWidget(page);
    chkHR = checkBox(QStringLiteral("区切り線をつける(&H)"), QStringLiteral("chkHR"), true, joinIdle);
    chkDeleteAddSouse = checkBox(QStringLiteral("結合後、結合前のファイルは削除する(&D)"),
                                 QStringLiteral("chkDeleteAddSouse"), false, joinIdle);
    cmdStartHR = boldButton(QStringLiteral("結合を始める(&S)"), QStringLiteral("cmdStartHR"), joinIdle);
    auto* idle = new QVBoxLayout(joinIdle);
    idle->addWidget(chkHR);
    idle->addWidget(chkDeleteAddSouse);
    addStartButton(idle, cmdStartHR);

    picAdd = new QWidget(page);
    picAdd->setObjectName(QStringLiteral("picAdd"));
    lblAddAfter = new QLabel(QStringLiteral("結合後のtext0000.txtの内容(&T)"), picAdd);
    lblAddAfter->setObjectName(QStringLiteral("lblAddAfter"));
    txtAddAfter = new QPlainTextEdit(picAdd);
    txtAddAfter->setObjectName(QStringLiteral("txtAddAfter"));
    txtAddAfter->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtAddAfter->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtAddAfter->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lblAddAfter->setBuddy(txtAddAfter);
    cmdCancelAdd = new QPushButton(QStringLiteral("キャンセル(&C)"), picAdd);
    cmdCancelAdd->setObjectName(QStringLiteral("cmdCancelAdd"));
    cmdExecuteAdd = new QPushButton(QStringLiteral("実行(&S)"), picAdd);
    cmdExecuteAdd->setObjectName(QStringLiteral("cmdExecuteAdd"));
    auto* preview = new QGridLayout(picAdd);
    preview->addWidget(lblAddAfter, 0, 0);
    preview->addWidget(txtAddAfter, 1, 0, 3, 1);
    preview->addWidget(cmdCancelAdd, 1, 1);
    preview->addWidget(cmdExecuteAdd, 2, 1);
    preview->setRowStretch(3, 1);
    preview->setColumnStretch(0, 1);

    joinPages->addWidget(joinIdle);
    joinPages->addWidget(picAdd);
    joinPages->setCurrentWidget(joinIdle);
    return page;
}

QWidget* frmUtility::buildDeletePage()
{
    auto* page = new QWidget;
    chkKillKakunin =
        checkBox(QStringLiteral("削除する前に確認する(&R)"), QStringLiteral("chkKillKakunin"), false, page);
    cmdDeleteKaraFile =
        boldButton(QStringLiteral("空ファイル削除を始める(&S)"), QStringLiteral("cmdDeleteKaraFile"), page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(chkKillKakunin);
    addStartButton(layout, cmdDeleteKaraFile);
    return page;
}

QWidget* frmUtility::buildConflictPage()
{
    auto* page = new QWidget;
    lblKyougou = new QLabel(QStringLiteral("同期ソフトが残した競合コピー(&L)"), page);
    lblKyougou->setObjectName(QStringLiteral("lblKyougou"));
    lstKyougou = new QTreeWidget(page);
    lstKyougou->setObjectName(QStringLiteral("lstKyougou"));
    lstKyougou->setHeaderLabels(
        {QStringLiteral("番号"), QStringLiteral("日時"), QStringLiteral("1行目"), QStringLiteral("取り込み先")});
    lstKyougou->setRootIsDecorated(false);
    lstKyougou->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lblKyougou->setBuddy(lstKyougou);
    cmdTorikomu = new QPushButton(QStringLiteral("取り込む(&I)"), page);
    cmdTorikomu->setObjectName(QStringLiteral("cmdTorikomu"));
    cmdKyougouKill = new QPushButton(QStringLiteral("削除(&D)"), page);
    cmdKyougouKill->setObjectName(QStringLiteral("cmdKyougouKill"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lblKyougou);
    layout->addWidget(lstKyougou, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdTorikomu);
    row->addWidget(cmdKyougouKill);
    layout->addLayout(row);
    lstKyougou_SelectionChanged();
    return page;
}

bool frmUtility::isJoinPreviewShown() const
{
    return joinPages->currentWidget() == picAdd;
}

void frmUtility::keyPressEvent(QKeyEvent* event)
{
    // Esc cancels a join preview and otherwise does nothing: it must not close the window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (isJoinPreviewShown())
            cmdCancelAdd->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmUtility::SSTab1_Click(int previousTab)
{
    if (isJoinPreviewShown()) {
        // A preview belongs to the join tab: leaving it is undone, which runs this handler again.
        if (SSTab1->currentIndex() != JoinTab)
            SSTab1->setCurrentIndex(previousTab);
        return;
    }
    const bool join = SSTab1->currentIndex() == JoinTab;
    lblFrom->setText(join ? QStringLiteral("を") : QStringLiteral("から"));
    lblTo->setText(join ? QStringLiteral("へ") : QStringLiteral("まで"));
    // The conflict copies lie outside the numbered range.
    fraTarget->setEnabled(SSTab1->currentIndex() != ConflictTab);
    switch (SSTab1->currentIndex()) {
    case CompactTab:
        cmdStartTumeru->setDefault(true);
        break;
    case JoinTab:
        cmdStartHR->setDefault(true);
        break;
    case DeleteTab:
        cmdDeleteKaraFile->setDefault(true);
        break;
    case ConflictTab:
        cmdTorikomu->setDefault(true);
        readConflictCopies();
        break;
    }
}

void frmUtility::cmdStartTumeru_Click()
{
    const std::optional<utility::TargetRange> range =
        utility::checkTargetRange(txtTargetFrom->text(), txtTargetTo->text(), prompter());
    if (!range)
        return;
    const std::optional<double> stopCount = utility::checkStopCount(txtStopAki->text(), prompter());
    if (!stopCount)
        return;
    utility::compactMemoNumbers(memoFolder_, *range, *stopCount, prompter(), folderLock_);
}

void frmUtility::cmdDeleteKaraFile_Click()
{
    const std::optional<utility::TargetRange> range =
        utility::checkTargetRange(txtTargetFrom->text(), txtTargetTo->text(), prompter());
    if (!range)
        return;
    utility::deleteEmptyMemoFiles(memoFolder_, *range, chkKillKakunin->isChecked(), prompter(), folderLock_);
}

void frmUtility::cmdStartHR_Click()
{
    buildJoinPreview();
}

bool frmUtility::buildJoinPreview()
{
    const std::optional<utility::JoinPreview> preview = utility::startJoin(
        memoFolder_, txtTargetFrom->text(), txtTargetTo->text(), chkHR->isChecked(), prompter(), folderLock_);
    if (!preview)
        return false;
    joinPreview_ = *preview;
    txtAddAfter->setPlainText(joinPreview_.joined);
    joinPages->setCurrentWidget(picAdd);
    fraTarget->setEnabled(false);
    cmdExecuteAdd->setDefault(true);
    cmdExecuteAdd->setFocus();
    return true;
}

void frmUtility::cmdExecuteAdd_Click()
{
    switch (utility::executeJoin(memoFolder_, joinPreview_, txtAddAfter->toPlainText(), chkDeleteAddSouse->isChecked(),
                                 prompter(), folderLock_)) {
    case utility::JoinOutcome::Done:
        cmdCancelAdd_Click();
        break;
    case utility::JoinOutcome::PreviewStays:
        break;
    case utility::JoinOutcome::Rebuild:
        // A memo that has gone meanwhile refuses the join; nothing is left to preview.
        if (!buildJoinPreview())
            cmdCancelAdd_Click();
        break;
    }
}

void frmUtility::cmdCancelAdd_Click()
{
    joinPages->setCurrentWidget(joinIdle);
    fraTarget->setEnabled(true);
    cmdStartHR->setDefault(true);
    cmdStartHR->setFocus();
}

void frmUtility::readConflictCopies()
{
    lstKyougou->clear();
    for (const utility::ListedConflictCopy& listed : utility::listConflictCopies(memoFolder_)) {
        const QString firstLine = listed.readError.isEmpty()
                                      ? listed.firstLine
                                      : QStringLiteral("（読み込めません：%1）").arg(listed.readError);
        auto* item =
            new QTreeWidgetItem(lstKyougou, {QStringLiteral("%1").arg(listed.copy.number, 4, 10, QLatin1Char('0')),
                                             listed.copy.date, firstLine, QString()});
        item->setData(NumberColumn, CopyNameRole, listed.copy.name);
        item->setToolTip(NumberColumn, QStringLiteral("%1（%2）").arg(listed.copy.name, listed.copy.engine));
    }
    for (int column = NumberColumn; column < TakenColumn; ++column)
        lstKyougou->resizeColumnToContents(column);
}

QStringList frmUtility::chosenConflictCopies() const
{
    // In the list's order, whatever order they were chosen in.
    QStringList names;
    for (int row = 0; row < lstKyougou->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = lstKyougou->topLevelItem(row);
        if (item->isSelected())
            names << item->data(NumberColumn, CopyNameRole).toString();
    }
    return names;
}

void frmUtility::lstKyougou_SelectionChanged()
{
    const bool chosen = !lstKyougou->selectedItems().isEmpty();
    cmdTorikomu->setEnabled(chosen);
    cmdKyougouKill->setEnabled(chosen);
}

void frmUtility::cmdTorikomu_Click()
{
    const QStringList names = chosenConflictCopies();
    auto itemOf = [this](const QString& name) -> QTreeWidgetItem* {
        for (int row = 0; row < lstKyougou->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = lstKyougou->topLevelItem(row);
            if (item->data(NumberColumn, CopyNameRole).toString() == name)
                return item;
        }
        return nullptr;
    };
    // Each copy taken in says where it went and can be chosen no more: its old name is gone.
    utility::takeInConflictCopies(memoFolder_, names, prompter(), folderLock_, [&](const utility::TakenCopy& taken) {
        if (QTreeWidgetItem* item = itemOf(taken.name)) {
            item->setText(TakenColumn, QStringLiteral("→ ") + memo::memoFileName(taken.number));
            item->setSelected(false);
            item->setFlags(Qt::NoItemFlags);
        }
    });
}

void frmUtility::cmdKyougouKill_Click()
{
    const QStringList deleted =
        utility::deleteConflictCopies(memoFolder_, chosenConflictCopies(), prompter(), folderLock_);
    for (int row = lstKyougou->topLevelItemCount() - 1; row >= 0; --row) {
        if (deleted.contains(lstKyougou->topLevelItem(row)->data(NumberColumn, CopyNameRole).toString()))
            delete lstKyougou->takeTopLevelItem(row);
    }
}
