#pragma once

#include "FolderLock.h"
#include "TargetRange.h"

#include <QString>
#include <functional>

class Prompter;

namespace utility {

// Runs just before an empty memo file is deleted, with its number.
using BeforeDelete = std::function<void(int number)>;

// Deletes the memo files of the range whose memo text is empty, in ascending order, asking first
// for each when askFirst is set. The folder is held from before the first file is read to the last
// deletion, and held again after each Yes, when the file is also read again: one written meanwhile
// stays. Ends with the completion notice; a refusal, or a file that cannot be read or deleted, ends
// the run with a message naming it and the reason instead. True when the run completed; every
// failure has been shown by then, so a caller need not look.
bool deleteEmptyMemoFiles(const QString& memoFolder, const TargetRange& range, bool askFirst, Prompter& prompter,
                          FolderLock& lock, const BeforeDelete& beforeDelete = {});

} // namespace utility
