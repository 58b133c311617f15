#pragma once

#include "FolderLock.h"

#include <QString>
#include <QStringList>

class Prompter;

namespace utility {

// Deletes the named conflict copies of the memo folder outright after one question, No the default.
// The folder is held from before the question to the last deletion. A refusal, No, or a deletion that
// fails (shown) ends it. Returns the names deleted.
QStringList deleteConflictCopies(const QString& memoFolder, const QStringList& names, Prompter& prompter,
                                 FolderLock& lock);

} // namespace utility
