#include "JumpAnswer.h"

#include "MemoNaming.h"
#include "TypedNumber.h"

#include <cmath>

std::optional<int> jumpNumberFromAnswer(const QString& answer)
{
    const std::optional<double> value = readTypedNumber(answer);
    if (!value)
        return std::nullopt;
    const double number = std::floor(*value);
    if (number < memo::FirstNumber || number > memo::LastNumber)
        return std::nullopt;
    return static_cast<int>(number);
}
