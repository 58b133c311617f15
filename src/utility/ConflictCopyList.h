#pragma once

#include "ConflictCopies.h"

#include <QString>
#include <vector>

namespace utility {

// A conflict copy as the conflict-copy tab shows it.
struct ListedConflictCopy
{
    memo::ConflictCopy copy;
    // Its first line by the memo line rule, in Shift-JIS; "" with the reason in readError when it
    // cannot be read.
    QString firstLine;
    QString readError;
};

// The conflict copies in the memo folder, by memo number, then by name, each with its first line.
std::vector<ListedConflictCopy> listConflictCopies(const QString& memoFolder);

} // namespace utility
