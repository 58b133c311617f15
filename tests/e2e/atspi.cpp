// Reads and drives a program's windows from outside it through AT-SPI, the accessibility protocol
// every Linux desktop has, X11 and Wayland alike: what a screen reader sees is what is on screen.
//   e2e_atspi bus                  serve org.a11y.Bus on the session bus, handing out the session bus
//                                  itself as the accessibility bus, with accessibility switched on
//   e2e_atspi windows PID          print PID's top-level windows, "name<TAB>showing<TAB>active" each
//   e2e_atspi settext PID WINDOW TEXT   replace the text of WINDOW's editable multi-line box
//   e2e_atspi press PID WINDOW BUTTON   press WINDOW's button named BUTTON (access key marks dropped)
//   e2e_atspi ping PID LIMIT_MS WINDOW N   ask PID's accessible root, answered on its user-interface
//                                  thread, again and again until WINDOW has been showing for N answers;
//                                  fails when answers took longer than LIMIT_MS more than twice,
//                                  or any took three times as long
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QString accessible = QStringLiteral("org.a11y.atspi.Accessible");
constexpr int CallTimeoutMs = 10000;
// AtspiStateType bits.
constexpr int StateActive = 1;
constexpr int StateEditable = 7;
constexpr int StateMultiLine = 17;
constexpr int StateShowing = 25;
constexpr int StateVisible = 30;

class A11yBus : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Bus")

public:
    explicit A11yBus(QObject* parent) : QDBusAbstractAdaptor(parent) {}

public Q_SLOTS:
    QString GetAddress() { return QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS")); }
};

class A11yStatus : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool IsEnabled READ isEnabled)
    Q_PROPERTY(bool ScreenReaderEnabled READ isEnabled)

public:
    explicit A11yStatus(QObject* parent) : QDBusAbstractAdaptor(parent) {}
    bool isEnabled() const { return true; }
};

struct Node
{
    QString service;
    QString path;
};

int fail(const QString& what)
{
    std::fprintf(stderr, "e2e_atspi: %s\n", qPrintable(what));
    return 1;
}

QDBusMessage call(const Node& node, const QString& interface, const QString& method, const QVariantList& args = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(node.service, node.path, interface, method);
    message.setArguments(args);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, CallTimeoutMs);
}

