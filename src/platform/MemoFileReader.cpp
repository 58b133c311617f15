#include "MemoFileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

MemoFileReader::~MemoFileReader()
{
    close();
}

void MemoFileReader::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

// The existence test and the opening are one system call; a miss costs no more than a lookup.
MemoFileReader::Opened MemoFileReader::open(const QByteArray& path)
{
    return openIn(AT_FDCWD, path.constData());
}

MemoFileReader::Opened MemoFileReader::openIn(int folder, const char* name)
{
    close();
    error_ = 0;
    total_ = 0;
    int fd = -1;
    do {
        // Non-blocking, so a pipe standing at the name does not hang the search.
        fd = ::openat(folder, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int openError = errno;
        if (openError == ENOENT || openError == ENOTDIR)
            return Opened::Absent;
        struct stat info;
        if (::fstatat(folder, name, &info, 0) != 0 || !S_ISREG(info.st_mode))
            return Opened::Absent;
        error_ = openError;
        return Opened::Failed;
    }
    fd_ = fd;
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        error_ = errno;
        close();
        return Opened::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        close();
        return Opened::Absent;
    }
    size_ = info.st_size;
    return Opened::Yes;
}

MemoFileReader::Piece MemoFileReader::read(char* into, qsizetype room)
{
    if (fd_ < 0)
        return {0, true, EBADF};
    for (;;) {
        const ssize_t got = ::read(fd_, into, static_cast<size_t>(room));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {0, true, errno};
        }
        total_ += got;
        // Reading up to the size the file had when opened saves asking once more for the end.
        return {static_cast<qsizetype>(got), got == 0 || (size_ > 0 && total_ >= size_), 0};
    }
}
