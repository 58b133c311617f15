#include "MemoSearch.h"

#include "FileError.h"
#include "FolderNames.h"
#include "Folders.h"
#include "KeywordScan.h"
#include "MemoFileReader.h"
#include "MemoNaming.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
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
        digitsAt_ = path_.size() - 8;
    }

    // Whether the memo holds the keyword on one of its lines; *reason is set when it is Unreadable.
    [[nodiscard]] FileState search(int number, bool* found, QString* reason);

private:
    QByteArray path_;
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

    switch (reader_.open(path_)) {
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

ScopedReadFault::ScopedReadFault(std::function<int(int number)> fault) : previous_(std::move(readFault()))
{
    readFault() = std::move(fault);
}

ScopedReadFault::~ScopedReadFault()
{
    readFault() = std::move(previous_);
}

} // namespace search