QList<Node> children(const Node& node)
{
    QList<Node> list;
    const QDBusMessage reply = call(node, accessible, QStringLiteral("GetChildren"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return list;
    const QDBusArgument arg = reply.arguments().constFirst().value<QDBusArgument>();
    arg.beginArray();
    while (!arg.atEnd()) {
        Node child;
        QDBusObjectPath path;
        arg.beginStructure();
        arg >> child.service >> path;
        arg.endStructure();
        child.path = path.path();
        list << child;
    }
    arg.endArray();
    return list;
}

QString name(const Node& node)
{
    const QDBusMessage reply = call(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                    {accessible, QStringLiteral("Name")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
}

QList<uint> states(const Node& node)
{
    QList<uint> words;
    const QDBusMessage reply = call(node, accessible, QStringLiteral("GetState"));
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        reply.arguments().constFirst().value<QDBusArgument>() >> words;
    return words;
}

bool hasState(const Node& node, int state)
{
    const QList<uint> words = states(node);
    return state / 32 < words.size() && (words.at(state / 32) >> (state % 32)) & 1u;
}

bool implements(const Node& node, const QString& interface)
{
    const QDBusMessage reply = call(node, accessible, QStringLiteral("GetInterfaces"));
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toStringList().contains(interface);
}

// The root of process pid's accessible tree: the bus connection of that process that answers there.
bool applicationRoot(qint64 pid, Node* root)
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    const QStringList names = bus->registeredServiceNames().value();
    for (const QString& service : names) {
        if (!service.startsWith(QLatin1Char(':')) || bus->servicePid(service).value() != pid)
            continue;
        const Node candidate{service, QStringLiteral("/org/a11y/atspi/accessible/root")};
        const QDBusMessage reply = call(candidate, accessible, QStringLiteral("GetChildCount"));
        if (reply.type() == QDBusMessage::ReplyMessage) {
            *root = candidate;
            return true;
        }
    }
    return false;
}

bool findWindow(qint64 pid, const QString& title, Node* window)
{
    Node root;
    if (!applicationRoot(pid, &root))
        return false;
    for (const Node& child : children(root)) {
        if (name(child) == title && hasState(child, StateShowing)) {
            *window = child;
            return true;
        }
    }
    return false;
}

bool findBelow(const Node& node, const std::function<bool(const Node&)>& wanted, Node* found, int depth = 0)
{
    if (depth > 8)
        return false;
    for (const Node& child : children(node)) {
        if (wanted(child)) {
            *found = child;
            return true;
        }
        if (findBelow(child, wanted, found, depth + 1))
            return true;
    }
    return false;
}

int windows(qint64 pid)
{
    Node root;
    if (!applicationRoot(pid, &root))
        return fail(QStringLiteral("no accessible application for process %1").arg(pid));
    QTextStream out(stdout);
    for (const Node& child : children(root)) {
        const bool showing = hasState(child, StateShowing) && hasState(child, StateVisible);
        out << name(child) << "\t" << (showing ? "showing" : "hidden") << "\t"
            << (hasState(child, StateActive) ? "active" : "inactive") << "\n";
    }
    return 0;
}

int ping(qint64 pid, qint64 limitMs, const QString& title, int afterShown)
{
    Node root;
    Node window;
    int answers = 0;
    int left = afterShown;
    qint64 slowest = 0;
    int slow = 0;
    QElapsedTimer clock;
    for (; left > 0; QThread::msleep(10)) {
        if (root.service.isEmpty()) {
            applicationRoot(pid, &root);
            continue;
        }
        clock.start();
        const QDBusMessage reply = call(root, accessible, QStringLiteral("GetChildCount"));
        const qint64 took = clock.elapsed();
        if (reply.type() != QDBusMessage::ReplyMessage)
            return fail(QStringLiteral("no answer after %1 answers: %2").arg(answers).arg(reply.errorMessage()));
        ++answers;
        slowest = std::max(slowest, took);
        if (took > limitMs) {
            ++slow;
            std::fprintf(stderr, "e2e_atspi: answer %d took %lld ms\n", answers, static_cast<long long>(took));
        }
        if (!window.service.isEmpty() || findWindow(pid, title, &window))
            --left;
    }
    std::printf("%d answers, the slowest in %lld ms, %d over %lld ms\n", answers, static_cast<long long>(slowest), slow,
                static_cast<long long>(limitMs));
    // A machine busy with other work may hold up an answer now and then; a wait for another process
    // holds up every look and far longer.
    return slow <= 2 && slowest <= 3 * limitMs ? 0 : 1;
}

int serveBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QObject object;
    new A11yBus(&object);
    new A11yStatus(&object);
    if (!bus.registerObject(QStringLiteral("/org/a11y/bus"), &object, QDBusConnection::ExportAdaptors))
        return fail(QStringLiteral("cannot export the accessibility bus objects"));
    if (!bus.registerService(QStringLiteral("org.a11y.Bus")))
        return fail(QStringLiteral("cannot own org.a11y.Bus: ") + bus.lastError().message());
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!QDBusConnection::sessionBus().isConnected())
        return fail(QStringLiteral("no session bus"));
    const QString command = args.value(0);
    const qint64 pid = args.value(1).toLongLong();
    if (command == QLatin1String("bus") && args.size() == 1)
        return serveBus();
    if (command == QLatin1String("windows") && args.size() == 2)
        return windows(pid);
    if (command == QLatin1String("ping") && args.size() == 5)
        return ping(pid, args[2].toLongLong(), args[3], args[4].toInt());
    Node window;
    if ((command == QLatin1String("settext") || command == QLatin1String("press")) && args.size() == 4) {
        if (!findWindow(pid, args[2], &window))
            return fail(QStringLiteral("no window \"%1\" showing").arg(args[2]));
        Node target;
        if (command == QLatin1String("settext")) {
            const auto editable = [](const Node& n) {
                return hasState(n, StateEditable) && hasState(n, StateMultiLine) &&
                       implements(n, QStringLiteral("org.a11y.atspi.EditableText"));
            };
            if (!findBelow(window, editable, &target))
                return fail(QStringLiteral("no editable multi-line text"));
            const QDBusMessage reply = call(target, QStringLiteral("org.a11y.atspi.EditableText"),
                                            QStringLiteral("SetTextContents"), {args[3]});
            return reply.type() == QDBusMessage::ReplyMessage ? 0 : fail(reply.errorMessage());
        }
        const QString button = args[3];
        if (!findBelow(
                window, [&button](const Node& n) { return name(n) == button; }, &target))
            return fail(QStringLiteral("no button \"%1\"").arg(button));
        const QDBusMessage reply =
            call(target, QStringLiteral("org.a11y.atspi.Action"), QStringLiteral("DoAction"), {0});
        return reply.type() == QDBusMessage::ReplyMessage ? 0 : fail(reply.errorMessage());
    }
    return fail(QStringLiteral(
        "usage: bus | windows PID | ping PID LIMIT_MS WINDOW N | settext PID WINDOW TEXT | press PID WINDOW BUTTON"));
}

#include "atspi.moc"
