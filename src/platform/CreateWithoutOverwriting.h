#pragma once

#include <QString>

enum class CreateOutcome
{
    Created,
    // Something already stands at the target; nothing was changed.
    Exists,
    // The target could not be made; nothing was changed.
    Failed
};

// Makes toPath hold what fromPath holds without ever replacing anything that stands there: a hard link,
// which fails when the name is taken, or, where the file system has none, a copy that only creates a
// new file and is removed again when it cannot be completed. *error holds the reason for Failed.
[[nodiscard]] CreateOutcome createWithoutOverwriting(const QString& fromPath, const QString& toPath, QString* error);

// Tests and benchmarks: while one lives, files are copied as on a file system without hard links.
class ScopedNoHardLinks final
{
public:
    ScopedNoHardLinks();
    ~ScopedNoHardLinks();
    ScopedNoHardLinks(const ScopedNoHardLinks&) = delete;
    ScopedNoHardLinks& operator=(const ScopedNoHardLinks&) = delete;

private:
    bool previous_;
};
