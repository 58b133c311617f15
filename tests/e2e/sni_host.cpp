// A StatusNotifier host standing in for a panel on a private session bus, and the panel's side of
// talking to an item: what KDE Plasma, GNOME's AppIndicator extension, Xfce and Wayland panels do.
//   e2e_sni_host host FILE          own the watcher, say a host is there, append each item to FILE
//   e2e_sni_host silent             own the watcher and never answer, as a panel that hangs
//   e2e_sni_host props SERVICE PATH print the item's tool tip title, icon images and menu path
//   e2e_sni_host menu SERVICE PATH  print the menu's top-level items, "id<TAB>label" each
//   e2e_sni_host activate SERVICE PATH          a left click as a panel reports it
//   e2e_sni_host click SERVICE PATH ID          a click on menu item ID
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QFile>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
constexpr int CallTimeoutMs = 10000;

class Watcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit Watcher(QString record) : record_(std::move(record)) {}
    QStringList items() const { return items_; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& serviceOrPath)
    {
        // An item may name its object path only; then the caller's own name is the service.
        QString service = serviceOrPath;
        QString path = QStringLiteral("/StatusNotifierItem");
        if (serviceOrPath.startsWith(QLatin1Char('/'))) {
            service = message().service();
            path = serviceOrPath;
        }
        const QString item = service + QLatin1Char(' ') + path;
        items_ << item;
        QFile file(record_);
        if (file.open(QIODevice::Append)) {
            file.write(item.toUtf8() + '\n');
            file.close();
        }
        Q_EMIT StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString&) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString& item);
    void StatusNotifierItemUnregistered(const QString& item);
    void StatusNotifierHostRegistered();

private:
    QString record_;
    QStringList items_;
};

// Takes every call and answers none.
class Unanswering : public QDBusVirtualObject
{
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
};

int fail(const QString& what)
{
    std::fprintf(stderr, "e2e_sni_host: %s\n", qPrintable(what));
    return 1;
}

QDBusMessage call(const QString& service, const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, CallTimeoutMs);
}

