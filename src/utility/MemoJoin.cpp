#include "MemoJoin.h"

namespace utility {

namespace {

QString asShown(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QString joinSeparator()
{
    return QStringLiteral("\r\n---------------------------\r\n\r\n");
}

QString joinedText(const QString& destination, const QString& source, bool withSeparator)
{
    QString text = destination + QStringLiteral("\r\n");
    if (withSeparator)
        text += joinSeparator();
    return text + source;
}

QString textToWrite(const QString& joined, const QString& shown)
{
    if (shown == asShown(joined))
        return joined;
    QString text = shown;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace utility
