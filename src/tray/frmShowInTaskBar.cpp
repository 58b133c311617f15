#include "frmShowInTaskBar.h"

#include "MemoCodecCheck.h"
#include "NotificationArea.h"
#include "ProgramFolder.h"
#include "PrompterInUse.h"
#include "RecoveryStore.h"
#include "ScrivletVersion.h"
#include "Settings.h"
#include "TaskTray.h"
#include "frmScrivlet.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

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
        desktop_.hasNotificationArea = [this] { return notificationAreaPresent(iconKind_); };
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

    watch_ = new QTimer(this);
    watch_->setInterval(WatchIntervalMs);
    connect(watch_, &QTimer::timeout, this, &frmShowInTaskBar::watchNotificationArea);

    mdlScrivlet::setExitHandler([this] { endProgram(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmShowInTaskBar::commitData);
}

frmShowInTaskBar::~frmShowInTaskBar()
{
    mdlScrivlet::setExitHandler({});
    Form_QueryUnload();
    // Still loaded only after Exit, whose edits are dropped on purpose, or after a session end that
    // closed it already; runUntilEnded never lets the program get here with an unsaved memo.
    delete memo_.data();
}

frmScrivlet* frmShowInTaskBar::memoWindow() const
{
    return memo_;
}

bool frmShowInTaskBar::Form_Load()
{
    Failure failure;
    if (!memoCodecReady(&failure)) {
        prompter().showFailure(failure, mdlScrivlet::programTitle());
        return false;
    }
    // Made before the lock, so that every copy keys the lock by the same, existing folder.
    if (!createProgramFolder(&failure)) {
        failure.closing = QStringLiteral("ほかの場所には何も保存しません。Scrivletを終了します。");
        prompter().showFailure(failure, mdlScrivlet::programTitle());
        return false;
    }
    const QString folder = programFolder();
    // A lock that cannot be made at all must not keep the user from the program.
    if (instance_.acquire(folder) == SingleInstance::Result::HeldElsewhere) {
        // The utility holds the folder only while it moves or deletes memos; the user starts again after.
        prompter().inform(instance_.holderProgram() == utilityProgramFileName()
                              ? QStringLiteral("Scrivlet Utilityがこのフォルダのメモを処理中です。"
                                               "処理が終わってから、もう一度起動してください。")
                              : QStringLiteral("このアプリケーションを複数起動することはできません。"),
                          mdlScrivlet::programTitle(), Prompter::Icon::Exclamation);
        return false;
    }
    // Memos already there can still be read; each save that fails says so and keeps the text.
    if (!canWriteProgramFolder(&failure)) {
        failure.closing =
            QStringLiteral("メモを読むことはできますが、保存はできません。ほかの場所には何も保存しません。");
        prompter().showFailure(failure, mdlScrivlet::programTitle());
    }
    QApplication::setQuitOnLastWindowClosed(false);

    // Without a notification area an icon would leave the program unreachable: show the window instead.
    standalone_ = !desktop_.hasNotificationArea();
    if (!standalone_)
        showIcon();
    watch_->start();

    INIAccess ini = settings::open(folder);
    if (!ini.SetINIData(settings::section(), settings::upChkBuildKey(),
                        QString::number(scrivlet_version::BuildNumber))) {
        // Nothing reads the build number back and nothing is lost when it cannot be written, so a failure
        // here is not worth a box at every start; the memo window reports the folder when it matters.
    }

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
        // The menu belongs to the icon: an X11 tray has Qt open it at the pointer, a D-Bus panel draws it.
        break;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void frmShowInTaskBar::showIcon()
{
    // Made only once an area is there: Qt chooses between D-Bus and X11 trays when the first icon is made.
    if (!trayIcon_) {
        iconKind_ = notificationAreaKind();
        trayIcon_ = new QSystemTrayIcon(TaskTray::icon(), this);
        trayIcon_->setToolTip(TaskTray::tip());
        trayIcon_->setContextMenu(mnuMenu_);
        connect(trayIcon_, &QSystemTrayIcon::activated, this, &frmShowInTaskBar::Form_MouseMove);
    }
    trayIcon_->show();
}

void frmShowInTaskBar::setStandalone(bool standalone)
{
    standalone_ = standalone;
    if (memo_)
        memo_->setStandalone(standalone);
}

void frmShowInTaskBar::watchNotificationArea()
{
    if (ending_)
        return;
    if (desktop_.hasNotificationArea()) {
        misses_ = 0;
        // An area that restarts gets the icon again from Qt itself: it watches both the X11 tray and
        // the StatusNotifier watcher once an icon is shown.
        if (standalone_) {
            showIcon();
            setStandalone(false);
        }
        return;
    }
    if (standalone_)
        return;
    if (++misses_ < MissesBeforeStandalone)
        return;
    setStandalone(true);
    mnuVisual_Click();
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
    if (watch_)
        watch_->stop();
    if (trayIcon_)
        trayIcon_->hide();
}

void frmShowInTaskBar::endProgram()
{
    if (closingForSessionEnd_) {
        endAsked_ = true;
        return;
    }
    ending_ = true;
    if (memo_)
        memo_->forgetUnsavedEdits();
    mnuMenu_->close();
    Form_QueryUnload();
    instance_.release();
    desktop_.endProcess();
}

bool frmShowInTaskBar::closeMemoForSessionEnd()
{
    if (!memo_)
        return true;
    // Without a notification area the memo window's close ends the program at once; not here.
    closingForSessionEnd_ = true;
    endAsked_ = false;
    const bool closed = memo_->close();
    closingForSessionEnd_ = false;
    // Exit chosen from the icon's menu while a failure box stood open is the user's own word.
    if (!closed && endAsked_)
        endProgram();
    return closed;
}

bool frmShowInTaskBar::sessionEnding()
{
    if (ending_)
        return true;
    if (!closeMemoForSessionEnd())
        return false;
    ending_ = true;
    Form_QueryUnload();
    return true;
}

bool frmShowInTaskBar::commitSession()
{
    if (!closeMemoForSessionEnd())
        return false;
    // Without an icon nothing would be left to reach the program by. Ending in here would leave the
    // session manager waiting for the answer that Qt gives once this handler has returned.
    if (standalone_)
        QMetaObject::invokeMethod(this, &frmShowInTaskBar::endProgram, Qt::QueuedConnection);
    return true;
}

void frmShowInTaskBar::commitData(QSessionManager& manager)
{
    if (!commitSession())
        manager.cancel();
}

int frmShowInTaskBar::runUntilEnded()
{
    for (;;) {
        const int code = QApplication::exec();
        if (sessionEnding())
            return code;
    }
}
