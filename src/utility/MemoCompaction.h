#pragma once

#include "FolderLock.h"
#include "TargetRange.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Prompter;

namespace utility {

struct MemoMove
{
    int from = 0;
    int to = 0;
};

// Runs after the scan has chosen a move and just before it is made.
using BeforeMove = std::function<void(const MemoMove& move)>;

struct CompactionResult
{
    // The moves made, in order.
    std::vector<MemoMove> moves;
    // The run went to its end and the completion notice was shown.
    bool completed = false;
};

// The stop count text as a real number: refused below 0, above 9999 and when it is no number; from
// 500 on the user has to agree first. Nothing when the run must not go on.
[[nodiscard]] std::optional<double> checkStopCount(const QString& text, Prompter& prompter);

// Moves every memo file of the range down to the lowest number free before it, in order; the scan
// ends once the missing numbers in a row reach the stop count. The folder is held from the scan's
// first look to the last move; nothing is touched unless it is. No existing file is ever replaced: a
// target that is taken, or a move that fails, ends the run with a message. Moves made stay made.
// Every failure has been shown by then, so the result is only for callers that follow the moves.
CompactionResult compactMemoNumbers(const QString& memoFolder, const TargetRange& range, double stopCount,
                                    Prompter& prompter, FolderLock& lock, const BeforeMove& beforeMove = {});

} // namespace utility
