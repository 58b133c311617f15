#pragma once

#include <QByteArray>
#include <QtGlobal>

// Reads one memo file front to back in pieces, so a search can stop at its first matching line.
// Only an ordinary file is opened: a folder, a pipe or a device standing at the name counts as no
// memo, and opening one never blocks.
class MemoFileReader final
{
public:
    enum class Opened
    {
        Yes,
        Absent, // nothing, or nothing ordinary, stands at the name
        Failed  // it is there but cannot be opened: see error()
    };

    struct Piece
    {
        qsizetype size = 0; // bytes read into the caller's room
        bool atEnd = false; // nothing more to read (also after a failure)
        int error = 0;      // system error (errno) of a failed read, else 0
    };

    MemoFileReader() = default;
    ~MemoFileReader();
    Q_DISABLE_COPY_MOVE(MemoFileReader)

    // Closes any file still open first. The path is in the file system's own encoding.
    [[nodiscard]] Opened open(const QByteArray& path);
    // The same for `name` in an open folder (a descriptor, or AT_FDCWD): many memos of one folder are
    // opened without looking up the folder's path again each time.
    [[nodiscard]] Opened openIn(int folder, const char* name);
    [[nodiscard]] Piece read(char* into, qsizetype room);
    // System error (errno) of a failed open.
    int error() const { return error_; }
    void close();

private:
    int fd_ = -1;
    int error_ = 0;
    qint64 size_ = 0; // when opened
    qint64 total_ = 0;
};
