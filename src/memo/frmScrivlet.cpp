#include "frmScrivlet.h"

#include "FileError.h"
#include "FileLookup.h"
#include "FreeNumberSearch.h"
#include "JumpAnswer.h"
#include "MemoChange.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "PrompterInUse.h"
#include "RemoveFile.h"
#include "Settings.h"
#include "WindowSetup.h"
#include "frmIndex.h"
#include "frmSerchJump.h"
#include "frmVersion.h"
#include "mdlScrivlet.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cerrno>

namespace {

constexpr int MinimumOuterWidth = 6135; // twips
constexpr int ClientWidth = 6015;       // twips
constexpr int ClientHeight = 5175;      // twips
// Long enough not to write at every key, short enough that a crash loses little.
constexpr int RecoveryDelayMs = 1000;

QString changedTag()
{
    return QStringLiteral("Changed");
}

// The window's state is left as it was.
void reportFailure(const QString& what, const QString& path, const QString& reason)
{
    prompter().showFailure({what, path, reason, QString()}, mdlScrivlet::programTitle());
}

} // namespace

frmScrivlet::frmScrivlet(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmScrivlet"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(mdlScrivlet::programTitle());
    applyWindowFlags();
    createControls();
    createMenu();
    resize(twips(ClientWidth), twips(ClientHeight));
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
    txtFile->setReadOnly(true);
    ui::colourBaseAs(txtFile, QPalette::Button);
    lblFile->setBuddy(txtFile);

    cmdPrev = ui::placeButton(this, "cmdPrev", QStringLiteral("<<(&P)"), twipsRect(3045, 105, 645, 330));
    cmdNext = ui::placeButton(this, "cmdNext", QStringLiteral("(&N)>>"), twipsRect(3780, 105, 645, 330));
    cmdSave = ui::placeButton(this, "cmdSave", QStringLiteral("&Save"), twipsRect(4515, 105, 1380, 330));
    cmdMenu = ui::placeButton(this, "cmdMenu", QStringLiteral("メニュー(&E)"), twipsRect(3045, 525, 1380, 330));
    lblFileStatus = ui::place<QLabel>(this, "lblFileStatus", twipsRect(105, 585, 2850, 225));
    cmdMin = ui::placeButton(this, "cmdMin", QStringLiteral("最小化(&M)"), twipsRect(4515, 525, 1380, 330));

    txtDataField = ui::place<QPlainTextEdit>(this, "txtDataField", twipsRect(0, 945, 6000, 4215));
    txtDataField->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDataField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDataField->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setChangedMark(QString());

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(RecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, &frmScrivlet::writeRecoveryCopy);

    setTabOrder(txtFile, cmdPrev);
    setTabOrder(cmdPrev, cmdNext);
    setTabOrder(cmdNext, cmdSave);
    setTabOrder(cmdSave, cmdMenu);
    setTabOrder(cmdMenu, cmdMin);
    setTabOrder(cmdMin, txtDataField);

    connect(cmdPrev, &QPushButton::clicked, this, &frmScrivlet::cmdPrev_Click);
    connect(cmdNext, &QPushButton::clicked, this, &frmScrivlet::cmdNext_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmScrivlet::cmdSave_Click);
    connect(cmdMenu, &QPushButton::clicked, this, &frmScrivlet::cmdMenu_Click);
    connect(cmdMin, &QPushButton::clicked, this, &frmScrivlet::cmdMin_Click);
    connect(txtDataField, &QPlainTextEdit::textChanged, this, &frmScrivlet::txtDataField_Change);
}

