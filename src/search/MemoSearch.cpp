#include "MemoSearch.h"

#include "FileError.h"
#include "MemoLines.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include "FileLookup.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace search {
namespace {

std::function<int(int)>& readFault()
{
    static std::function<int(int)> fault;
    return fault;
}

// Memos are a few kilobytes; a chunk holds a whole one, and a huge file is never read whole.
constexpr qsizetype ChunkSize = 64 * 1024;

struct Chunk
{
    qsizetype size = 0;
    bool atEnd = false;
    int error = 0;
};

// End of the last line in data[0, size) that is known to be complete: after a CR with a byte behind
// it, so that a CR LF split between two reads stays one terminator.
qsizetype completeLinesEnd(const char* data, qsizetype size)
{
    for (qsizetype i = size - 2; i >= 0; --i) {
        if (data[i] == '\r')
            return data[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return 0;
}

// Reads chunk after chunk and hands each run of whole lines to onLines until it returns false or
// the file ends. Returns the system error of a failed read, else 0.
template <typename ReadChunk, typename OnLines>
int forEachRunOfLines(ReadChunk&& readChunk, std::vector<char>& buffer, OnLines&& onLines)
{
    qsizetype held = 0;
    for (;;) {
        if (static_cast<qsizetype>(buffer.size()) < held + ChunkSize)
            buffer.resize(held + ChunkSize);
        const Chunk chunk = readChunk(buffer.data() + held, ChunkSize);
        if (chunk.error != 0)
            return chunk.error;
        held += chunk.size;
        const qsizetype complete = chunk.atEnd ? held : completeLinesEnd(buffer.data(), held);
        const bool stopped = !onLines(QByteArrayView(buffer.data(), complete));
        if (stopped || chunk.atEnd)
            return 0;
        std::memmove(buffer.data(), buffer.data() + complete, held - complete);
        held -= complete;
    }
}

enum class FileState
{
    Absent,
    Searched,
    Unreadable
};

// One memo after the other, reusing the path, the read buffer and the matcher's buffers.
class MemoScanner
{
public:
    MemoScanner(const QString& memoFolder, const QString& keyword, MatchMode mode)
        : folder_(EnsureBackslash(memoFolder)), matcher_(keyword, mode)
    {
#ifndef Q_OS_WIN
        path_ = QFile::encodeName(folder_ + memo::memoFileName(0));
        digitsAt_ = path_.size() - 8;
#endif
    }

    // Whether the memo holds the keyword on one of its lines; *reason is set when it is Unreadable.
    FileState search(int number, bool* found, QString* reason);

private:
    template <typename ReadChunk> FileState searchLines(ReadChunk&& readChunk, bool* found, QString* reason)
    {
        *found = false;
        const int error = forEachRunOfLines(readChunk, buffer_, [&](QByteArrayView lines) {
            if (!matcher_.mayOccurIn(lines))
                return true;
            forEachMemoLine(lines, [&](QByteArrayView line) {
                *found = matcher_.matchesCp932(line);
                return !*found;
            });
            return !*found;
        });
        if (error != 0) {
            *reason = fileErrorReason(error);
            return FileState::Unreadable;
        }
        return FileState::Searched;
    }

    QString folder_;
    KeywordMatcher matcher_;
    std::vector<char> buffer_;
#ifndef Q_OS_WIN
    QByteArray path_;
    qsizetype digitsAt_ = 0;
#endif
};

#ifdef Q_OS_WIN

FileState MemoScanner::search(int number, bool* found, QString* reason)
{
    *found = false;
    const QString path = folder_ + memo::memoFileName(number);
    if (!isOrdinaryFile(path))
        return FileState::Absent;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = fileErrorReason(errno, &file);
        return FileState::Unreadable;
    }
    if (readFault()) {
        if (const int error = readFault()(number)) {
            *reason = fileErrorReason(error);
            return FileState::Unreadable;
        }
    }
    return searchLines(
        [&](char* into, qsizetype max) {
            errno = 0;
            const qint64 got = file.read(into, max);
            if (got < 0)
                return Chunk{0, true, errno != 0 ? errno : EIO};
            return Chunk{got, got == 0 || file.atEnd(), 0};
        },
        found, reason);
}

#else

class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { ::close(fd_); }
    Q_DISABLE_COPY_MOVE(Descriptor)
    int get() const { return fd_; }

private:
    int fd_;
};

// The existence test and the opening are one system call; a miss costs no more than a lookup.
FileState MemoScanner::search(int number, bool* found, QString* reason)
{
    *found = false;
    char* digits = path_.data() + digitsAt_;
    digits[0] = static_cast<char>('0' + number / 1000 % 10);
    digits[1] = static_cast<char>('0' + number / 100 % 10);
    digits[2] = static_cast<char>('0' + number / 10 % 10);
    digits[3] = static_cast<char>('0' + number % 10);

    int fd = -1;
    do {
        // Non-blocking, so a pipe standing at the name does not hang the search.
        fd = ::open(path_.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int openError = errno;
        if (openError == ENOENT || openError == ENOTDIR)
            return FileState::Absent;
        struct stat info;
        if (::stat(path_.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return FileState::Absent;
        *reason = fileErrorReason(openError);
        return FileState::Unreadable;
    }
    const Descriptor file(fd);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        *reason = fileErrorReason(errno);
        return FileState::Unreadable;
    }
    if (!S_ISREG(info.st_mode))
        return FileState::Absent;
    if (readFault()) {
        if (const int error = readFault()(number)) {
            *reason = fileErrorReason(error);
            return FileState::Unreadable;
        }
    }
    const off_t size = info.st_size;
    off_t total = 0;
    return searchLines(
        [&](char* into, qsizetype max) {
            for (;;) {
                const ssize_t got = ::read(fd, into, static_cast<size_t>(max));
                if (got < 0) {
                    if (errno == EINTR)
                        continue;
                    return Chunk{0, true, errno};
                }
                total += got;
                // Reading up to the size the file had when opened saves asking once more for the end.
                return Chunk{got, got == 0 || (size > 0 && total >= size), 0};
            }
        },
        found, reason);
}

#endif

} // namespace

SearchOutcome searchMemos(const QString& memoFolder, int first, int last, const QString& keyword, MatchMode mode,
                          const std::function<void(int number)>& progress)
{
    SearchOutcome outcome;
    MemoScanner scanner(memoFolder, keyword, mode);
    first = std::max(first, memo::FirstNumber);
    last = std::min(last, memo::LastNumber);
    for (int number = first; number <= last; ++number) {
        if (progress)
            progress(number);
        bool found = false;
        QString reason;
        switch (scanner.search(number, &found, &reason)) {
        case FileState::Absent:
            break;
        case FileState::Searched:
            if (found)
                outcome.hits.push_back(number);
            break;
        case FileState::Unreadable:
            outcome.unreadable.push_back({number, reason});
            break;
        }
    }
    return outcome;
}

namespace testing {
void setReadFault(std::function<int(int number)> fault)
{
    readFault() = std::move(fault);
}
} // namespace testing

} // namespace search
