#include "ConflictCopyList.h"

#include "WRText.h"

namespace utility {

std::vector<ListedConflictCopy> listConflictCopies(const QString& memoFolder)
{
    std::vector<ListedConflictCopy> listed;
    WRText text;
    for (memo::ConflictCopy& copy : memo::conflictCopies(memoFolder)) {
        text.FileName = memoFolder + copy.name;
        ListedConflictCopy entry{std::move(copy), QString(), QString()};
        entry.firstLine = text.RFileLen(1, &entry.readError);
        listed.push_back(std::move(entry));
    }
    return listed;
}

} // namespace utility
