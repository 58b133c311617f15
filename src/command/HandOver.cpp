#include "HandOver.h"

#include "LocalSocket.h"
#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace command {

namespace {

constexpr qint64 MaxLine = 4096;
// An answer may name a long path.
constexpr qint64 MaxAnswer = 64 * 1024;
constexpr int MaxToken = 1024;
constexpr int ConnectMs = 2000;
// A running copy takes a request at once unless its user-interface thread is stuck.
constexpr int AcceptMs = 5000;
// Quitting may ask the user about the shown memo first.
constexpr int FinishMs = 15 * 60 * 1000;
constexpr int IdleMs = 5000;

struct ActionName
{
    Action action;
    const char* name;
};

const ActionName actionNames[] = {{Action::Show, "show"},
                                  {Action::Toggle, "toggle"},
                                  {Action::Open, "open"},
                                  {Action::NewEmpty, "new"},
                                  {Action::Quit, "quit"}};

QByteArray line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray finished(int exitCode, const QString& message)
{
    return line({{QStringLiteral("code"), exitCode}, {QStringLiteral("message"), message}});
}

// One answer line before the deadline; nothing on a timeout or a broken line.
std::optional<QJsonObject> readAnswer(LocalClient& socket, const QDeadlineTimer& deadline)
{
    const std::optional<QByteArray> bytes = socket.readLine(MaxAnswer, deadline);
    const QJsonDocument document = bytes ? QJsonDocument::fromJson(*bytes) : QJsonDocument();
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

} // namespace

QString handOverSocketPath(const QString& programFolder)
{
    QString path = SingleInstance::lockFilePath(programFolder);
    path.chop(int(QStringLiteral(".lock").size()));
    return path + QStringLiteral(".socket");
}

QByteArray encodeRequest(const HandedRequest& request)
{
    QJsonObject object{{QStringLiteral("scrivlet"), 1},
                       {QStringLiteral("number"), request.number},
                       {QStringLiteral("token"), request.activationToken},
                       {QStringLiteral("x11"), request.tokenIsX11}};
    for (const ActionName& a : actionNames) {
        if (a.action == request.action)
            object.insert(QStringLiteral("action"), QLatin1String(a.name));
    }
    return line(object);
}

std::optional<HandedRequest> decodeRequest(const QByteArray& bytes)
{
    if (bytes.size() > MaxLine)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    const QJsonObject object = document.object();
    const QJsonValue number = object.value(QStringLiteral("number"));
    const QJsonValue token = object.value(QStringLiteral("token"));
    if (!document.isObject() || object.value(QStringLiteral("scrivlet")) != QJsonValue(1) || !number.isDouble() ||
        !token.isString() || token.toString().size() > MaxToken || !object.value(QStringLiteral("x11")).isBool())
        return std::nullopt;
    HandedRequest request;
    request.activationToken = token.toString();
    request.tokenIsX11 = object.value(QStringLiteral("x11")).toBool();
    const QString action = object.value(QStringLiteral("action")).toString();
    const auto known = std::find_if(std::begin(actionNames), std::end(actionNames),
                                    [&](const ActionName& a) { return action == QLatin1String(a.name); });
    if (known == std::end(actionNames))
        return std::nullopt;
    request.action = known->action;
    for (const QChar c : request.activationToken) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
    }
    const double n = number.toDouble();
    if (request.action == Action::Open) {
        if (n != double(int(n)) || n < 0 || n > 9999)
            return std::nullopt;
        request.number = int(n);
    }
    return request;
}

Answer handOver(const QString& programFolder, const HandedRequest& request)
{
    LocalClient socket;
    if (!socket.connectTo(handOverSocketPath(programFolder), QDeadlineTimer(ConnectMs)))
        return {};
    const QString silent = QStringLiteral("起動中のScrivletが応答しません。");
    if (!socket.send(encodeRequest(request), QDeadlineTimer(ConnectMs)))
        return {Answer::Delivery::NoAnswer, 1, silent};
    std::optional<QJsonObject> reply = readAnswer(socket, QDeadlineTimer(AcceptMs));
    if (reply && reply->value(QStringLiteral("accepted")).toBool())
        reply = readAnswer(socket, QDeadlineTimer(FinishMs));
    if (!reply || !reply->value(QStringLiteral("code")).isDouble())
        return {Answer::Delivery::NoAnswer, 1, silent};
    return {Answer::Delivery::Answered, reply->value(QStringLiteral("code")).toInt(),
            reply->value(QStringLiteral("message")).toString()};
}

RequestServer::RequestServer(QString programFolder, Handler handler, QObject* parent)
    : QObject(parent), path_(handOverSocketPath(programFolder)), handler_(std::move(handler))
{}

RequestServer::~RequestServer() = default;

bool RequestServer::listen(QString* reason)
{
    auto* listener = new LocalListener(this);
    if (!listener->listen(path_, reason)) {
        delete listener;
        return false;
    }
    connect(listener, &LocalListener::newConnection, this, &RequestServer::accept);
    return true;
}

void RequestServer::accept(LocalConnection* connection)
{
    connect(connection, &LocalConnection::disconnected, connection, &LocalConnection::close);
    connect(connection, &LocalConnection::readyRead, this, [this, connection] { read(connection); });
    // A connection that never sends a whole request is dropped.
    QTimer::singleShot(IdleMs, connection, [this, connection] {
        if (std::none_of(waiting_.begin(), waiting_.end(), [&](const auto& w) { return w.first == connection; }))
            connection->close();
    });
}

void RequestServer::read(LocalConnection* connection)
{
    QByteArray& received = connection->received();
    const qsizetype end = received.indexOf('\n');
    if (end < 0 && received.size() <= MaxLine)
        return;
    disconnect(connection, &LocalConnection::readyRead, this, nullptr);
    const std::optional<HandedRequest> request = end >= 0 ? decodeRequest(received.left(end + 1)) : std::nullopt;
    received.clear();
    if (!request) {
        connection->send(finished(2, QStringLiteral("Scrivletへの要求が正しくないため、何もしませんでした。")));
        connection->close();
        return;
    }
    connection->send(line({{QStringLiteral("accepted"), true}}));
    waiting_.emplace_back(connection, *request);
    // Carried out from the event loop, not inside the socket's own signal.
    QTimer::singleShot(0, this, &RequestServer::startNext);
}

void RequestServer::startNext()
{
    // A client that hung up while it waited has nothing to be answered.
    while (!waiting_.empty() && !waiting_.front().first)
        waiting_.pop_front();
    if (busy_ || waiting_.empty())
        return;
    busy_ = true;
    const auto [client, request] = waiting_.front();
    waiting_.pop_front();
    QPointer<RequestServer> self(this);
    handler_(request, [self, client = client](int exitCode, const QString& message) {
        // The program may end right after this answer; it is in the client's hands once sent.
        if (client) {
            client->send(finished(exitCode, message));
            client->close();
        }
        if (!self)
            return;
        self->busy_ = false;
        QTimer::singleShot(0, self, &RequestServer::startNext);
    });
}

} // namespace command
