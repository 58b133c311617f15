#pragma once

#include "NotificationArea.h"

// A notification area that is there or not as the test says, and says so at once.
class FakeNotificationArea final : public NotificationAreaSource
{
public:
    bool hasAnswered() const override { return answered_; }
    NotificationAreaKind kindForNewIcon() const override
    {
        return present_ ? NotificationAreaKind::StatusNotifier : NotificationAreaKind::Absent;
    }
    bool isPresent(NotificationAreaKind kind) const override
    {
        return present_ && kind == NotificationAreaKind::StatusNotifier;
    }

    // The desktop answers, or its area comes or goes.
    void set(bool present)
    {
        present_ = present;
        answered_ = true;
        Q_EMIT changed();
    }
    // A desktop still to answer.
    void unanswered() { answered_ = false; }

private:
    bool present_ = true;
    bool answered_ = true;
};