QVariant property(const QString& service, const QString& path, const QString& name)
{
    const QDBusMessage reply = call(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {itemInterface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// a(iiay): width and height of each image whose data is there.
QStringList pixmapSizes(const QDBusArgument& images)
{
    QStringList sizes;
    images.beginArray();
    while (!images.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray data;
        images.beginStructure();
        images >> width >> height >> data;
        images.endStructure();
        if (data.size() == qsizetype(width) * height * 4)
            sizes << QStringLiteral("%1x%2").arg(width).arg(height);
    }
    images.endArray();
    return sizes;
}

int props(const QString& service, const QString& path)
{
    // (sa(iiay)ss): icon name, icon images, title, text.
    const QVariant tip = property(service, path, QStringLiteral("ToolTip"));
    QString tipIcon, title, text;
    if (tip.canConvert<QDBusArgument>()) {
        const QDBusArgument arg = tip.value<QDBusArgument>();
        arg.beginStructure();
        arg >> tipIcon;
        pixmapSizes(arg);
        arg >> title >> text;
        arg.endStructure();
    }
    const QVariant pixmaps = property(service, path, QStringLiteral("IconPixmap"));
    const QStringList sizes =
        pixmaps.canConvert<QDBusArgument>() ? pixmapSizes(pixmaps.value<QDBusArgument>()) : QStringList();
    QTextStream out(stdout);
    out << "title\t" << title << "\n";
    out << "text\t" << text << "\n";
    out << "icon-name\t" << property(service, path, QStringLiteral("IconName")).toString() << "\n";
    out << "icon-pixmaps\t" << sizes.join(QLatin1Char(' ')) << "\n";
    out << "menu\t" << property(service, path, QStringLiteral("Menu")).value<QDBusObjectPath>().path() << "\n";
    out << "item-is-menu\t" << property(service, path, QStringLiteral("ItemIsMenu")).toBool() << "\n";
    return 0;
}

QString menuPath(const QString& service, const QString& path)
{
    return property(service, path, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
}

int menu(const QString& service, const QString& path)
{
    const QString menu = menuPath(service, path);
    if (menu.isEmpty() || menu == QLatin1String("/NO_DBUSMENU"))
        return fail(QStringLiteral("the item exports no menu"));
    // GetLayout(parent 0, depth 1, all properties) -> (u, (ia{sv}av))
    const QDBusMessage reply = call(service, menu, QStringLiteral("com.canonical.dbusmenu"),
                                    QStringLiteral("GetLayout"), {0, 1, QStringList()});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return fail(QStringLiteral("GetLayout: ") + reply.errorMessage());
    const QDBusArgument layout = reply.arguments().at(1).value<QDBusArgument>();
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    layout.beginArray();
    QTextStream out(stdout);
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        const QDBusArgument item = child.variant().value<QDBusArgument>();
        int childId = 0;
        QVariantMap childProperties;
        item.beginStructure();
        item >> childId >> childProperties;
        item.endStructure();
        if (childProperties.value(QStringLiteral("visible"), true).toBool())
            out << childId << "\t" << childProperties.value(QStringLiteral("label")).toString() << "\n";
    }
    layout.endArray();
    layout.endStructure();
    return 0;
}

int host(const QString& record)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(QStringLiteral("no session bus: ") + bus.lastError().message());
    Watcher watcher(record);
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties |
                                QDBusConnection::ExportAllSignals))
        return fail(QStringLiteral("cannot export the watcher"));
    // The host's own name first, the watcher's last: items look for the watcher and then ask for a host.
    bus.registerService(QStringLiteral("org.kde.StatusNotifierHost-%1").arg(QCoreApplication::applicationPid()));
    if (!bus.registerService(watcherService))
        return fail(QStringLiteral("cannot own ") + watcherService + QStringLiteral(": ") + bus.lastError().message());
    return QCoreApplication::exec();
}

int silent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    Unanswering nobody;
    if (!bus.registerVirtualObject(QStringLiteral("/"), &nobody, QDBusConnection::SubPath) ||
        !bus.registerService(watcherService))
        return fail(QStringLiteral("cannot own ") + watcherService + QStringLiteral(": ") + bus.lastError().message());
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("host") && args.size() == 2)
        return host(args[1]);
    if (command == QLatin1String("silent") && args.size() == 1)
        return silent();
    if (!QDBusConnection::sessionBus().isConnected())
        return fail(QStringLiteral("no session bus"));
    if (command == QLatin1String("props") && args.size() == 3)
        return props(args[1], args[2]);
    if (command == QLatin1String("menu") && args.size() == 3)
        return menu(args[1], args[2]);
    if (command == QLatin1String("activate") && args.size() == 3) {
        const QDBusMessage reply = call(args[1], args[2], itemInterface, QStringLiteral("Activate"), {0, 0});
        return reply.type() == QDBusMessage::ReplyMessage ? 0 : fail(reply.errorMessage());
    }
    if (command == QLatin1String("click") && args.size() == 4) {
        // Event(id, "clicked", data, timestamp); a program that ends on it may never answer.
        QDBusMessage event = QDBusMessage::createMethodCall(
            args[1], menuPath(args[1], args[2]), QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("Event"));
        event.setArguments(
            {args[3].toInt(), QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(QVariant(0))), 0u});
        const QDBusMessage reply = QDBusConnection::sessionBus().call(event, QDBus::Block, CallTimeoutMs);
        const bool delivered = reply.type() == QDBusMessage::ReplyMessage ||
                               reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply");
        return delivered ? 0 : fail(reply.errorMessage());
    }
    return fail(QStringLiteral("usage: host FILE | silent | props|menu|activate SERVICE PATH | click SERVICE PATH ID"));
}

#include "sni_host.moc"
