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
SearchOutcome searchMemos(const QString& memoFolder, int first, int last, const QString& keyword, MatchMode mode,
                          const std::function<void(int number)>& progress = {});

namespace testing {
// While set, reading memo `number` fails with the returned system error (0: read normally) after
// the file has been opened, as a file held by another program or a failing disk would.
void setReadFault(std::function<int(int number)> fault);
} // namespace testing

} // namespace search
