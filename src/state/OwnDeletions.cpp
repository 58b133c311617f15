#include "OwnDeletions.h"

#include <QDir>
#include <QHash>

namespace {

QHash<QString, FileStamp>& deletions()
{
    static QHash<QString, FileStamp> d;
    return d;
}

} // namespace

void OwnDeletions::record(const QString& path, const FileStamp& deleted)
{
    deletions().insert(QDir::cleanPath(path), deleted);
}

bool OwnDeletions::deletedHere(const QString& path, const std::optional<FileStamp>& lastSeen)
{
    const QString key = QDir::cleanPath(path);
    const auto found = deletions().constFind(key);
    if (found == deletions().constEnd())
        return false;
    FileStamp now;
    // Unable to look, nobody can say the file is gone.
    if (!readFileStamp(key, &now, nullptr))
        return false;
    if (now.exists) {
        deletions().erase(found);
        return false;
    }
    return !lastSeen || *lastSeen == *found;
}

void OwnDeletions::resetForTesting()
{
    deletions().clear();
}
