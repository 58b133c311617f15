#include "frmShowInTaskBar.h"

#include "MemoCodecCheck.h"
#include "NotificationAreaWatcher.h"
#include "ProgramFolder.h"
#include "PrompterInUse.h"
#include "RecoveryStore.h"
#include "ScrivletVersion.h"
#include "Settings.h"
#include "TaskTray.h"
#include "WindowActivation.h"
#include "WindowSetup.h"
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

frmShowInTaskBar::frmShowInTaskBar() : frmShowInTaskBar(Desktop{}) {}

frmShowInTaskBar::frmShowInTaskBar(Desktop desktop, QWidget* parent)
    : QWidget(parent, Qt::Tool), desktop_(std::move(desktop))
{
    if (!desktop_.endProcess)
        desktop_.endProcess = endProcessAtOnce;

    setObjectName(QStringLiteral("frmShowInTaskBar"));
    ui::nameWindow(this, mdlScrivlet::programTitle());

    mnuMenu_ = ui::createMenu(this);
    mnuVisual_ = ui::addMenuItem(mnuMenu_, "mnuVisual", QStringLiteral("書き込みフォーム表示(&V)"));
    mnuExit_ = ui::addMenuItem(mnuMenu_, "mnuExit", QStringLiteral("終了(&X)"));
    ui::setDefaultMenuItem(mnuMenu_, mnuVisual_);
    connect(mnuVisual_, &QAction::triggered, this, &frmShowInTaskBar::mnuVisual_Click);
    connect(mnuExit_, &QAction::triggered, this, &frmShowInTaskBar::mnuExit_Click);

    areaGrace_ = new QTimer(this);
    areaGrace_->setSingleShot(true);
    areaGrace_->setInterval(desktop_.areaGrace);
    connect(areaGrace_, &QTimer::timeout, this, &frmShowInTaskBar::areaStayedAway);

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
        if (secondCopy_ && secondCopy_())
            return false;
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

    // Watched only now: a copy that does not start has no business with the desktop.
    area_ = desktop_.area ? desktop_.area : new NotificationAreaWatcher(this);
    connect(area_, &NotificationAreaSource::changed, this, &frmShowInTaskBar::notificationAreaChanged);

    INIAccess ini = settings::open(folder);
    if (!ini.SetINIData(settings::section(), settings::upChkBuildKey(),
                        QString::number(scrivlet_version::BuildNumber))) {
        // Nothing reads the build number back and nothing is lost when it cannot be written, so a failure
        // here is not worth a box at every start; the memo window reports the folder when it matters.
    }

    // Without a notification area an icon would leave the program unreachable: the window comes instead.
    notificationAreaChanged();
    // Edits a crash kept from being saved are offered back at once, not at the first click on the icon.
    if (!memo_ && !RecoveryStore::forProgramFolder(folder).offerable().empty())
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

bool frmShowInTaskBar::placeIcon()
{
    // An area that restarts gets the icon again from Qt itself: it follows both the X11 tray and the
    // StatusNotifier watcher once an icon is shown.
    if (trayIcon_)
        return area_->isPresent(iconKind_);
    // Made only once an area is there: Qt chooses between D-Bus and X11 trays when the first icon is made.
    const NotificationAreaKind kind = area_->kindForNewIcon();
    if (kind == NotificationAreaKind::Absent)
        return false;
    iconKind_ = kind;
    trayIcon_ = new QSystemTrayIcon(TaskTray::icon(), this);
    trayIcon_->setToolTip(TaskTray::tip());
    trayIcon_->setContextMenu(mnuMenu_);
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &frmShowInTaskBar::Form_MouseMove);
    trayIcon_->show();
    return true;
}

void frmShowInTaskBar::enterState(TrayState state)
{
    const bool wasStandalone = state_ == TrayState::Standalone;
    state_ = state;
    if (memo_ && wasStandalone != (state == TrayState::Standalone))
        memo_->setStandalone(state == TrayState::Standalone);
}