void frmScrivlet::createMenu()
{
    mnuMenu = new QMenu(QStringLiteral("Menu"), this);
    mnuMenu->setObjectName(QStringLiteral("mnuMenu"));
    auto item = [this](const char* name, const QString& caption) {
        QAction* a = mnuMenu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    mnuFileList = item("mnuFileList", QStringLiteral("ファイル一覧(&L)"));
    mnuJump = item("mnuJump", QStringLiteral("ジャンプ(&J)"));
    mnuAllSerchJump = item("mnuAllSerchJump", QStringLiteral("全文検索ジャンプ(&A)"));
    mnuAkiFile = item("mnuAkiFile", QStringLiteral("空きファイルを検索(&N)"));
    mnuFileKill = item("mnuFileKill", QStringLiteral("カレントファイル削除(&D)"));
    mnuVersion = item("mnuVersion", QStringLiteral("バージョン情報 / 設定(&V)"));
    mnuExit = item("mnuExit", QStringLiteral("終了(&X)"));

    QFont bold = mnuFileList->font();
    bold.setBold(true);
    mnuFileList->setFont(bold);
    mnuMenu->setDefaultAction(mnuFileList);

    connect(mnuFileList, &QAction::triggered, this, &frmScrivlet::mnuFileList_Click);
    connect(mnuAllSerchJump, &QAction::triggered, this, &frmScrivlet::mnuAllSerchJump_Click);
    connect(mnuVersion, &QAction::triggered, this, &frmScrivlet::mnuVersion_Click);
    connect(mnuJump, &QAction::triggered, this, &frmScrivlet::mnuJump_Click);
    connect(mnuAkiFile, &QAction::triggered, this, &frmScrivlet::mnuAkiFile_Click);
    connect(mnuFileKill, &QAction::triggered, this, &frmScrivlet::mnuFileKill_Click);
    connect(mnuExit, &QAction::triggered, this, &frmScrivlet::mnuExit_Click);
}

void frmScrivlet::Form_Load()
{
    mdlScrivlet::setProgramFolder(programFolder());
    recovery_ = RecoveryStore::forProgramFolder(mdlScrivlet::programFolder());
    const QString folder = memo::memoFolder(mdlScrivlet::programFolder());
    if (!QFileInfo(folder).isDir()) {
        errno = 0;
        if (!QDir().mkdir(folder))
            reportFailure(QStringLiteral("メモを保存するフォルダを作成できませんでした。"), folder,
                          fileErrorReason(errno));
    }

    INIAccess& ini = mdlScrivlet::sharedSettings();
    ini.FileName = settings::fileName();
    QString error;
    const QString value = ini.GetINIData(settings::section(), settings::lastFileNumKey(), &error);
    if (!error.isEmpty())
        reportFailure(QStringLiteral("設定ファイルを読み込めませんでした。"),
                      mdlScrivlet::programFolder() + settings::fileName(), error);
    bool isNumber = false;
    int last = value.toInt(&isNumber);
    if (!isNumber || last < memo::FirstNumber || last > memo::LastNumber)
        last = memo::FirstNumber;
    // Edits a crash kept from being saved come first: that memo is opened, and its load offers them back.
    const std::vector<int> unsaved = recovery_.offerable();
    if (!unsaved.empty())
        last = unsaved.front();

    openMemo(last);
    if (shownNumber_ < 0)
        showUnreadableMemo(last);
}

void frmScrivlet::cmdNext_Click()
{
    const int current = mdlScrivlet::currentFileNumber();
    if (current >= memo::LastNumber)
        return;
    step(current + 1, QStringLiteral("状態：4ファイル認識。読み込み開始"));
}

void frmScrivlet::cmdPrev_Click()
{
    const int current = mdlScrivlet::currentFileNumber();
    if (current <= memo::FirstNumber)
        return;
    step(current - 1, QStringLiteral("状態：ファイル認識。読み込み開始"));
}

void frmScrivlet::step(int number, const QString& readingStatus)
{
    if (AutoSaveCheck() && loadMemo(number, readingStatus)) {
        mdlScrivlet::setCurrentFileNumber(qint16(number));
        return;
    }
    if (shownNumber_ >= 0)
        mdlScrivlet::setCurrentFileNumber(qint16(shownNumber_));
}

bool frmScrivlet::loadMemo(int number, const QString& readingStatus)
{
    const QString path = memo::memoFilePath(mdlScrivlet::programFolder(), number);
    // Looked at before reading: a change in between is then taken for a change afterwards, and asked about.
    FileStamp stamp;
    const bool looked = readFileStamp(path, &stamp, nullptr);
    if (!isOrdinaryFile(path)) {
        dropRecoveryCopy();
        showMemo(number, path, QString(), QStringLiteral("状態：未作成"));
        keepFileUnlessEdited_ = false;
        shownStamp_ = looked ? std::optional<FileStamp>(stamp) : std::nullopt;
        offerRecoveryCopy();
        return true;
    }
    WRText& reader = mdlScrivlet::sharedText();
    reader.FileName = path;
    QString error;
    bool invalid = false;
    const QString text = reader.RFile(&error, &invalid);
    if (!error.isEmpty()) {
        reportFailure(QStringLiteral("次のメモを読み込めませんでした。"), path, error);
        return false;
    }
    dropRecoveryCopy();
    setStatus(readingStatus);
    showMemo(number, path, text,
             invalid ? QStringLiteral("状態：一部の文字を正しく読み込めませんでした")
                     : QStringLiteral("状態：ファイル読み込みOK"));
    keepFileUnlessEdited_ = invalid;
    shownStamp_ = looked ? std::optional<FileStamp>(stamp) : std::nullopt;
    offerRecoveryCopy();
    return true;
}

// The memo could not be read at start-up: it is shown empty and kept from being overwritten unasked.
void frmScrivlet::showUnreadableMemo(int number)
{
    showMemo(number, memo::memoFilePath(mdlScrivlet::programFolder(), number), QString(),
             QStringLiteral("状態：ファイル読み込み失敗"));
    keepFileUnlessEdited_ = true;
    rememberShownFile();
    mdlScrivlet::setCurrentFileNumber(qint16(number));
}

void frmScrivlet::showMemo(int number, const QString& path, const QString& text, const QString& status)
{
    showPath(number, path);
    txtDataField->setPlainText(text);
    setChangedMark(QString());
    recoveryTimer_->stop();
    setStatus(status);
}

void frmScrivlet::showPath(int number, const QString& path)
{
    shownNumber_ = number;
    shownPath_ = path;
    ui::showPath(txtFile, path);
}

bool frmScrivlet::AutoSaveCheck()
{
    INIAccess ini = settings::open(mdlScrivlet::programFolder());
    QString error;
    const QString value = ini.GetINIData(settings::section(), settings::autoSaveKey(), &error);
    // When the setting cannot be read, keeping the edits is the choice that loses nothing.
    const bool autoSave = !error.isEmpty() || value == QLatin1String("1");
    if (autoSave && changedMark() == changedTag())
        return cmdSave_Click();
    return true;
}

bool frmScrivlet::cmdSave_Click()
{
    switch (checkBeforeWrite()) {
    case WriteCheck::Stop:
        return false;
    case WriteCheck::SavedElsewhere:
        return true;
    case WriteCheck::Write:
        break;
    }
    WRText& writer = mdlScrivlet::sharedText();
    writer.FileName = shownPath_;
    writer.WText = memoText();
    QString error;
    bool replaced = false;
    if (!writer.WFile(&error, &replaced)) {
        reportFailure(QStringLiteral("次のメモを保存できませんでした。入力した内容は画面に残っています。"), shownPath_,
                      error);
        return false;
    }
    keepFileUnlessEdited_ = false;
    rememberShownFile();
    dropRecoveryCopy();
    setStatus(replaced ? QStringLiteral("状態：ファイル書き込みOK（保存できない文字を?に置き換えました）")
                       : QStringLiteral("状態：ファイル書き込みOK"));
    return true;
}

frmScrivlet::WriteCheck frmScrivlet::checkBeforeWrite()
{
    FileStamp now;
    int systemError = 0;
    if (!readFileStamp(shownPath_, &now, &systemError)) {
        reportFailure(QStringLiteral("次のメモを保存できませんでした。入力した内容は画面に残っています。"), shownPath_,
                      fileErrorReason(systemError));
        return WriteCheck::Stop;
    }
    const MemoChange change = compareFileStamps(shownStamp_, now);
    if (change == MemoChange::None)
        return WriteCheck::Write;
    switch (askAboutChange(shownPath_, change, prompter())) {
    case ChangeAnswer::Overwrite:
        return WriteCheck::Write;
    case ChangeAnswer::KeepBoth:
        return keepBoth(change) ? WriteCheck::SavedElsewhere : WriteCheck::Stop;
    case ChangeAnswer::Cancel:
        break;
    }
    setStatus(QStringLiteral("状態：保存を取り消しました"));
    return WriteCheck::Stop;
}

bool frmScrivlet::keepBoth(MemoChange change)
{
    const QString folder = mdlScrivlet::programFolder();
    QString error;
    bool replaced = false;
    const std::optional<int> number = saveAsNewMemo(folder, shownNumber_, memoText(), &error, &replaced);
    if (!number) {
        reportFailure(
            QStringLiteral("画面の内容を新しいメモとして保存できませんでした。入力した内容は画面に残っています。"),
            memo::memoFolder(folder), error);
        return false;
    }
    const QString oldPath = shownPath_;
    dropRecoveryCopy();
    showPath(*number, memo::memoFilePath(folder, *number));
    mdlScrivlet::setCurrentFileNumber(qint16(*number));
    keepFileUnlessEdited_ = false;
    rememberShownFile();
    setStatus(replaced ? QStringLiteral("状態：ファイル書き込みOK（保存できない文字を?に置き換えました）")
                       : QStringLiteral("状態：ファイル書き込みOK"));
    const QString original = change == MemoChange::Removed
                                 ? QStringLiteral("元のメモは削除されたままです。")
                                 : QStringLiteral("元のメモはほかのプログラムが書いた内容のまま残っています。");
    prompter().inform(QStringLiteral("画面の内容を新しいメモ「") + memo::memoFileName(*number) +
                          QStringLiteral("」に保存し、表示しました。\n\n") + shownPath_ + QStringLiteral("\n\n") +
                          original + QStringLiteral("\n") + oldPath,
                      mdlScrivlet::programTitle(), Prompter::Icon::Information);
    return true;
}

void frmScrivlet::rememberShownFile()
{
    FileStamp stamp;
    shownStamp_ = readFileStamp(shownPath_, &stamp, nullptr) ? std::optional<FileStamp>(stamp) : std::nullopt;
}

void frmScrivlet::recheckShownMemo()
{
    if (shownNumber_ < 0)
        return;
    FileStamp now;
    // A file that cannot be looked at now is reported by the next write.
    if (!readFileStamp(shownPath_, &now, nullptr) || compareFileStamps(shownStamp_, now) == MemoChange::None)
        return;
    if (changedMark() == changedTag())
        return;
    if (loadMemo(shownNumber_, QStringLiteral("状態：ファイル認識。読み込み開始")))
        mdlScrivlet::setCurrentFileNumber(qint16(shownNumber_));
}

void frmScrivlet::forgetUnsavedEdits()
{
    dropRecoveryCopy();
}

void frmScrivlet::writeRecoveryCopy()
{
    recoveryTimer_->stop();
    if (shownNumber_ < 0 || changedMark() != changedTag())
        return;
    QString error;
    if (recovery_.save(shownNumber_, txtDataField->toPlainText(), &error)) {
        recoveryWritten_ = true;
        recoveryFailureReported_ = false;
        return;
    }
    // Once is enough until it works again: a box at every pause in typing would only be in the way.
    if (recoveryFailureReported_)
        return;
    recoveryFailureReported_ = true;
    reportFailure(QStringLiteral("入力中の内容の控えを保存できませんでした。このままプログラムが異常終了すると、"
                                 "保存していない入力は失われます。"),
                  recovery_.filePath(shownNumber_), error);
}

void frmScrivlet::dropRecoveryCopy()
{
    recoveryTimer_->stop();
    if (!recoveryWritten_)
        return;
    recoveryWritten_ = false;
    QString error;
    if (!recovery_.remove(shownNumber_, &error))
        reportFailure(
            QStringLiteral(
                "入力中の内容の控えを削除できませんでした。次に開いたときに、復元するかどうかを尋ねることがあります。"),
            recovery_.filePath(shownNumber_), error);
}

void frmScrivlet::offerRecoveryCopy()
{
    if (!recovery_.isNewerThanMemo(shownNumber_))
        return;
    const QString copy = recovery_.filePath(shownNumber_);
    QString text;
    QString error;
    if (!recovery_.read(shownNumber_, &text, &error)) {
        reportFailure(QStringLiteral("前回保存されなかった編集内容を読み込めませんでした。"), copy, error);
        return;
    }
    const Prompter::Answer answer = prompter().message(
        QStringLiteral("前回保存されなかった編集内容があります。復元しますか？\n\n") + shownPath_,
        mdlScrivlet::programTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo, Prompter::Answer::Yes);
    if (answer == Prompter::Answer::Yes) {
        // Shown as edited and not saved: the copy stays until the edits end one way or another.
        txtDataField->setPlainText(text);
        recoveryWritten_ = true;
        keepFileUnlessEdited_ = false;
        setStatus(QStringLiteral("状態：前回の編集内容を復元しました（未保存）"));
        return;
    }
    if (!recovery_.remove(shownNumber_, &error))
        reportFailure(QStringLiteral("前回保存されなかった編集内容の控えを削除できませんでした。"), copy, error);
}

void frmScrivlet::txtDataField_Change()
{
    setChangedMark(changedTag());
    recoveryTimer_->start();
}

bool frmScrivlet::Form_QueryUnload()
{
    writeLastFileNum();
    const int before = shownNumber_;
    if ((!keepFileUnlessEdited_ || changedMark() == changedTag()) && !cmdSave_Click())
        return false;
    // The text went to a new memo: that is the one to come back to.
    if (shownNumber_ != before)
        writeLastFileNum();
    hide();
    return true;
}

void frmScrivlet::writeLastFileNum()
{
    INIAccess& ini = mdlScrivlet::sharedSettings();
    ini.FileName = settings::fileName();
    QString error;
    if (!ini.SetINIData(settings::section(), settings::lastFileNumKey(),
                        QString::number(mdlScrivlet::currentFileNumber()), &error))
        reportFailure(QStringLiteral("設定ファイルに書き込めませんでした。"),
                      mdlScrivlet::programFolder() + settings::fileName(), error);
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
    const int frameWidth = drawnFrame > 0 ? drawnFrame : twips(MinimumOuterWidth - ClientWidth);
    const int minimumInnerWidth = twips(MinimumOuterWidth) - frameWidth;
    if (minimumWidth() != minimumInnerWidth)
        setMinimumWidth(minimumInnerWidth);

    QRect memoRect = txtDataField->geometry();
    const int below = height() - memoRect.top();
    if (below >= 0)
        memoRect.setHeight(below);
    if (width() + frameWidth < twips(MinimumOuterWidth))
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
    if (recoveryTimer_->isActive())
        writeRecoveryCopy();
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
    {
        Dialog dialog(this);
        dialog.exec();
    }
    // The dialog may have chosen another memo; whatever it did, the current one is loaded afresh.
    openMemo(mdlScrivlet::currentFileNumber());
}

void frmScrivlet::mnuVersion_Click()
{
    frmVersion dialog(this);
    dialog.exec();
}

void frmScrivlet::openMemo(int number)
{
    mdlScrivlet::setCurrentFileNumber(qint16(number - 1));
    cmdNext_Click();
}

void frmScrivlet::mnuJump_Click()
{
    const QString title = QStringLiteral("Zormet Scrivlet Jump Index");
    const QString answer = prompter().input(
        QStringLiteral(
            "ジャンプするファイル番号を数字で指定してください。\n(ファイル番号は「textXXXX.txt」の「XXXX」の部分です)"),
        title, QString::number(mdlScrivlet::currentFileNumber()));
    if (answer.trimmed().isEmpty())
        return;
    const std::optional<int> number = jumpNumberFromAnswer(answer);
    if (!number) {
        prompter().inform(QStringLiteral("このファイル番号は範囲外です。"), title, Prompter::Icon::Exclamation);
        return;
    }
    openMemo(*number);
}

void frmScrivlet::mnuAkiFile_Click()
{
    const std::optional<int> number = chooseFreeNumber(mdlScrivlet::programFolder(), prompter());
    if (!number)
        return;
    openMemo(*number);
}

void frmScrivlet::mnuFileKill_Click()
{
    const QString title = QStringLiteral("Scrivlet Kill File");
    if (!isOrdinaryFile(shownPath_)) {
        prompter().inform(QStringLiteral("ファイルが存在しません。"), title, Prompter::Icon::Exclamation);
        return;
    }
    if (!prompter().confirm(
            QStringLiteral(
                "現在のファイルを削除します。\nよろしいですか？\n\n※これを実行すると元に戻す事は出来ません。"),
            title))
        return;
    FileStamp now;
    int systemError = 0;
    if (!readFileStamp(shownPath_, &now, &systemError)) {
        reportFailure(QStringLiteral("次のメモを削除できませんでした。"), shownPath_, fileErrorReason(systemError));
        return;
    }
    // The user agreed to delete what the window shows, not what another program has put there since.
    const MemoChange change = compareFileStamps(shownStamp_, now);
    if (change != MemoChange::None) {
        prompter().inform(QStringLiteral("次のメモは、この画面で読み込むか保存した後に、ほかのプログラムによって") +
                              describeChange(change) +
                              QStringLiteral("。削除していません。内容を確かめてから、もう一度実行してください。\n\n") +
                              shownPath_,
                          title, Prompter::Icon::Exclamation);
        recheckShownMemo();
        return;
    }
    QString error;
    if (!removeFile(shownPath_, &error)) {
        reportFailure(QStringLiteral("次のメモを削除できませんでした。"), shownPath_, error);
        return;
    }
    // Emptying the text marks it changed; clearing the mark keeps the automatic save from writing it back.
    txtDataField->clear();
    setChangedMark(QString());
    openMemo(mdlScrivlet::currentFileNumber());
}

void frmScrivlet::mnuExit_Click()
{
    forgetUnsavedEdits();
    mdlScrivlet::exitProgram();
}

QString frmScrivlet::changedMark() const
{
    return txtDataField->property("Tag").toString();
}

void frmScrivlet::setChangedMark(const QString& mark)
{
    txtDataField->setProperty("Tag", mark);
}

void frmScrivlet::setStatus(const QString& status)
{
    lblFileStatus->setText(status);
    // The line is narrow; the whole status stays readable on hover.
    lblFileStatus->setToolTip(status);
}

QString frmScrivlet::memoText() const
{
    // The text box separates lines with LF; memo text joins them with CR LF.
    return txtDataField->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}
