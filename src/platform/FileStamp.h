#pragma once

#include <QString>
#include <QtGlobal>

// What a file looked like at one moment: enough to tell later whether anyone has created, rewritten,
// replaced or removed it since. Only a regular file counts as present.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FileStamp& a, const FileStamp& b)
    {
        if (a.exists != b.exists)
            return false;
        return !a.exists ||
               (a.size == b.size && a.modifiedSeconds == b.modifiedSeconds &&
                a.modifiedNanoseconds == b.modifiedNanoseconds && a.device == b.device && a.inode == b.inode);
    }
    friend bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }
};

// The stamp of the file at path; a missing file (or a folder there) is a stamp with exists false.
// When the system cannot tell (no permission to look, an I/O error), false and *systemError holds errno.
[[nodiscard]] bool readFileStamp(const QString& path, FileStamp* stamp, int* systemError);
