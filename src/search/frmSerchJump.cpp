#include "frmSerchJump.h"

#include "MemoNaming.h"
#include "MemoSearch.h"
#include "PrompterInUse.h"
#include "ShellOpen.h"
#include "TypedNumber.h"
#include "WindowSetup.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <cmath>

namespace {

const QString& errorTitle()
{
    static const QString title = QStringLiteral("検索エラー");
    return title;
}

// One repaint per display frame is all the eye can follow; painting each of 10,000 names would cost
// as much as the search itself.
constexpr qint64 RepaintIntervalMs = 16;

// At most this many unreadable files are named in the closing message; the rest are counted.
constexpr std::size_t NamedUnreadableFiles = 10;

// The busy pointer for the life of a handler, whichever way it ends.
class WaitCursor final
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(WaitCursor)
};

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QString unreadableMessage(const std::vector<search::UnreadableMemo>& unreadable)
{
    QStringList lines{QStringLiteral("次のファイルは読み込めなかったため、検索できませんでした。")};
    for (std::size_t i = 0; i < unreadable.size() && i < NamedUnreadableFiles; ++i)
        lines << memo::memoFileName(unreadable[i].number) + QStringLiteral("：") + unreadable[i].reason;
    if (unreadable.size() > NamedUnreadableFiles)
        lines << QStringLiteral("ほか %1 件").arg(unreadable.size() - NamedUnreadableFiles);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

frmSerchJump::frmSerchJump(QWidget* parent) : QDialog(parent, ui::fixedDialogFlags())
{
    setObjectName(QStringLiteral("frmSerchJump"));
    ui::nameWindow(this, QStringLiteral("全文検索ジャンプ"));
    setModal(true);
    setFixedSize(ui::scaled(twipsSize(5400, 5610)));
    createControls();
    ui::centreOnOwner(this);
    Form_Load();
}

void frmSerchJump::createControls()
{
    Label1 = ui::place<QLabel>(this, "Label1", twipsRect(120, 165, 900, 225), QStringLiteral("フォルダ："));
    txtFilesFolder = ui::place<QLineEdit>(this, "txtFilesFolder", twipsRect(1020, 120, 3720, 300));
    ui::makeRoomForCaption(Label1, txtFilesFolder);
    ui::colourBaseAs(txtFilesFolder, QPalette::Window);
    cmdBrowse = ui::placeButton(this, "cmdBrowse", QStringLiteral("..."), twipsRect(4800, 120, 480, 300));

    Label3 = ui::place<QLabel>(this, "Label3", twipsRect(120, 585, 1500, 225), QStringLiteral("キーワード(&K)："));
    txtKeyWord = ui::place<QLineEdit>(this, "txtKeyWord", twipsRect(1620, 540, 3660, 300));
    Label3->setBuddy(txtKeyWord);

    Frame1 = ui::place<QGroupBox>(this, "Frame1", twipsRect(120, 960, 5160, 1620), QStringLiteral("検索オプション"));
    optAllFile = ui::place<QRadioButton>(Frame1, "optAllFile", twipsRect(180, 300, 4800, 270),
                                         QStringLiteral("全てのファイルから検索(&A)"));
    optAllFile->setChecked(true);
    optHani = ui::place<QRadioButton>(Frame1, "optHani", twipsRect(180, 600, 4800, 270),
                                      QStringLiteral("範囲を指定して検索(&E)"));
    txtLNo = ui::place<QLineEdit>(Frame1, "txtLNo", twipsRect(480, 900, 720, 300), QStringLiteral("0000"));
    Label4 = ui::place<QLabel>(Frame1, "Label4", twipsRect(1260, 945, 420, 225), QStringLiteral("から"));
    txtUNo = ui::place<QLineEdit>(Frame1, "txtUNo", twipsRect(1740, 900, 720, 300), QStringLiteral("0000"));
    Label5 = ui::place<QLabel>(Frame1, "Label5", twipsRect(2520, 945, 420, 225), QStringLiteral("まで"));
    chkKubetsu = ui::place<QCheckBox>(Frame1, "chkKubetsu", twipsRect(180, 1260, 4800, 270),
                                      QStringLiteral("完全に一致する物を検索(&K)"));

    cmdSerch = ui::placeButton(this, "cmdSerch", QStringLiteral("検索(&S)"), twipsRect(120, 2700, 1200, 360));
    lblNow = ui::place<QLabel>(this, "lblNow", twipsRect(1440, 2760, 2520, 240));
    lblNow->setTextFormat(Qt::PlainText);
    // A fixed size keeps each new name from asking the window to lay itself out again.
    lblNow->setFixedSize(lblNow->size());
    cmdClose = ui::placeButton(this, "cmdClose", QStringLiteral("閉じる(&C)"), twipsRect(4080, 2700, 1200, 360));

    Label2 =
        ui::place<QLabel>(this, "Label2", twipsRect(120, 3180, 3000, 225), QStringLiteral("該当ファイル名一覧(&F)："));
    lstIchiran = ui::place<QListWidget>(this, "lstIchiran", twipsRect(120, 3450, 5160, 2040));
    lstIchiran->setSelectionMode(QAbstractItemView::SingleSelection);
    Label2->setBuddy(lstIchiran);
    lstIchiran->installEventFilter(this);

    // The window has no default button, yet a dialog makes a button of this kind the default as it shows.
    for (QPushButton* button : {cmdBrowse, cmdSerch, cmdClose})
        button->setAutoDefault(false);

    QWidget::setTabOrder(txtKeyWord, optAllFile);
    QWidget::setTabOrder(optAllFile, optHani);
    QWidget::setTabOrder(optHani, txtLNo);
    QWidget::setTabOrder(txtLNo, txtUNo);
    QWidget::setTabOrder(txtUNo, chkKubetsu);
    QWidget::setTabOrder(chkKubetsu, cmdSerch);
    QWidget::setTabOrder(cmdSerch, lstIchiran);
    QWidget::setTabOrder(lstIchiran, cmdClose);
    QWidget::setTabOrder(cmdClose, txtFilesFolder);
    QWidget::setTabOrder(txtFilesFolder, cmdBrowse);

    connect(optAllFile, &QRadioButton::toggled, this, [this] { optAllFile_Click(); });
    connect(optHani, &QRadioButton::toggled, this, [this] { optHani_Click(); });
    connect(cmdSerch, &QPushButton::clicked, this, [this] { cmdSerch_Click(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(lstIchiran, &QListWidget::itemDoubleClicked, this, [this] { lstIchiran_DblClick(); });
}

void frmSerchJump::Form_Load()
{
    ui::showPath(txtFilesFolder, memo::memoFolder(mdlScrivlet::programFolder()));
    optAllFile_Click();
    txtKeyWord->setFocus();
}

void frmSerchJump::optAllFile_Click()
{
    if (!optAllFile->isChecked())
        return;
    txtLNo->setEnabled(false);
    txtUNo->setEnabled(false);
}

void frmSerchJump::optHani_Click()
{
    if (!optHani->isChecked())
        return;
    txtLNo->setEnabled(true);
    txtUNo->setEnabled(true);
}

bool frmSerchJump::readRange(int* first, int* last) const
{
    const std::optional<double> lower = readTypedNumber(txtLNo->text());
    const std::optional<double> upper = readTypedNumber(txtUNo->text());
    auto whole = [](double v) { return v == std::floor(v); };
    if (!lower || !upper || !whole(*lower) || !whole(*upper) || *lower < memo::FirstNumber || *lower > *upper ||
        *upper > memo::LastNumber)
        return false;
    *first = static_cast<int>(*lower);
    *last = static_cast<int>(*upper);
    return true;
}

void frmSerchJump::cmdSerch_Click()
{
    const WaitCursor busy;
    const auto clearProgress = qScopeGuard([this] { lblNow->setText(QString()); });

    const QString keyword = txtKeyWord->text();
    if (keyword.isEmpty()) {
        prompter().inform(QStringLiteral("キーワードの設定に問題があります。"), errorTitle(),
                          Prompter::Icon::Exclamation);
        return;
    }
    int first = memo::FirstNumber;
    int last = memo::LastNumber;
    if (!optAllFile->isChecked() && !readRange(&first, &last)) {
        prompter().inform(QStringLiteral("範囲の設定に問題があります。"), errorTitle(), Prompter::Icon::Exclamation);
        return;
    }
    const search::MatchMode mode = chkKubetsu->isChecked() ? search::MatchMode::Exact : search::MatchMode::Loose;
    lstIchiran->clear();

    // Only a repainted label is seen while the search runs, and a repaint costs more than searching
    // many memos: the name is set when it is painted, once an interval has passed, so a search
    // shorter than one interval shows only its last name.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    int lastNumber = first;
    const auto showProgress = [&](int number) {
        lastNumber = number;
        if (sinceRepaint.hasExpired(RepaintIntervalMs)) {
            lblNow->setText(memo::memoFileName(number));
            lblNow->repaint();
            sinceRepaint.start();
        }
    };
    const search::SearchOutcome outcome =
        search::searchMemos(memo::memoFolder(mdlScrivlet::programFolder()), first, last, keyword, mode, showProgress);
    lblNow->setText(memo::memoFileName(lastNumber));
    lblNow->repaint();
    for (int number : outcome.hits)
        lstIchiran->addItem(memo::memoFileName(number));
    if (!outcome.unreadable.empty())
        prompter().inform(unreadableMessage(outcome.unreadable), errorTitle(), Prompter::Icon::Exclamation);
}

void frmSerchJump::lstIchiran_DblClick()
{
    const QList<QListWidgetItem*> selected = lstIchiran->selectedItems();
    if (selected.isEmpty())
        return;
    const std::optional<int> number = memo::numberFromMemoFileName(selected.first()->text());
    if (!number)
        return;
    mdlScrivlet::setCurrentFileNumber(static_cast<qint16>(*number));
    accept();
}

void frmSerchJump::lstIchiran_KeyPress(int key)
{
    if (isEnterKey(key))
        lstIchiran_DblClick();
}

void frmSerchJump::cmdBrowse_Click()
{
    // Only a file manager that could not be started is told; what it then shows is not waited for.
    const QString folder = txtFilesFolder->text();
    Failure failure;
    if (!openFolderInFileManager(folder, &failure))
        prompter().showFailure(failure, mdlScrivlet::programTitle());
}

void frmSerchJump::cmdClose_Click()
{
    reject();
}

bool frmSerchJump::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstIchiran && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (isEnterKey(key)) {
            lstIchiran_KeyPress(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSerchJump::keyPressEvent(QKeyEvent* event)
{
    // Enter presses nothing, since no button is the default (a focused button takes Enter before this);
    // Esc presses the cancel button.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (isEnterKey(event->key())) {
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            cmdClose->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
