#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces the file at path with data as a whole. The old file stays whole until the new one is
// complete; no folder is created; a read-only file is not replaced; the file's permissions are kept.
// On failure *error holds the reason and nothing has changed on disk.
[[nodiscard]] bool writeWholeFile(const QString& path, const QByteArray& data, QString* error);

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
