#pragma once

#include <QString>

// Texts every part of the utility shares.
namespace utility {

// The title of every box the utility shows.
inline QString title()
{
    return QStringLiteral("Scrivlet Utility");
}

inline QString completionMessage()
{
    return QStringLiteral("処理が完了しました。");
}

// Ends a failure message: the user has to know that the rest of the run did not happen.
inline QString runStoppedLine()
{
    return QStringLiteral("処理を中断しました。");
}

} // namespace utility
