#pragma once

#include "FileStamp.h"

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces the file at path with data as a whole. The old file stays whole until the new one is
// complete; no folder is created; a read-only file is not replaced; the file's permissions are kept.
// On failure *error holds the reason and nothing has changed on disk. *written, when given, is the
// stamp of the file this call wrote, taken from the file itself before it took the name: a write by
// someone else landing just after never passes for this one.
[[nodiscard]] bool writeWholeFile(const QString& path, const QByteArray& data, QString* error,
                                  FileStamp* written = nullptr);

// Tests: while one lives, a write to a path the fault returns true for stops halfway, as on a full disk.
class ScopedWriteFault final
{
public:
    explicit ScopedWriteFault(std::function<bool(const QString& path)> fault);
    ~ScopedWriteFault();
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;

private:
    std::function<bool(const QString&)> previous_;
};

// Tests: while one lives, `meanwhile` runs just after a write has taken the file's name, as another
// program writing at that moment would.
class ScopedWriteInterruption final
{
public:
    explicit ScopedWriteInterruption(std::function<void(const QString& path)> meanwhile);
    ~ScopedWriteInterruption();
    ScopedWriteInterruption(const ScopedWriteInterruption&) = delete;
    ScopedWriteInterruption& operator=(const ScopedWriteInterruption&) = delete;

private:
    std::function<void(const QString&)> previous_;
};