void frmShowInTaskBar::notificationAreaChanged()
{
    switch (state_) {
    case TrayState::Looking:
        if (!area_->hasAnswered())
            return;
        if (placeIcon()) {
            enterState(TrayState::Icon);
        } else {
            enterState(TrayState::Standalone);
            mnuVisual_Click();
        }
        return;
    case TrayState::Icon:
        if (area_->isPresent(iconKind_))
            areaGrace_->stop();
        else if (!areaGrace_->isActive())
            areaGrace_->start();
        return;
    case TrayState::Standalone:
        if (placeIcon())
            enterState(TrayState::Icon);
        return;
    case TrayState::ClosingForSessionEnd:
    case TrayState::EndAsked:
    case TrayState::Ending:
        return;
    }
}

void frmShowInTaskBar::areaStayedAway()
{
    if (state_ != TrayState::Icon || area_->isPresent(iconKind_))
        return;
    enterState(TrayState::Standalone);
    mnuVisual_Click();
}

frmScrivlet* frmShowInTaskBar::loadMemoWindow()
{
    if (!memo_) {
        // A top-level window of its own that deletes itself when it closes; memo_ follows it.
        memo_ = new frmScrivlet;
        memo_->setStandalone(state_ == TrayState::Standalone);
    }
    return memo_;
}

frmScrivlet* frmShowInTaskBar::showMemoWindow(const QString& activationToken, bool x11StartupId)
{
    const bool loaded = !memo_.isNull();
    frmScrivlet* memo = loadMemoWindow();
    if (loaded)
        memo->recheckShownMemo();
    // Before the window is mapped: the desktop reads the token when it maps a window.
    prepareActivation(memo->winId(), activationToken, x11StartupId);
    if (memo->isMinimized())
        memo->setWindowState(memo->windowState() & ~Qt::WindowMinimized);
    if (!memo->isVisible())
        memo->show();
    memo->raise();
    memo->activateWindow();
    if (auto* text = memo->findChild<QPlainTextEdit*>(QStringLiteral("txtDataField")))
        text->setFocus(Qt::ActiveWindowFocusReason);
    return memo;
}

void frmShowInTaskBar::mnuExit_Click()
{
    mdlScrivlet::exitProgram();
}

void frmShowInTaskBar::Form_QueryUnload()
{
    if (areaGrace_)
        areaGrace_->stop();
    if (trayIcon_)
        trayIcon_->hide();
}

void frmShowInTaskBar::endProgram()
{
    switch (state_) {
    case TrayState::ClosingForSessionEnd:
    case TrayState::EndAsked:
        state_ = TrayState::EndAsked;
        return;
    case TrayState::Looking:
    case TrayState::Icon:
    case TrayState::Standalone:
    case TrayState::Ending:
        break;
    }
    state_ = TrayState::Ending;
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
    const TrayState before = state_;
    state_ = TrayState::ClosingForSessionEnd;
    const bool closed = memo_->close();
    const bool endAsked = state_ == TrayState::EndAsked;
    state_ = before;
    // Exit chosen from the icon's menu while a failure box stood open is the user's own word.
    if (!closed && endAsked) {
        endProgram();
        return false;
    }
    // The program goes on as it was; what the area did meanwhile counts now.
    if (!closed)
        notificationAreaChanged();
    return closed;
}

bool frmShowInTaskBar::sessionEnding()
{
    if (state_ == TrayState::Ending)
        return true;
    if (!closeMemoForSessionEnd())
        return false;
    state_ = TrayState::Ending;
    Form_QueryUnload();
    return true;
}

bool frmShowInTaskBar::commitSession()
{
    if (!closeMemoForSessionEnd())
        return false;
    // Without an icon nothing would be left to reach the program by. Ending in here would leave the
    // session manager waiting for the answer that Qt gives once this handler has returned.
    if (state_ == TrayState::Standalone)
        QMetaObject::invokeMethod(this, &frmShowInTaskBar::endProgram, Qt::QueuedConnection);
    else
        notificationAreaChanged();
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
