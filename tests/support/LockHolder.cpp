#include "LockHolder.h"

#include <QDeadlineTimer>

LockHolder::LockHolder(const QString& programFolder, Holder holder)
{
    process_.start(holder == Holder::MainProgram ? QStringLiteral(SCRIVLET_LOCK_HOLDER)
                                                 : QStringLiteral(SCRIVLET_UTILITY_LOCK_HOLDER),
                   {programFolder});
    if (!process_.waitForStarted(10000)) {
        failure_ = process_.errorString();
        return;
    }
    QByteArray said;
    const QDeadlineTimer deadline(20000);
    while (!said.contains('\n') && !deadline.hasExpired() && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(100);
        said += process_.readAllStandardOutput();
    }
    holding_ = said.startsWith("held");
    if (!holding_)
        failure_ = QString::fromUtf8(said + process_.readAllStandardError());
}

LockHolder::~LockHolder()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    // Closing its input lets it release the lock and end on its own.
    process_.closeWriteChannel();
    if (!process_.waitForFinished(10000)) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}

void LockHolder::crash()
{
    process_.kill();
    process_.waitForFinished(10000);
    holding_ = false;
}
