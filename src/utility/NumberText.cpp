#include "NumberText.h"

#include "MemoNaming.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace utility {

namespace {

// Japanese input methods often type full-width figures; they mean the same number.
QString toHalfWidth(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            c = QChar(u - u'０' + u'0');
        else if (u == u'．')
            c = QLatin1Char('.');
        else if (u == u'－' || u == u'−')
            c = QLatin1Char('-');
        else if (u == u'＋')
            c = QLatin1Char('+');
    }
    return out;
}

} // namespace

std::optional<double> readRealNumber(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    const QString plain = toHalfWidth(text).trimmed();
    if (!decimal.match(plain).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

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
    const std::optional<double> value = readRealNumber(text);
    if (!value || *value != std::floor(*value) || *value < memo::FirstNumber || *value > memo::LastNumber)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<QString> withFourDigits(const QString& text)
{
    const std::optional<int> number = memoNumberFromText(text);
    if (!number)
        return std::nullopt;
    return QStringLiteral("%1").arg(*number, 4, 10, QLatin1Char('0'));
}

} // namespace utility
