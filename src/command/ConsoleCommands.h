#pragma once

#include <QByteArray>
#include <QString>

// What the main program's options do without a window and without a running copy: they read and write
// the memo folder directly and print UTF-8.
namespace command {

// What a command printed, and how it ended.
struct ConsoleResult
{
    QByteArray out;
    QByteArray err;
    int exitCode = 0;
};

// "NNNN<TAB>first line" for every memo, in number order.
ConsoleResult listMemos(const QString& programFolder);

// The path of every memo whose lines hold the keyword, in number order, as `grep -l` prints them:
// exit code 0 when something was found, 1 when nothing was, 2 when a memo could not be read.
ConsoleResult searchMemos(const QString& programFolder, const QString& keyword, bool loose);

// Writes `text` as a new memo at the lowest free number, CP932 with CR LF, and prints its number. A final
// line break ends the last line. Text that CP932 cannot hold is refused, naming the characters.
ConsoleResult writeNewMemo(const QString& programFolder, const QString& text);

} // namespace command
