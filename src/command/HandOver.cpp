#include "HandOver.h"

#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

namespace command {

namespace {

constexpr qint64 MaxLine = 4096;
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

// Reads one line of at most MaxLine bytes before the deadline; nothing on a timeout or a broken line.
std::optional<QJsonObject> readLine(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > MaxLine || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(socket.readLine(MaxLine + 1));
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

// Only a process of the same user may talk to the program, even where the socket lies in a shared
// temporary folder.
bool fromThisUser(const QLocalSocket& socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           peer.uid == ::getuid();
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
    QLocalSocket socket;
    socket.connectToServer(handOverSocketPath(programFolder));
    if (!socket.waitForConnected(ConnectMs))
        return {};
    const QString silent = QStringLiteral("起動中のScrivletが応答しません。");
    socket.write(encodeRequest(request));
    if (!socket.waitForBytesWritten(ConnectMs))
        return {Answer::Delivery::NoAnswer, 1, silent};
    std::optional<QJsonObject> reply = readLine(socket, QDeadlineTimer(AcceptMs));
    if (reply && reply->value(QStringLiteral("accepted")).toBool())
        reply = readLine(socket, QDeadlineTimer(FinishMs));
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
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path_);
    if (!server_->listen(path_)) {
        if (reason)
            *reason = server_->errorString();
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &RequestServer::accept);
    return true;
}

void RequestServer::accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!fromThisUser(*socket)) {
            socket->abort();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        // A connection that never sends a whole request is dropped.
        QTimer::singleShot(IdleMs, socket, [this, socket] {
            if (std::none_of(waiting_.begin(), waiting_.end(), [&](const auto& w) { return w.first == socket; }))
                socket->abort();
        });
    }
}

void RequestServer::read(QLocalSocket* socket)
{
    if (!socket->canReadLine() && socket->bytesAvailable() <= MaxLine)
        return;
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    const std::optional<HandedRequest> request =
        socket->canReadLine() ? decodeRequest(socket->readLine(MaxLine + 1)) : std::nullopt;
    if (!request) {
        socket->write(finished(2, QStringLiteral("Scrivletへの要求が正しくないため、何もしませんでした。")));
        socket->disconnectFromServer();
        return;
    }
    socket->write(line({{QStringLiteral("accepted"), true}}));
    waiting_.emplace_back(socket, *request);
    // Carried out from the event loop, not inside the socket's own signal.
    QTimer::singleShot(0, this, &RequestServer::startNext);
}

void RequestServer::startNext()
{
    if (busy_ || waiting_.empty())
        return;
    busy_ = true;
    const auto [socket, request] = waiting_.front();
    waiting_.pop_front();
    QPointer<QLocalSocket> client(socket);
    QPointer<RequestServer> self(this);
    handler_(request, [self, client](int exitCode, const QString& message) {
        if (client) {
            client->write(finished(exitCode, message));
            // The program may end right after this answer.
            client->waitForBytesWritten(1000);
            client->disconnectFromServer();
        }
        if (!self)
            return;
        self->busy_ = false;
        QTimer::singleShot(0, self, &RequestServer::startNext);
    });
}

} // namespace command
