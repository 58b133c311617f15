#include "frmScrivlet.h"

#include "FileError.h"
#include "FileLookup.h"
#include "FreeNumberSearch.h"
#include "JumpAnswer.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "Prompter.h"
#include "RemoveFile.h"
#include "Settings.h"
#include "Twips.h"
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
constexpr int ClientHeight = 5175;      // twips

QString changedTag()
{
    return QStringLiteral("Changed");
}

// What failed, for which file, and why; the window's state is left as it was.
void reportFailure(const QString& what, const QString& path, const QString& reason)
{
    QString text = what + QStringLiteral("\n\n") + path;
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n理由：") + reason;
    prompter().inform(text, mdlScrivlet::programTitle(), Prompter::Icon::Exclamation);
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
    resize(twips(MinimumOuterWidth), twips(ClientHeight));
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
    auto place = [this](QWidget* w, const char* name, const QRect& rect) {
        w->setObjectName(QLatin1String(name));
        w->setGeometry(rect);
    };
    auto button = [&](const char* name, const QString& caption, const QRect& rect) {
        auto* b = new QPushButton(caption, this);
        place(b, name, rect);
        return b;
    };

    lblFile = new QLabel(QStringLiteral("ファイル名："), this);
    place(lblFile, "lblFile", twipsRect(105, 165, 960, 225));
    txtFile = new QLineEdit(this);
    place(txtFile, "txtFile", twipsRect(1050, 165, 1905, 225));
    txtFile->setReadOnly(true);
    QPalette palette = txtFile->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    txtFile->setPalette(palette);
    lblFile->setBuddy(txtFile);

    cmdPrev = button("cmdPrev", QStringLiteral("<<(&P)"), twipsRect(3045, 105, 645, 330));
    cmdNext = button("cmdNext", QStringLiteral("(&N)>>"), twipsRect(3780, 105, 645, 330));
    cmdSave = button("cmdSave", QStringLiteral("&Save"), twipsRect(4515, 105, 1380, 330));
    cmdMenu = button("cmdMenu", QStringLiteral("メニュー(&E)"), twipsRect(3045, 525, 1380, 330));
    lblFileStatus = new QLabel(this);
    place(lblFileStatus, "lblFileStatus", twipsRect(105, 585, 2850, 225));
    cmdMin = button("cmdMin", QStringLiteral("最小化(&M)"), twipsRect(4515, 525, 1380, 330));

    txtDataField = new QPlainTextEdit(this);
    place(txtDataField, "txtDataField", twipsRect(0, 945, 6000, 4215));
    txtDataField->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDataField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDataField->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setChangedMark(QString());

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

    mdlScrivlet::setCurrentFileNumber(qint16(last - 1));
    cmdNext_Click();
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
    if (!isOrdinaryFile(path)) {
        showMemo(number, path, QString(), QStringLiteral("状態：未作成"));
        keepFileUnlessEdited_ = false;
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
    setStatus(readingStatus);
    showMemo(number, path, text,
             invalid ? QStringLiteral("状態：一部の文字を正しく読み込めませんでした")
                     : QStringLiteral("状態：ファイル読み込みOK"));
    keepFileUnlessEdited_ = invalid;
    return true;
}

// The memo could not be read at start-up: it is shown empty and kept from being overwritten unasked.
void frmScrivlet::showUnreadableMemo(int number)
{
    showMemo(number, memo::memoFilePath(mdlScrivlet::programFolder(), number), QString(),
             QStringLiteral("状態：ファイル読み込み失敗"));
    keepFileUnlessEdited_ = true;
    mdlScrivlet::setCurrentFileNumber(qint16(number));
}

void frmScrivlet::showMemo(int number, const QString& path, const QString& text, const QString& status)
{
    shownNumber_ = number;
    shownPath_ = path;
    txtFile->setText(path);
    txtFile->setCursorPosition(int(path.size()));
    txtDataField->setPlainText(text);
    setChangedMark(QString());
    setStatus(status);
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
    setStatus(replaced ? QStringLiteral("状態：ファイル書き込みOK（保存できない文字を?に置き換えました）")
                       : QStringLiteral("状態：ファイル書き込みOK"));
    return true;
}

void frmScrivlet::txtDataField_Change()
{
    setChangedMark(changedTag());
}

bool frmScrivlet::Form_QueryUnload()
{
    INIAccess& ini = mdlScrivlet::sharedSettings();
    ini.FileName = settings::fileName();
    QString error;
    if (!ini.SetINIData(settings::section(), settings::lastFileNumKey(),
                        QString::number(mdlScrivlet::currentFileNumber()), &error))
        reportFailure(QStringLiteral("設定ファイルに書き込めませんでした。"),
                      mdlScrivlet::programFolder() + settings::fileName(), error);
    if ((!keepFileUnlessEdited_ || changedMark() == changedTag()) && !cmdSave_Click())
        return false;
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
    // The frame is known only once the window is on screen; until then the outer width is the inner one.
    const int frameWidth = frameGeometry().width() - width();
    const int minimumInnerWidth = twips(MinimumOuterWidth) - frameWidth;
    if (minimumWidth() != minimumInnerWidth)
        setMinimumWidth(minimumInnerWidth);

    QRect memoRect = txtDataField->geometry();
    const int below = height() - memoRect.top();
    if (below >= 0)
        memoRect.setHeight(below);
    if (frameGeometry().width() < twips(MinimumOuterWidth))
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
    {
        frmIndex dialog(this);
        dialog.exec();
    }
    openCurrentMemo();
}

void frmScrivlet::mnuAllSerchJump_Click()
{
    {
        frmSerchJump dialog(this);
        dialog.exec();
    }
    openCurrentMemo();
}

void frmScrivlet::mnuVersion_Click()
{
    frmVersion dialog(this);
    dialog.exec();
}

void frmScrivlet::openCurrentMemo()
{
    mdlScrivlet::setCurrentFileNumber(qint16(mdlScrivlet::currentFileNumber() - 1));
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
    mdlScrivlet::setCurrentFileNumber(qint16(*number - 1));
    cmdNext_Click();
}

void frmScrivlet::mnuAkiFile_Click()
{
    const std::optional<int> number = chooseFreeNumber(mdlScrivlet::programFolder(), prompter());
    if (!number)
        return;
    mdlScrivlet::setCurrentFileNumber(qint16(*number - 1));
    cmdNext_Click();
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
    QString error;
    if (!removeFile(shownPath_, &error)) {
        reportFailure(QStringLiteral("次のメモを削除できませんでした。"), shownPath_, error);
        return;
    }
    mdlScrivlet::setCurrentFileNumber(qint16(mdlScrivlet::currentFileNumber() - 1));
    // Emptying the text marks it changed; clearing the mark keeps the automatic save from writing it back.
    txtDataField->clear();
    setChangedMark(QString());
    cmdNext_Click();
}

void frmScrivlet::mnuExit_Click()
{
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
