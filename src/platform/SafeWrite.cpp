#include "SafeWrite.h"

#include "FileError.h"
#include "WriteAccess.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace {
std::function<bool(const QString&)>& writeFault()
{
    static std::function<bool(const QString&)> fault;
    return fault;
}
std::function<void(const QString&)>& interruption()
{
    static std::function<void(const QString&)> meanwhile;
    return meanwhile;
}
} // namespace

ScopedWriteInterruption::ScopedWriteInterruption(std::function<void(const QString& path)> meanwhile)
    : previous_(std::move(interruption()))
{
    interruption() = std::move(meanwhile);
}

ScopedWriteInterruption::~ScopedWriteInterruption()
{
    interruption() = std::move(previous_);
}

ScopedWriteFault::ScopedWriteFault(std::function<bool(const QString& path)> fault) : previous_(std::move(writeFault()))
{
    writeFault() = std::move(fault);
}

ScopedWriteFault::~ScopedWriteFault()
{
    writeFault() = std::move(previous_);
}

bool writeWholeFile(const QString& path, const QByteArray& data, QString* error, FileStamp* stamp)
{
    auto fail = [&](int systemError, const QFileDevice* device) {
        if (error)
            *error = fileErrorReason(systemError, device);
        return false;
    };
    const QFileInfo existing(path);
    if (existing.isDir())
        return fail(EISDIR, nullptr);
    if (existing.exists()) {
        if (const int denied = writeAccessError(path))
            return fail(denied, nullptr);
    }

    QSaveFile file(path);
    // Never fall back to truncating the old file in place: that is what loses memos on a full disk.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fail(errno, &file);
    qint64 toWrite = data.size();
    const bool faulty = writeFault() && writeFault()(path);
    if (faulty)
        toWrite /= 2;
    errno = 0;
    const qint64 written = file.write(data.constData(), toWrite);
    if (faulty || written != data.size() || !file.flush()) {
        // Cancelling replaces the device's reason with its own, so the reason is taken first.
        const QString reason = faulty ? fileErrorReason(ENOSPC) : fileErrorReason(errno, &file);
        file.cancelWriting();
        if (error)
            *error = reason;
        return false;
    }
    FileStamp ours;
    const bool stamped = stamp && readFileStamp(int(file.handle()), &ours, nullptr);
    errno = 0;
    if (!file.commit())
        return fail(errno, &file);
    if (interruption())
        interruption()(path);
    if (stamp) {
        // Taking the name changes the file's change time and nothing else; anything more that shows by
        // now was someone else's doing, and the stamp from before keeps it from passing for ours.
        FileStamp now;
        if (stamped && readFileStamp(path, &now, nullptr) && now.sameContentAs(ours))
            ours = now;
        *stamp = ours;
    }
    return true;
}
