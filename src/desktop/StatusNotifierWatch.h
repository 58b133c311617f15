#pragma once

#include <QDBusConnection>
#include <QObject>

class QDBusPendingCallWatcher;

// Whether the session bus has a StatusNotifier host, learnt from the bus's notices of the watcher
// coming and going and from the watcher's own notices of hosts. The watcher is asked without waiting
// for it: a panel that hangs must not freeze the program.
class StatusNotifierWatch final : public QObject
{
    Q_OBJECT
public:
    enum class Answer
    {
        Asking,
        NoWatcher,
        NoHost,
        Host,
        // The watcher owns its name but did not answer in time.
        Silent
    };

    // How long the watcher has to answer before it counts as no host.
    static constexpr int AnswerTimeoutMs = 3000;

    explicit StatusNotifierWatch(QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(StatusNotifierWatch)

    Answer answer() const { return answer_; }

Q_SIGNALS:
    void changed();

public Q_SLOTS:
    // Asks the watcher afresh; the answer comes with changed().
    void ask();

private:
    void answered(quint64 question, QDBusPendingCallWatcher* call);
    void setAnswer(Answer answer);

    QDBusConnection bus_;
    Answer answer_ = Answer::Asking;
    // Only the answer to the latest question counts.
    quint64 question_ = 0;
};
