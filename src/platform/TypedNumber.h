#pragma once

#include <QString>
#include <optional>

// A number as a person types it into a box: an optional sign, digits and a fraction ("12.5", ".5",
// "-3"), blanks around it ignored, and the full-width digits, sign and point an input method gives
// read like their ASCII forms. Nothing for any other text (empty, letters, "1e3", "1,000", "0x10").
[[nodiscard]] std::optional<double> readTypedNumber(const QString& text);
