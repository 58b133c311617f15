#pragma once

#include "LooseMatch.h"

#include <QString>
#include <functional>
#include <vector>

namespace search {

struct UnreadableMemo
{
    int number = 0;
    QString reason; // why it could not be read, for a person
};

struct SearchOutcome
{
    std::vector<int> hits; // ascending, each memo once
    std::vector<UnreadableMemo> unreadable;
};

// Searches the memos first..last (ascending) of memoFolder for keyword, line by line with the memo
// line rule and CP932, each file only up to its first matching line. progress(number) runs before
// each number is looked at, also for numbers that have no file. Only ordinary files count; one
// that exists but cannot be read is listed in unreadable and the search goes on. Numbers outside
// 0 to 9999 are not memos and are skipped.
[[nodiscard]] SearchOutcome searchMemos(const QString& memoFolder, int first, int last, const QString& keyword,
                                        MatchMode mode, const std::function<void(int number)>& progress = {});

// The same over every number, on as many threads as the machine has cores, without progress: for a
// search that no window waits on.
[[nodiscard]] SearchOutcome searchMemosInParallel(const QString& memoFolder, const QString& keyword, MatchMode mode);

// Tests: while one lives, reading memo `number` fails with the system error that fault returns (0: read
// normally) once the file is open, as a file held by another program or a failing disk would.
class ScopedReadFault final
{
public:
    explicit ScopedReadFault(std::function<int(int number)> fault);
    ~ScopedReadFault();
    Q_DISABLE_COPY_MOVE(ScopedReadFault)

private:
    std::function<int(int)> previous_;
};

} // namespace search
