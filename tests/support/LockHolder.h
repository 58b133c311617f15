#pragma once

#include <QProcess>
#include <QString>

// Another process holding the program lock of a folder, as a running main program does, or as the
// utility does during an operation. Gone with this object; crash() ends it the way a crash does,
// leaving its lock file behind.
class LockHolder
{
public:
    enum class Holder
    {
        MainProgram,
        Utility
    };

    explicit LockHolder(const QString& programFolder, Holder holder = Holder::MainProgram);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // The process runs and has said that it holds the lock.
    bool isHolding() const { return holding_; }
    qint64 processId() const { return process_.processId(); }
    // What the process said when it could not take the lock.
    QString failure() const { return failure_; }

    // SIGKILL, and waits until the process is reaped, so its number no longer counts as running.
    void crash();

private:
    QProcess process_;
    bool holding_ = false;
    QString failure_;
};
