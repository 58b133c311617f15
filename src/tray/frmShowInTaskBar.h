#pragma once

#include "NotificationArea.h"
#include "SingleInstance.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <chrono>
#include <functional>

class QAction;
class QMenu;
class QSessionManager;
class QTimer;
class frmScrivlet;

// The program's first object, never shown: it keeps a second copy from running, owns the icon in the
// notification area and its menu, brings up the memo window, and ends the program.
class frmShowInTaskBar final : public QWidget
{
    Q_OBJECT
public:
    // What the desktop provides; tests stand in for it.
    struct Desktop
    {
        // Default: the desktop's own notification areas, watched from Form_Load on.
        NotificationAreaSource* area = nullptr;
        // Default: the process ends at once.
        std::function<void()> endProcess;
        // How long an area may stay away, as a panel restarting does, before the memo window stands on
        // its own.
        std::chrono::milliseconds areaGrace = std::chrono::seconds(4);
    };

    frmShowInTaskBar();
    explicit frmShowInTaskBar(Desktop desktop, QWidget* parent = nullptr);
    ~frmShowInTaskBar() override;
    Q_DISABLE_COPY_MOVE(frmShowInTaskBar)

    // False when memos could not be read faithfully (no CP932 converter) or another copy runs from the
    // same program folder; the caller then ends this copy. Otherwise the icon or, without a notification
    // area, the memo window comes once the desktop has said which: at once when nothing needs asking,
    // within a few seconds when a panel is slow to answer.
    bool Form_Load();

    // When another copy runs on the folder: hands this start's request over to it instead of saying
    // that the program cannot run twice; true when it did.
    void setSecondCopyHandler(std::function<bool()> handOver) { secondCopy_ = std::move(handOver); }

    // Every mouse event over the icon arrives here.
    void Form_MouseMove(QSystemTrayIcon::ActivationReason reason);
    void mnuVisual_Click() { showMemoWindow(); }
    // Loads, shows and raises the memo window with the caret in the memo, as 書き込みフォーム表示 does. A
    // start's activation token lets the desktop give it the focus.
    frmScrivlet* showMemoWindow(const QString& activationToken = QString(), bool x11StartupId = false);
    void mnuExit_Click();

    // The system is ending the program (log-off, shut-down, a termination signal): the memo window
    // closes as when the system closes it, saving its memo, and the icon goes. False when the memo
    // window refused to close because its memo could not be saved; then everything stays as it was.
    bool sessionEnding();

    // The session manager asks the program to save before the session ends: the memo window closes,
    // saving its memo; the icon stays in case the session end is cancelled. False when the save
    // failed: the session end is to be cancelled and everything stays. Without a notification area
    // the program ends, but only after this has returned and the session manager has its answer.
    bool commitSession();

    // Runs the event loop until the program may end. However the loop was ended (the session
    // manager's last word, a quit from Qt itself), the memo window is closed first, saving its memo;
    // when that save fails the program goes on, window and text as they were.
    int runUntilEnded();

    frmScrivlet* memoWindow() const;
    // None until a notification area has been found.
    QSystemTrayIcon* trayIcon() const { return trayIcon_; }
    bool isIconShown() const { return trayIcon_ && trayIcon_->isVisible(); }
    QMenu* mnuMenu() const { return mnuMenu_; }
    bool isStandalone() const { return state_ == TrayState::Standalone; }

private:
    // Where the program stands; every change of the notification area or of the program's lifetime is
    // a move between these.
    enum class TrayState
    {
        // The desktop has not yet said whether it has a notification area.
        Looking,
        // The icon is in the notification area, or its area has been away for less than the grace.
        Icon,
        // No area: the memo window stands on its own in the task bar and its close ends the program.
        Standalone,
        // The memo window closes for a session end; an end asked for meanwhile waits for its outcome.
        ClosingForSessionEnd,
        // Exit was asked for while the memo window closed for a session end.
        EndAsked,
        // The program ends; nothing changes any more.
        Ending
    };

    frmScrivlet* loadMemoWindow();
    // An area that appeared takes the icon and the program acts as a tray program from then on; one
    // away for longer than the grace leaves the memo window shown on its own, until it returns.
    void notificationAreaChanged();
    void areaStayedAway();
    // Whether the icon is in a notification area now, made for the area there if need be.
    bool placeIcon();
    void enterState(TrayState state);
    void Form_QueryUnload();
    void endProgram();
    void commitData(QSessionManager& manager);
    bool closeMemoForSessionEnd();

    Desktop desktop_;
    SingleInstance instance_;
    QSystemTrayIcon* trayIcon_ = nullptr;
    QMenu* mnuMenu_ = nullptr;
    QAction* mnuVisual_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QPointer<NotificationAreaSource> area_;
    QTimer* areaGrace_ = nullptr;
    // What the icon was made for; it stays with that kind.
    NotificationAreaKind iconKind_ = NotificationAreaKind::Absent;
    QPointer<frmScrivlet> memo_;
    TrayState state_ = TrayState::Looking;
    std::function<bool()> secondCopy_;
};
