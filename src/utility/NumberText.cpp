#include "NumberText.h"

#include "MemoNaming.h"
#include "TypedNumber.h"

#include <cmath>
#include <limits>

namespace utility {

qint16 toFileNumber(double value)
{
    constexpr double lowest = std::numeric_limits<qint16>::min();
    constexpr double highest = std::numeric_limits<qint16>::max();
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        rounded = below + 1.0;
    if (rounded < lowest)
        return std::numeric_limits<qint16>::min();
    if (rounded > highest)
        return std::numeric_limits<qint16>::max();
    return static_cast<qint16>(rounded);
}

std::optional<int> memoNumberFromText(const QString& text)
{
    const std::optional<double> value = readTypedNumber(text);
    if (!value || *value != std::floor(*value) || *value < memo::FirstNumber || *value > memo::LastNumber)
        return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace utility
