#include "MemoSearch.h"

#include "FileError.h"
#include "FolderNames.h"
#include "Folders.h"
#include "KeywordScan.h"
#include "MemoFileReader.h"
#include "MemoNaming.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace search {
namespace {

std::function<int(int)>& readFault()
{
    static std::function<int(int)> fault;
    return fault;
}

enum class FileState
{
    Absent,
    Searched,
    Unreadable
};

// One memo after the other, reusing the path, the reader and the scan's buffers.
class MemoScanner
{
public:
    MemoScanner(const QString& memoFolder, const QString& keyword, MatchMode mode)
        : path_(QFile::encodeName(EnsureBackslash(memoFolder) + memo::memoFileName(0))), scan_(keyword, mode)
    {
        // Names looked up in the folder once opened cost less than whole paths; without it, paths do.
        folder_ = ::open(QFile::encodeName(memoFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder_ >= 0)
            path_ = path_.right(12);
        digitsAt_ = path_.size() - 8;
    }
    ~MemoScanner()
    {
        if (folder_ >= 0)
            ::close(folder_);
    }
    Q_DISABLE_COPY_MOVE(MemoScanner)

    // Whether the memo holds the keyword on one of its lines; *reason is set when it is Unreadable.
    [[nodiscard]] FileState search(int number, bool* found, QString* reason);

private:
    QByteArray path_;
    int folder_ = -1;
    qsizetype digitsAt_ = 0;
    MemoFileReader reader_;
    KeywordScan scan_;
};

FileState MemoScanner::search(int number, bool* found, QString* reason)
{
    *found = false;
    char* digits = path_.data() + digitsAt_;
    digits[0] = static_cast<char>('0' + number / 1000 % 10);
    digits[1] = static_cast<char>('0' + number / 100 % 10);
    digits[2] = static_cast<char>('0' + number / 10 % 10);
    digits[3] = static_cast<char>('0' + number % 10);

    switch (reader_.openIn(folder_ >= 0 ? folder_ : AT_FDCWD, path_.constData())) {
    case MemoFileReader::Opened::Absent:
        return FileState::Absent;
    case MemoFileReader::Opened::Failed:
        *reason = fileErrorReason(reader_.error());
        return FileState::Unreadable;
    case MemoFileReader::Opened::Yes:
        break;
    }
    int error = readFault() ? readFault()(number) : 0;
    scan_.restart();
    while (error == 0) {
        const MemoFileReader::Piece piece = reader_.read(scan_.room(), scan_.roomSize());
        error = piece.error;
        if (error != 0)
            break;
        if (scan_.take(piece.size, piece.atEnd)) {
            *found = true;
            break;
        }
        if (piece.atEnd)
            break;
    }
    reader_.close();
    if (error != 0) {
        *found = false;
        *reason = fileErrorReason(error);
        return FileState::Unreadable;
    }
    return FileState::Searched;
}

// The numbers that something stands at, from one listing of the folder, so that a sparse folder
// costs no failed opening per number; every number when the folder cannot be listed. A memo written
// while the search runs may be missed, as it would be had it come just after its number was passed.
std::vector<bool> listedNumbers(const QString& memoFolder)
{
    std::vector<bool> listed(memo::LastNumber + 1, false);
    int error = 0;
    const bool complete = forEachNameInFolder(
        QFile::encodeName(memoFolder),
        [&](const char* name) {
            if (std::strlen(name) != 12)
                return;
            int number = 0;
            for (int i = 4; i < 8; ++i) {
                if (name[i] < '0' || name[i] > '9')
                    return;
                number = number * 10 + (name[i] - '0');
            }
            listed[static_cast<size_t>(number)] = true;
        },
        &error);
    // A missing folder holds no memo; any other failure leaves every number to be tried.
    if (!complete && error != ENOENT && error != ENOTDIR)
        listed.assign(listed.size(), true);
    return listed;
}

} // namespace

SearchOutcome searchMemos(const QString& memoFolder, int first, int last, const QString& keyword, MatchMode mode,
                          const std::function<void(int number)>& progress)
{
    SearchOutcome outcome;
    MemoScanner scanner(memoFolder, keyword, mode);
    first = std::max(first, memo::FirstNumber);
    last = std::min(last, memo::LastNumber);
    const std::vector<bool> listed = first <= last ? listedNumbers(memoFolder) : std::vector<bool>();
    for (int number = first; number <= last; ++number) {
        if (progress)
            progress(number);
        if (!listed[static_cast<size_t>(number)])
            continue;
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

SearchOutcome searchMemosInParallel(const QString& memoFolder, const QString& keyword, MatchMode mode)
{
    const std::vector<bool> listed = listedNumbers(memoFolder);
    std::vector<int> numbers;
    for (int number = memo::FirstNumber; number <= memo::LastNumber; ++number) {
        if (listed[static_cast<size_t>(number)])
            numbers.push_back(number);
    }
    // Opening and reading many small files is the system's work, which several cores share.
    const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    constexpr size_t Batch = 32;
    struct Memo
    {
        FileState state = FileState::Absent;
        bool found = false;
        QString reason;
    };
    std::vector<Memo> memos(numbers.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        MemoScanner scanner(memoFolder, keyword, mode);
        for (size_t from = next.fetch_add(Batch); from < numbers.size(); from = next.fetch_add(Batch)) {
            for (size_t i = from; i < std::min(from + Batch, numbers.size()); ++i)
                memos[i].state = scanner.search(numbers[i], &memos[i].found, &memos[i].reason);
        }
    };
    std::vector<std::thread> helpers;
    for (size_t i = 1; i < std::min(workers, numbers.size() / Batch + 1); ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    SearchOutcome outcome;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (memos[i].state == FileState::Searched && memos[i].found)
            outcome.hits.push_back(numbers[i]);
        if (memos[i].state == FileState::Unreadable)
            outcome.unreadable.push_back({numbers[i], memos[i].reason});
    }
    return outcome;
}

ScopedReadFault::ScopedReadFault(std::function<int(int number)> fault) : previous_(std::move(readFault()))
{
    readFault() = std::move(fault);
}

ScopedReadFault::~ScopedReadFault()
{
    readFault() = std::move(previous_);
}

} // namespace search
