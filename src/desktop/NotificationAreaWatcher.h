#pragma once

#include "NotificationArea.h"

class StatusNotifierWatch;
class SystemTraySelection;

// The desktop's own notification areas, watched for as long as this object lives: a StatusNotifier host
// on the session bus, preferred as Qt prefers it, else an X11 system tray.
class NotificationAreaWatcher final : public NotificationAreaSource
{
    Q_OBJECT
public:
    explicit NotificationAreaWatcher(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(NotificationAreaWatcher)

    bool hasAnswered() const override;
    NotificationAreaKind kindForNewIcon() const override;
    bool isPresent(NotificationAreaKind kind) const override;

private:
    StatusNotifierWatch* statusNotifier_ = nullptr;
    SystemTraySelection* systemTray_ = nullptr;
};
