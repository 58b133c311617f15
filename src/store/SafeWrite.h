#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces the file at path with data as a whole. The old file stays whole until the new one is
// complete; no folder is created; a read-only file is not replaced; the file's permissions are kept.
// On failure *error holds the reason and nothing has changed on disk.
bool writeWholeFile(const QString& path, const QByteArray& data, QString* error);

// A fault to simulate: when it returns true for a path, the write stops halfway as on a full disk.
void setWriteFaultForTesting(std::function<bool(const QString& path)> fault);
