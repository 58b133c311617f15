#include "TypedNumber.h"

#include <QRegularExpression>
#include <cmath>

namespace {

QString toHalfWidth(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            c = QChar(char16_t(u - u'０' + u'0'));
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

std::optional<double> readTypedNumber(const QString& text)
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
