#include "frmShowInTaskBar.h"

#include "ProgramFolder.h"
#include "Prompter.h"
#include "RecoveryStore.h"
#include "ScrivletVersion.h"
#include "Settings.h"
#include "TaskTray.h"
#include "frmScrivlet.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int buildNumberWide =
    scrivlet_version::Major * 10000 + scrivlet_version::Minor * 100 + scrivlet_version::Revision;
static_assert(buildNumberWide >= -32768 && buildNumberWide <= 32767,
              "the build number is stored as a signed 16-bit value; this version does not fit");
constexpr qint16 buildNumber = static_cast<qint16>(buildNumberWide);

// Every write of the program is finished and closed when its call returns, so ending here loses
// nothing; what waits in a dialog or menu still open must not run any more.
void endProcessAtOnce()
{
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace

frmShowInTaskBar::frmShowInTaskBar(Desktop desktop, QWidget* parent)
    : QWidget(parent, Qt::Tool), desktop_(std::move(desktop))
{
    if (!desktop_.hasNotificationArea)
        desktop_.hasNotificationArea = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    if (!desktop_.endProcess)
        desktop_.endProcess = endProcessAtOnce;

    setObjectName(QStringLiteral("frmShowInTaskBar"));
    setWindowTitle(mdlScrivlet::programTitle());

    mnuMenu_ = new QMenu(QStringLiteral("Menu"), this);
    mnuMenu_->setObjectName(QStringLiteral("mnuMenu"));
    mnuVisual_ = mnuMenu_->addAction(QStringLiteral("書き込みフォーム表示(&V)"));
    mnuVisual_->setObjectName(QStringLiteral("mnuVisual"));
    mnuExit_ = mnuMenu_->addAction(QStringLiteral("終了(&X)"));
    mnuExit_->setObjectName(QStringLiteral("mnuExit"));
    mnuMenu_->setDefaultAction(mnuVisual_);
    // Styles differ in how they mark the default item; bold it outright.
    QFont bold = mnuVisual_->font();
    bold.setBold(true);
    mnuVisual_->setFont(bold);
    connect(mnuVisual_, &QAction::triggered, this, &frmShowInTaskBar::mnuVisual_Click);
    connect(mnuExit_, &QAction::triggered, this, &frmShowInTaskBar::mnuExit_Click);

    trayIcon_ = new QSystemTrayIcon(TaskTray::icon(), this);
    trayIcon_->setToolTip(TaskTray::tip());
    // No setContextMenu: on X11 Qt would open that menu itself as well, giving two.
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &frmShowInTaskBar::Form_MouseMove);

    mdlScrivlet::setExitHandler([this] { endProgram(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmShowInTaskBar::commitData);
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (!ending_)
            sessionEnding();
    });
}

frmShowInTaskBar::~frmShowInTaskBar()
{
    mdlScrivlet::setExitHandler({});
    Form_QueryUnload();
    // Still open only when the program ends without its close steps.
    delete memo_.data();
}

frmScrivlet* frmShowInTaskBar::memoWindow() const
{
    return memo_;
}

bool frmShowInTaskBar::Form_Load()
{
    const QString folder = programFolder();
    // A lock that cannot be made at all must not keep the user from the program.
    if (instance_.acquire(folder) == SingleInstance::Result::HeldElsewhere) {
        prompter().inform(QStringLiteral("このアプリケーションを複数起動することはできません。"),
                          mdlScrivlet::programTitle(), Prompter::Icon::Exclamation);
        return false;
    }
    QApplication::setQuitOnLastWindowClosed(false);

    // Without a notification area an icon would leave the program unreachable: show the window instead.
    standalone_ = !desktop_.hasNotificationArea();
    if (!standalone_)
        trayIcon_->show();

    // Nothing reads the build number back and nothing is lost when it cannot be written, so a failure
    // here is not worth a box at every start; the memo window reports the folder when it matters.
    INIAccess ini = settings::open(folder);
    ini.SetINIData(settings::section(), settings::upChkBuildKey(), QString::number(buildNumber));

    // Edits a crash kept from being saved are offered back at once, not at the first click on the icon.
    if (standalone_ || !RecoveryStore::forProgramFolder(folder).offerable().empty())
        mnuVisual_Click();
    return true;
}

void frmShowInTaskBar::Form_MouseMove(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::DoubleClick:
        mnuVisual_Click();
        break;
    case QSystemTrayIcon::Context:
        QCoreApplication::processEvents();
        if (!ending_)
            mnuMenu_->popup(QCursor::pos());
        break;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

frmScrivlet* frmShowInTaskBar::loadMemoWindow()
{
    if (!memo_) {
        // A top-level window of its own that deletes itself when it closes; memo_ follows it.
        memo_ = new frmScrivlet;
        memo_->setStandalone(standalone_);
    }
    return memo_;
}

void frmShowInTaskBar::mnuVisual_Click()
{
    const bool loaded = !memo_.isNull();
    frmScrivlet* memo = loadMemoWindow();
    if (loaded)
        memo->recheckShownMemo();
    if (memo->isMinimized())
        memo->setWindowState(memo->windowState() & ~Qt::WindowMinimized);
    if (!memo->isVisible())
        memo->show();
    memo->raise();
    memo->activateWindow();
    if (auto* text = memo->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField")))
        text->setFocus(Qt::ActiveWindowFocusReason);
}

void frmShowInTaskBar::mnuExit_Click()
{
    mdlScrivlet::exitProgram();
}

void frmShowInTaskBar::Form_QueryUnload()
{
    if (trayIcon_)
        trayIcon_->hide();
}

void frmShowInTaskBar::endProgram()
{
    ending_ = true;
    if (memo_)
        memo_->forgetUnsavedEdits();
    mnuMenu_->close();
    Form_QueryUnload();
    instance_.release();
    desktop_.endProcess();
}

bool frmShowInTaskBar::sessionEnding()
{
    if (memo_ && !memo_->close())
        return false;
    ending_ = true;
    Form_QueryUnload();
    return true;
}

void frmShowInTaskBar::commitData(QSessionManager& manager)
{
    // The memo is saved now; the icon stays until the session really ends, in case it is cancelled.
    if (memo_ && !memo_->close())
        manager.cancel();
}
