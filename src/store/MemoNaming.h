#pragma once

#include <QString>
#include <optional>

// Memos are files/text0000.txt to files/text9999.txt beside the program.
namespace memo {

constexpr int FirstNumber = 0;
constexpr int LastNumber = 9999;

// "text" + the number with four digits + ".txt".
QString memoFileName(int number);
// "files", the memo folder's own name.
QString memoFolderName();
// The program folder + "files" + one separator.
QString memoFolder(const QString& programFolder);
QString memoFilePath(const QString& programFolder, int number);
// Characters 5 to 8 of a memo file name as a number; nothing when they are not four digits.
[[nodiscard]] std::optional<int> numberFromMemoFileName(const QString& name);

} // namespace memo
