#include "frmUtility.h"

#include "EmptyMemoDeletion.h"
#include "MemoCompaction.h"
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
    field->setFixedWidth(twips(900));
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

} // namespace

frmUtility::frmUtility(const QString& memoFolder, QWidget* parent)
    : QDialog(parent), memoFolder_(memoFolder), folderLock_(programFolder())
{
    setObjectName(QStringLiteral("frmUtility"));
    setWindowTitle(QStringLiteral("Zormet Scrivlet Utility"));
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
    SSTab1->addTab(buildCompactPage(), QStringLiteral("ファイルを詰める(&1)"));
    SSTab1->addTab(buildJoinPage(), QStringLiteral("ファイルを結合する(&2)"));
    SSTab1->addTab(buildDeletePage(), QStringLiteral("空ファイルを削除する(&3)"));

    auto* top = new QHBoxLayout;
    top->addWidget(lblStatus, 0, Qt::AlignLeft | Qt::AlignTop);
    top->addStretch();
    top->addWidget(fraTarget);
    auto* window = new QVBoxLayout(this);
    window->addLayout(top);
    window->addWidget(SSTab1, 1);
    resize(twips(7500), twips(4800));

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
    fraTarget->setEnabled(true);
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
    const std::optional<utility::JoinPreview> preview = utility::startJoin(
        memoFolder_, txtTargetFrom->text(), txtTargetTo->text(), chkHR->isChecked(), prompter(), folderLock_);
    if (!preview)
        return;
    joinPreview_ = *preview;
    txtAddAfter->setPlainText(joinPreview_.joined);
    joinPages->setCurrentWidget(picAdd);
    fraTarget->setEnabled(false);
    cmdExecuteAdd->setDefault(true);
    cmdExecuteAdd->setFocus();
}

void frmUtility::cmdExecuteAdd_Click()
{
    if (utility::executeJoin(memoFolder_, joinPreview_, txtAddAfter->toPlainText(), chkDeleteAddSouse->isChecked(),
                             prompter(), folderLock_))
        cmdCancelAdd_Click();
}

void frmUtility::cmdCancelAdd_Click()
{
    joinPages->setCurrentWidget(joinIdle);
    fraTarget->setEnabled(true);
    cmdStartHR->setDefault(true);
    cmdStartHR->setFocus();
}
