#include "frmScrivlet.h"

#include "FreeNumberSearch.h"
#include "JumpAnswer.h"
#include "MemoEditor.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "PrompterInUse.h"
#include "WindowSetup.h"
#include "frmIndex.h"
#include "frmSerchJump.h"
#include "frmVersion.h"
#include "mdlScrivlet.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int MinimumOuterWidth = 6135; // twips
constexpr int ClientWidth = 6015;       // twips
constexpr int ClientHeight = 5175;      // twips

} // namespace

frmScrivlet::frmScrivlet(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmScrivlet"));
    setAttribute(Qt::WA_DeleteOnClose);
    ui::nameWindow(this, mdlScrivlet::programTitle());
    applyWindowFlags();
    createControls();
    createMenu();
    resize(ui::scaled(twipsSize(ClientWidth, ClientHeight)));
    Form_Load();
}

void frmScrivlet::setStandalone(bool standalone)
{
    standalone_ = standalone;
    applyWindowFlags();
}

void frmScrivlet::applyWindowFlags()
{
    // A tool window has no task-bar entry on Windows and X11 alike.
    Qt::WindowFlags flags =
        Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    flags |= standalone_ ? Qt::Window : Qt::Tool;
    const bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible)
        show();
}

void frmScrivlet::createControls()
{
    lblFile = ui::place<QLabel>(this, "lblFile", twipsRect(105, 165, 960, 225), QStringLiteral("ファイル名："));
    txtFile = ui::place<QLineEdit>(this, "txtFile", twipsRect(1050, 165, 1905, 225));
    ui::makeRoomForCaption(lblFile, txtFile);
    txtFile->setReadOnly(true);
    ui::colourBaseAs(txtFile, QPalette::Button);
    lblFile->setBuddy(txtFile);

    cmdPrev = ui::placeButton(this, "cmdPrev", QStringLiteral("<<(&P)"), twipsRect(3045, 105, 645, 330));
    cmdNext = ui::placeButton(this, "cmdNext", QStringLiteral("(&N)>>"), twipsRect(3780, 105, 645, 330));
    cmdSave = ui::placeButton(this, "cmdSave", QStringLiteral("&Save"), twipsRect(4515, 105, 1380, 330));
    cmdMenu = ui::placeButton(this, "cmdMenu", QStringLiteral("メニュー(&E)"), twipsRect(3045, 525, 1380, 330));
    lblFileStatus = ui::place<QLabel>(this, "lblFileStatus", twipsRect(105, 585, 2850, 225));
    cmdMin = ui::placeButton(this, "cmdMin", QStringLiteral("最小化(&M)"), twipsRect(4515, 525, 1380, 330));

    txtDataField = ui::place<MemoEditor>(this, "txtDataField", twipsRect(0, 945, 6000, 4215));

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    connect(recoveryTimer_, &QTimer::timeout, this, &frmScrivlet::writeRecoveryCopy);

    QWidget* const order[] = {txtFile, cmdPrev, cmdNext, cmdSave, cmdMenu, cmdMin, txtDataField};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmdPrev, &QPushButton::clicked, this, &frmScrivlet::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmScrivlet::cmdNext_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmScrivlet::cmdSave_Click);
    connect(cmdMenu, &QPushButton::clicked, this, &frmScrivlet::cmdMenu_Click);
    connect(cmdMin, &QPushButton::clicked, this, &frmScrivlet::cmdMin_Click);
    connect(txtDataField, &MemoEditor::edited, this, &frmScrivlet::txtDataField_Change);
}

