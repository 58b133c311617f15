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
    // The inode's change time, which no program can set back: a rewrite of the same size whose
    // modification time was restored (touch -r, rsync --inplace -t) still shows here.
    qint64 changedSeconds = 0;
    qint64 changedNanoseconds = 0;

    // The same file, the same bytes as far as the file system can tell, the change time aside.
    bool sameContentAs(const FileStamp& other) const
    {
        return exists == other.exists &&
               (!exists || (size == other.size && modifiedSeconds == other.modifiedSeconds &&
                            modifiedNanoseconds == other.modifiedNanoseconds && device == other.device &&
                            inode == other.inode));
    }

    friend bool operator==(const FileStamp& a, const FileStamp& b)
    {
        return a.sameContentAs(b) && (!a.exists || (a.changedSeconds == b.changedSeconds &&
                                                    a.changedNanoseconds == b.changedNanoseconds));
    }
    friend bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }
};

// The stamp of the file at path; a missing file (or a folder there) is a stamp with exists false.
// When the system cannot tell (no permission to look, an I/O error), false and *systemError holds errno.
[[nodiscard]] bool readFileStamp(const QString& path, FileStamp* stamp, int* systemError);
// The stamp of an open file.
[[nodiscard]] bool readFileStamp(int fd, FileStamp* stamp, int* systemError);
