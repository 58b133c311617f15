#include "StatusNotifierWatch.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");

} // namespace

StatusNotifierWatch::StatusNotifierWatch(QObject* parent) : QObject(parent), bus_(QDBusConnection::sessionBus())
{
    if (!bus_.isConnected()) {
        answer_ = Answer::NoWatcher;
        return;
    }
    auto* owner = new QDBusServiceWatcher(watcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(owner, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                if (newOwner.isEmpty()) {
                    ++question_;
                    setAnswer(Answer::NoWatcher);
                } else {
                    ask();
                }
            });
    // D-Bus signals connect by name only. No sender named: Qt would look its owner up and wait for it.
    for (const QString& signal :
         {QStringLiteral("StatusNotifierHostRegistered"), QStringLiteral("StatusNotifierHostUnregistered")})
        bus_.connect(QString(), watcherPath, watcherService, signal, this, SLOT(ask()));
    ask();
}

void StatusNotifierWatch::ask()
{
    if (!bus_.isConnected())
        return;
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    // A panel owns the watcher or there is none; the bus is not to start one for this question.
    get.setAutoStartService(false);
    const quint64 question = ++question_;
    setAnswer(Answer::Asking);
    auto* call = new QDBusPendingCallWatcher(bus_.asyncCall(get, AnswerTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, question](QDBusPendingCallWatcher* done) { answered(question, done); });
}

void StatusNotifierWatch::answered(quint64 question, QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    if (question != question_)
        return;
    const QDBusMessage reply = call->reply();
    if (reply.type() == QDBusMessage::ReplyMessage) {
        const bool host =
            !reply.arguments().isEmpty() && reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
        setAnswer(host ? Answer::Host : Answer::NoHost);
        return;
    }
    const QDBusError error = call->error();
    if (error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        setAnswer(Answer::NoWatcher);
        return;
    }
    switch (error.type()) {
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        setAnswer(Answer::Silent);
        break;
    case QDBusError::ServiceUnknown:
    case QDBusError::Disconnected:
        setAnswer(Answer::NoWatcher);
        break;
    default:
        // It answered, just not with a host: Qt, asking the same, would not use it either.
        setAnswer(Answer::NoHost);
        break;
    }
}

void StatusNotifierWatch::setAnswer(Answer answer)
{
    if (answer == answer_)
        return;
    answer_ = answer;
    Q_EMIT changed();
}
