#pragma once

#include "NotificationArea.h"
#include "SingleInstance.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
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
        std::function<bool()> hasNotificationArea; // default: whether a notification area is there now
        std::function<void()> endProcess;          // default: the process ends at once
    };

    // How often the notification area is looked for, and how many looks in a row may miss it before
    // the memo window stands on its own: a panel restarting is back within that time.
    static constexpr int WatchIntervalMs = 1000;
    static constexpr int MissesBeforeStandalone = 4;

    explicit frmShowInTaskBar(Desktop desktop = {}, QWidget* parent = nullptr);
    ~frmShowInTaskBar() override;
    Q_DISABLE_COPY_MOVE(frmShowInTaskBar)

    // False when memos could not be read faithfully (no CP932 converter) or another copy runs from the
    // same program folder; the caller then ends this copy.
    bool Form_Load();

    // Every mouse event over the icon arrives here.
    void Form_MouseMove(QSystemTrayIcon::ActivationReason reason);
    void mnuVisual_Click();
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

    // One look for the notification area: an area that appeared takes the icon and the program acts as
    // a tray program from then on; one gone for several looks in a row leaves the memo window shown
    // on its own, until it returns.
    void watchNotificationArea();

    frmScrivlet* memoWindow() const;
    // None until a notification area has been found.
    QSystemTrayIcon* trayIcon() const { return trayIcon_; }
    bool isIconShown() const { return trayIcon_ && trayIcon_->isVisible(); }
    QMenu* mnuMenu() const { return mnuMenu_; }
    bool isStandalone() const { return standalone_; }

private:
    frmScrivlet* loadMemoWindow();
    void showIcon();
    void setStandalone(bool standalone);
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
    QTimer* watch_ = nullptr;
    // What the icon was made for; until then any kind will do.
    NotificationAreaKind iconKind_ = NotificationAreaKind::Absent;
    int misses_ = 0;
    QPointer<frmScrivlet> memo_;
    bool standalone_ = false;
    bool ending_ = false;
    // While the memo window closes for a session end, an end it asks for is the caller's to make.
    bool closingForSessionEnd_ = false;
    bool endAsked_ = false;
};
