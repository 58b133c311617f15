#include "JumpAnswer.h"

#include "MemoNaming.h"

#include <QRegularExpression>

namespace {

QChar halfWidth(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'０' && u <= u'９')
        return QChar(char16_t(u'0' + (u - u'０')));
    switch (u) {
    case u'＋':
        return QLatin1Char('+');
    case u'－':
    case u'−':
        return QLatin1Char('-');
    case u'．':
        return QLatin1Char('.');
    default:
        return c;
    }
}

} // namespace

std::optional<int> jumpNumberFromAnswer(const QString& answer)
{
    QString text = answer.trimmed();
    for (QChar& c : text)
        c = halfWidth(c);

    static const QRegularExpression decimal(QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?$"));
    const QRegularExpressionMatch m = decimal.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QStringView whole = m.capturedView(2);
    const QStringView fraction = m.capturedView(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    while (whole.startsWith(QLatin1Char('0')))
        whole = whole.sliced(1);
    const bool fractionNonZero = fraction.count(QLatin1Char('0')) != fraction.size();
    if (m.capturedView(1) == QLatin1String("-")) {
        // Flooring a negative number never reaches 0 or above; only a negative zero does.
        if (!whole.isEmpty() || fractionNonZero)
            return std::nullopt;
        return 0;
    }
    // More than four digits is out of range, however long; no conversion can overflow.
    if (whole.size() > 4)
        return std::nullopt;
    const int number = whole.isEmpty() ? 0 : whole.toInt();
    if (number < memo::FirstNumber || number > memo::LastNumber)
        return std::nullopt;
    return number;
}
