#include "NotificationArea.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <X11/Xlib.h>

namespace {

// A panel that hangs must not freeze the program's window while it is asked.
constexpr int BusTimeoutMs = 500;

} // namespace

bool statusNotifierHostPresent()
{
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcher).value())
        return false;
    QDBusMessage ask =
        QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                       QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(ask, QDBus::Block, BusTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

bool xembedTrayPresent()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    const QByteArray selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen(display));
    const Atom atom = XInternAtom(display, selection.constData(), False);
    return atom != None && XGetSelectionOwner(display, atom) != None;
}

bool notificationAreaPresent()
{
    return notificationAreaKind() != NotificationAreaKind::Absent;
}

NotificationAreaKind notificationAreaKind()
{
    if (statusNotifierHostPresent())
        return NotificationAreaKind::StatusNotifier;
    if (xembedTrayPresent())
        return NotificationAreaKind::XEmbed;
    return NotificationAreaKind::Absent;
}

bool notificationAreaPresent(NotificationAreaKind kind)
{
    switch (kind) {
    case NotificationAreaKind::StatusNotifier:
        return statusNotifierHostPresent();
    case NotificationAreaKind::XEmbed:
        return xembedTrayPresent();
    case NotificationAreaKind::Absent:
        break;
    }
    return notificationAreaPresent();
}
