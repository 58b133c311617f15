#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <optional>

class QSocketNotifier;

// Stream sockets in the file system between copies of the program that one user runs. Only that user
// may connect, and each side checks who the other is.

// The side that asks, for a start that has no event loop to wait in: no call waits past its deadline.
class LocalClient
{
public:
    LocalClient() = default;
    ~LocalClient();
    Q_DISABLE_COPY_MOVE(LocalClient)

    // False when nobody of this user listens at `path`.
    [[nodiscard]] bool connectTo(const QString& path, QDeadlineTimer deadline);
    [[nodiscard]] bool send(const QByteArray& bytes, QDeadlineTimer deadline);
    // The next line with its line feed; nothing on a timeout, a closed connection or a longer line.
    [[nodiscard]] std::optional<QByteArray> readLine(qsizetype maxLine, QDeadlineTimer deadline);

private:
    int fd_ = -1;
    QByteArray received_;
};

// One connection a LocalListener took, read from the event loop.
class LocalConnection final : public QObject
{
    Q_OBJECT
public:
    LocalConnection(int fd, QObject* parent);
    ~LocalConnection() override;
    Q_DISABLE_COPY_MOVE(LocalConnection)

    // What has arrived and not been taken yet.
    QByteArray& received() { return received_; }
    // Answers are short: the kernel takes them at once from a peer that reads, and a peer that does not
    // read holds the program up for a second at most.
    void send(const QByteArray& bytes);
    void close();

Q_SIGNALS:
    void readyRead();
    // The peer hung up; emitted once.
    void disconnected();

private:
    void readPending();

    int fd_;
    QSocketNotifier* notifier_;
    QByteArray received_;
};

class LocalListener final : public QObject
{
    Q_OBJECT
public:
    explicit LocalListener(QObject* parent = nullptr);
    ~LocalListener() override;
    Q_DISABLE_COPY_MOVE(LocalListener)

    // Replaces whatever socket lies at `path`: only call it while holding what makes the path yours.
    [[nodiscard]] bool listen(const QString& path, QString* reason);

Q_SIGNALS:
    // The connection belongs to the listener until its new owner re-parents or deletes it.
    void newConnection(LocalConnection* connection);

private:
    void acceptPending();

    int fd_ = -1;
    QString path_;
    // The socket file as bound: a socket's own descriptor does not name it.
    quint64 boundInode_ = 0;
    quint64 boundDevice_ = 0;
};