void frmScrivlet::createMenu()
{
    mnuMenu = ui::createMenu(this);
    auto item = [this](const char* name, const QString& caption, void (frmScrivlet::*handler)()) {
        QAction* a = ui::addMenuItem(mnuMenu, name, caption);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnuFileList = item("mnuFileList", QStringLiteral("ファイル一覧(&L)"), &frmScrivlet::mnuFileList_Click);
    mnuJump = item("mnuJump", QStringLiteral("ジャンプ(&J)"), &frmScrivlet::mnuJump_Click);
    mnuAllSerchJump =
        item("mnuAllSerchJump", QStringLiteral("全文検索ジャンプ(&A)"), &frmScrivlet::mnuAllSerchJump_Click);
    mnuAkiFile = item("mnuAkiFile", QStringLiteral("空きファイルを検索(&N)"), &frmScrivlet::mnuAkiFile_Click);
    mnuFileKill = item("mnuFileKill", QStringLiteral("カレントファイル削除(&D)"), &frmScrivlet::mnuFileKill_Click);
    mnuVersion = item("mnuVersion", QStringLiteral("バージョン情報 / 設定(&V)"), &frmScrivlet::mnuVersion_Click);
    mnuExit = item("mnuExit", QStringLiteral("終了(&X)"), &frmScrivlet::mnuExit_Click);
    ui::setDefaultMenuItem(mnuMenu, mnuFileList);
}

void frmScrivlet::Form_Load()
{
    mdlScrivlet::setProgramFolder(programFolder());
    memo_ = new ShownMemo(mdlScrivlet::programFolder(), &prompter, this);
    connect(memo_, &ShownMemo::shownFileChanged, this,
            [this](int, const QString& path) { ui::showPath(txtFile, path); });
    connect(memo_, &ShownMemo::statusChanged, this, &frmScrivlet::showStatus);
    connect(memo_, &ShownMemo::readAgain, this, &frmScrivlet::showReadAgain);
    const int number = memo_->startingNumber();
    goToMemo(number);
    if (memo_->number() < 0)
        showLoaded(memo_->openUnreadable(number));
}

void frmScrivlet::cmdNext_Click()
{
    if (memo_->number() < memo::LastNumber)
        goToMemo(memo_->number() + 1);
}

void frmScrivlet::cmdPrev_Click()
{
    if (memo_->number() > memo::FirstNumber)
        step(memo_->number() - 1, QStringLiteral("状態：ファイル認識。読み込み開始"));
}

bool frmScrivlet::goToMemo(int number)
{
    step(number, QStringLiteral("状態：4ファイル認識。読み込み開始"));
    return memo_->number() == number;
}

void frmScrivlet::step(int number, const QString& readingStatus)
{
    if (!AutoSaveCheck())
        return;
    const std::optional<ShownMemo::Loaded> loaded = memo_->open(number);
    if (!loaded)
        return;
    if (loaded->status != ShownMemo::Status::NotCreated)
        lblFileStatus->setText(readingStatus);
    showLoaded(*loaded);
}

void frmScrivlet::showLoaded(const ShownMemo::Loaded& loaded)
{
    txtDataField->showText(loaded.text);
    recoveryTimer_->stop();
    showStatus(loaded.status);
    // Taken back, the edits are shown as not saved.
    if (const std::optional<QString> recovered = memo_->offerRecoveryCopy())
        txtDataField->showText(*recovered);
}

void frmScrivlet::showStatus(ShownMemo::Status status)
{
    lblFileStatus->setText(memo_->statusText(status));
    // The line is narrow; the whole status stays readable on hover.
    lblFileStatus->setToolTip(memo_->statusDetail(status));
}

void frmScrivlet::showReadAgain(const ShownMemo::Loaded& loaded)
{
    // As near to where the user was as the new text allows.
    const int position = txtDataField->textCursor().position();
    const int across = txtDataField->horizontalScrollBar()->value();
    const int down = txtDataField->verticalScrollBar()->value();
    showLoaded(loaded);
    QTextCursor cursor = txtDataField->textCursor();
    cursor.setPosition(std::min(position, txtDataField->document()->characterCount() - 1));
    txtDataField->setTextCursor(cursor);
    txtDataField->horizontalScrollBar()->setValue(across);
    txtDataField->verticalScrollBar()->setValue(down);
}

bool frmScrivlet::AutoSaveCheck()
{
    return !memo_->mustBeSavedBeforeLeaving() || memo_->save(shownText(), false);
}

bool frmScrivlet::cmdSave_Click()
{
    return memo_->save(shownText());
}

void frmScrivlet::recheckShownMemo()
{
    if (const std::optional<ShownMemo::Loaded> loaded = memo_->reread())
        showLoaded(*loaded);
}

void frmScrivlet::forgetUnsavedEdits()
{
    recoveryTimer_->stop();
    memo_->dropRecoveryCopy();
}

// The copy is taken while typing pauses, in slices, so that no key waits for it.
void frmScrivlet::writeRecoveryCopy()
{
    recoveryTimer_->stop();
    txtDataField->copyTextInSlices([this](const QString& text) { memo_->keepRecoveryCopy(text); });
}

void frmScrivlet::txtDataField_Change()
{
    memo_->setEdited(true);
    recoveryTimer_->start(recoveryDelayMs());
}

bool frmScrivlet::Form_QueryUnload()
{
    memo_->rememberAsLast();
    const int before = memo_->number();
    if (memo_->mustBeWrittenOnClose() && !memo_->save(shownText(), false))
        return false;
    // The text went to a new memo: that is the one to come back to.
    if (memo_->number() != before)
        memo_->rememberAsLast();
    hide();
    return true;
}

void frmScrivlet::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    // The window has no minimise or maximise box, yet some desktops offer them anyway (Qt's own
    // decorations under Wayland, a window manager's keys): minimising acts as 最小化, maximising is
    // undone. After the change has settled, not inside it.
    QTimer::singleShot(0, this, [this] {
        if (windowState() & Qt::WindowMaximized)
            setWindowState(windowState() & ~Qt::WindowMaximized);
        if (isMinimized() && !standalone_) {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            cmdMin_Click();
        }
    });
}

