#pragma once

#include "FolderLock.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class Prompter;

namespace utility {

// A conflict copy and the memo number it goes, or went, to.
struct TakenCopy
{
    QString name;
    int number = 0;
};

// Runs after a free number has been chosen for a copy and just before the copy is moved there.
using BeforeTakeIn = std::function<void(const TakenCopy& planned)>;
// Runs once a copy stands under its memo number, before anything else is shown.
using OnTaken = std::function<void(const TakenCopy& taken)>;

struct IntakeResult
{
    // The copies that became memos, in order.
    std::vector<TakenCopy> taken;
    // The run went to its end and the completion notice was shown.
    bool completed = false;
};

// Makes each named conflict copy of the memo folder a memo of its own, in order: moved to the lowest
// number free at that moment without ever replacing a file, the next free one being tried when a memo
// has appeared there meanwhile. The folder is held from the first look to the last move. Ends with the
// completion notice; a refusal, no number left, or a move that fails ends the run with a message
// instead. Copies taken in stay taken.
IntakeResult takeInConflictCopies(const QString& memoFolder, const QStringList& names, Prompter& prompter,
                                  FolderLock& lock, const OnTaken& onTaken = {}, const BeforeTakeIn& beforeTakeIn = {});

} // namespace utility
