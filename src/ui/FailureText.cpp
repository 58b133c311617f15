#include "FailureText.h"

#include <QStringList>

namespace ui {

QString failureText(const Failure& failure)
{
    QStringList parts;
    if (!failure.what.isEmpty())
        parts << failure.what;
    if (!failure.path.isEmpty())
        parts << failure.path;
    if (!failure.reason.isEmpty())
        parts << QStringLiteral("理由：") + failure.reason;
    if (!failure.closing.isEmpty())
        parts << failure.closing;
    return parts.join(QStringLiteral("\n\n"));
}

void FailureBoxPrompter::showFailure(const Failure& failure, const QString& title)
{
    inform(failureText(failure), title, Icon::Exclamation);
}

bool FailureBoxPrompter::confirmDespite(const Failure& failure, const QString& title)
{
    return confirm(failureText(failure), title, Icon::Exclamation);
}

} // namespace ui