void frmScrivlet::closeEvent(QCloseEvent* event)
{
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    if (standalone_)
        mdlScrivlet::exitProgram();
}

void frmScrivlet::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmScrivlet::Form_Resize()
{
    // The frame is known only once the desktop has framed the window, and some desktops draw none: until
    // then the designed frame is assumed, so that the window opens with its designed client area.
    const int drawnFrame = frameGeometry().width() - width();
    const int frameWidth = drawnFrame > 0 ? drawnFrame : ui::scaled(twips(MinimumOuterWidth - ClientWidth));
    const int minimumOuterWidth = ui::scaled(twips(MinimumOuterWidth));
    const int minimumInnerWidth = minimumOuterWidth - frameWidth;
    if (minimumWidth() != minimumInnerWidth)
        setMinimumWidth(minimumInnerWidth);

    QRect memoRect = txtDataField->geometry();
    const int below = height() - memoRect.top();
    if (below >= 0)
        memoRect.setHeight(below);
    if (width() + frameWidth < minimumOuterWidth)
        resize(minimumInnerWidth, height());
    else
        memoRect.setWidth(width());
    txtDataField->setGeometry(memoRect);
}

void frmScrivlet::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        cmdMin_Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmScrivlet::cmdMin_Click()
{
    // A hidden window may wait for hours: its edits are kept safe now rather than after the pause.
    recoveryTimer_->stop();
    if (memo_->recoveryCopyDue())
        memo_->keepRecoveryCopy(shownText());
    if (standalone_)
        showMinimized();
    else
        hide();
}

void frmScrivlet::cmdMenu_Click()
{
    mnuMenu->popup(cmdMenu->mapToGlobal(QPoint(0, cmdMenu->height())));
}

void frmScrivlet::mnuFileList_Click()
{
    chooseMemoWith<frmIndex>();
}

void frmScrivlet::mnuAllSerchJump_Click()
{
    chooseMemoWith<frmSerchJump>();
}

template <typename Dialog> void frmScrivlet::chooseMemoWith()
{
    // The dialog chooses by setting the program's current file number.
    mdlScrivlet::setCurrentFileNumber(qint16(memo_->number()));
    {
        Dialog dialog(this);
        dialog.exec();
    }
    // Whatever it did, the current memo is loaded afresh.
    goToMemo(mdlScrivlet::currentFileNumber());
}

void frmScrivlet::mnuVersion_Click()
{
    frmVersion dialog(this);
    dialog.exec();
}

void frmScrivlet::mnuJump_Click()
{
    const QString title = QStringLiteral("Zormet Scrivlet Jump Index");
    const QString answer = prompter().input(
        QStringLiteral(
            "ジャンプするファイル番号を数字で指定してください。\n(ファイル番号は「textXXXX.txt」の「XXXX」の部分です)"),
        title, QString::number(memo_->number()));
    if (answer.trimmed().isEmpty())
        return;
    const std::optional<int> number = jumpNumberFromAnswer(answer);
    if (!number) {
        prompter().inform(QStringLiteral("このファイル番号は範囲外です。"), title, Prompter::Icon::Exclamation);
        return;
    }
    goToMemo(*number);
}

void frmScrivlet::mnuAkiFile_Click()
{
    const std::optional<int> number = chooseFreeNumber(mdlScrivlet::programFolder(), prompter());
    if (!number)
        return;
    goToMemo(*number);
}

void frmScrivlet::mnuFileKill_Click()
{
    switch (memo_->remove()) {
    case ShownMemo::Removal::Removed:
        txtDataField->showText(QString());
        goToMemo(memo_->number());
        break;
    case ShownMemo::Removal::ChangedElsewhere:
        recheckShownMemo();
        break;
    case ShownMemo::Removal::Kept:
        break;
    }
}

void frmScrivlet::mnuExit_Click()
{
    forgetUnsavedEdits();
    mdlScrivlet::exitProgram();
}

QString frmScrivlet::shownText() const
{
    return txtDataField->memoText();
}
