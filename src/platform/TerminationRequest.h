#pragma once

#include <QObject>

class QSocketNotifier;

// The system asks a desktop program to end with a signal: SIGTERM at shut-down or when the session is
// torn down, SIGHUP when the terminal goes, SIGINT for Ctrl+C. This turns them into a Qt signal on the
// user-interface thread, so the program can close its windows properly first. Signals the program was
// told to ignore (nohup) stay ignored. One at a time per process.
class TerminationRequest final : public QObject
{
    Q_OBJECT
public:
    explicit TerminationRequest(QObject* parent = nullptr);
    ~TerminationRequest() override;
    Q_DISABLE_COPY_MOVE(TerminationRequest)

    // Empty while the signals are watched; otherwise why they could not be, for a person.
    [[nodiscard]] QString failure() const { return failure_; }

Q_SIGNALS:
    void requested();

private:
    void readPending();

    QSocketNotifier* notifier_ = nullptr;
    QString failure_;
};
