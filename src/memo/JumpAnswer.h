#pragma once

#include <QString>
#include <optional>

// The memo number a jump answer asks for: the answer read as a decimal number and floored (12.9 gives
// 12). Blanks around it and the full-width digits, signs and point an input method types are accepted.
// Nothing when the answer is not a number or its number lies outside 0 to 9999.
[[nodiscard]] std::optional<int> jumpNumberFromAnswer(const QString& answer);
