#include "NotificationAreaWatcher.h"

#include "StatusNotifierWatch.h"
#include "SystemTraySelection.h"

NotificationAreaWatcher::NotificationAreaWatcher(QObject* parent)
    : NotificationAreaSource(parent), statusNotifier_(new StatusNotifierWatch(this)),
      systemTray_(new SystemTraySelection(this))
{
    connect(statusNotifier_, &StatusNotifierWatch::changed, this, &NotificationAreaSource::changed);
    connect(systemTray_, &SystemTraySelection::changed, this, [this] {
        // A panel busy at login may answer now; its tray coming is as good a moment to ask as any.
        if (statusNotifier_->answer() == StatusNotifierWatch::Answer::Silent)
            statusNotifier_->ask();
        Q_EMIT changed();
    });
}

bool NotificationAreaWatcher::hasAnswered() const
{
    return statusNotifier_->answer() != StatusNotifierWatch::Answer::Asking;
}

NotificationAreaKind NotificationAreaWatcher::kindForNewIcon() const
{
    switch (statusNotifier_->answer()) {
    case StatusNotifierWatch::Answer::Host:
        return NotificationAreaKind::StatusNotifier;
    case StatusNotifierWatch::Answer::NoWatcher:
    case StatusNotifierWatch::Answer::NoHost:
        return systemTray_->isOwned() ? NotificationAreaKind::XEmbed : NotificationAreaKind::Absent;
    case StatusNotifierWatch::Answer::Asking:
    case StatusNotifierWatch::Answer::Silent:
        break;
    }
    // Qt asks the watcher itself, and waits for it, when it makes the first icon.
    return NotificationAreaKind::Absent;
}

bool NotificationAreaWatcher::isPresent(NotificationAreaKind kind) const
{
    switch (kind) {
    case NotificationAreaKind::StatusNotifier:
        return statusNotifier_->answer() == StatusNotifierWatch::Answer::Host;
    case NotificationAreaKind::XEmbed:
        return systemTray_->isOwned();
    case NotificationAreaKind::Absent:
        break;
    }
    return false;
}
