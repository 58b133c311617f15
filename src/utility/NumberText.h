#pragma once

#include <QString>
#include <optional>

// How the utility reads the numbers typed into its text fields (read as numbers by readTypedNumber).
namespace utility {

// The nearest integer, a value exactly halfway going to the even neighbour (2.5 → 2, 3.5 → 4),
// clamped to the 16-bit range.
qint16 toFileNumber(double value);

// The memo number a text names: a whole number from 0 to 9999 ("5", "0005", "5.0").
// Nothing for any other text, which names no single memo file.
[[nodiscard]] std::optional<int> memoNumberFromText(const QString& text);

} // namespace utility
