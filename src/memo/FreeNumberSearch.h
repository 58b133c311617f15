#pragma once

#include <QString>
#include <optional>

class Prompter;

// Offers the memo numbers that have no memo file, from 0 upwards, one question each. Returns the number
// the user chose to open; nothing after Cancel, or once the numbers are exhausted (after saying so).
[[nodiscard]] std::optional<int> chooseFreeNumber(const QString& programFolder, Prompter& prompter);

// The lowest memo number that has no memo file: the one the question above offers first.
[[nodiscard]] std::optional<int> lowestFreeNumber(const QString& programFolder);
