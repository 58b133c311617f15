#pragma once

#include "CommandLine.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

class LocalConnection;

// A start with an option hands its request to the copy that runs on the same program folder, over a
// local socket only the user can open, beside the single-instance lock and keyed like it.
namespace command {

// What crosses the socket: an action for the running copy and the launcher's activation token.
struct HandedRequest
{
    Action action = Action::Show; // Show, Toggle, Open, NewEmpty or Quit
    int number = -1;              // Open
    // XDG_ACTIVATION_TOKEN (Wayland) or DESKTOP_STARTUP_ID (X11) of the start, so that the window
    // may take the focus where the desktop allows it.
    QString activationToken;
    bool tokenIsX11 = false;
};

// The socket of the copy running on the program folder.
QString handOverSocketPath(const QString& programFolder);

// One line of JSON. Anything but a well-formed request of the right size and range is nothing.
QByteArray encodeRequest(const HandedRequest& request);
std::optional<HandedRequest> decodeRequest(const QByteArray& line);

struct Answer
{
    enum class Delivery
    {
        Answered,
        NoRunningCopy,
        NoAnswer // a copy took the connection but did not answer in time
    };
    Delivery delivery = Delivery::NoRunningCopy;
    int exitCode = 1;
    QString message; // for standard error; may be empty
};

// Blocks until the running copy has carried out the request: it has a few seconds to take it, and
// as long as its user needs (a question on quitting) to finish it, within a generous limit.
Answer handOver(const QString& programFolder, const HandedRequest& request);

// The running copy's side: takes requests one at a time and carries each out through `handler`, which
// answers through `finish` once it is done (it may ask the user first).
class RequestServer final : public QObject
{
    Q_OBJECT
public:
    using Finish = std::function<void(int exitCode, const QString& message)>;
    using Handler = std::function<void(const HandedRequest& request, const Finish& finish)>;

    RequestServer(QString programFolder, Handler handler, QObject* parent = nullptr);
    ~RequestServer() override;
    Q_DISABLE_COPY_MOVE(RequestServer)

    // Only once the folder's lock is held: a socket left by a copy that died is replaced.
    [[nodiscard]] bool listen(QString* reason);

private:
    void accept(LocalConnection* connection);
    void read(LocalConnection* connection);
    void startNext();

    QString path_;
    Handler handler_;
    std::deque<std::pair<QPointer<LocalConnection>, HandedRequest>> waiting_;
    bool busy_ = false;
};

} // namespace command
