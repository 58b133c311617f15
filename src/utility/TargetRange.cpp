#include "TargetRange.h"

#include "MemoNaming.h"
#include "NumberText.h"
#include "Prompter.h"
#include "TypedNumber.h"
#include "UtilityText.h"

namespace utility {

std::optional<TargetRange> readTargetRange(const QString& fromText, const QString& toText)
{
    const std::optional<double> from = readTypedNumber(fromText);
    const std::optional<double> to = readTypedNumber(toText);
    if (!from || !to)
        return std::nullopt;
    // Compared as numbers: as texts, 5 to 10 would be refused and 10 to 9 accepted.
    if (!(*from < *to) || *from < memo::FirstNumber || *to > memo::LastNumber)
        return std::nullopt;
    return TargetRange{toFileNumber(*from), toFileNumber(*to)};
}

std::optional<TargetRange> checkTargetRange(const QString& fromText, const QString& toText, Prompter& prompter)
{
    std::optional<TargetRange> range = readTargetRange(fromText, toText);
    if (!range)
        prompter.inform(QStringLiteral("対象の指定が不正です。"), title(), Prompter::Icon::Exclamation);
    return range;
}

} // namespace utility
