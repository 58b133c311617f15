#pragma once

#include <QString>
#include <optional>

class Prompter;

namespace utility {

// First and last file number of an operation, visited inclusive in ascending order.
struct TargetRange
{
    qint16 first = 0;
    qint16 last = 0;
};

// The two range fields as a range: both numbers, 0 ≤ first < last ≤ 9999, compared as numbers.
[[nodiscard]] std::optional<TargetRange> readTargetRange(const QString& fromText, const QString& toText);

// readTargetRange, with the warning shown when the fields are refused.
[[nodiscard]] std::optional<TargetRange> checkTargetRange(const QString& fromText, const QString& toText,
                                                          Prompter& prompter);

} // namespace utility
