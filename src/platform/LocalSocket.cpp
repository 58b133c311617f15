#include "LocalSocket.h"

#include "FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr qsizetype MaxUnread = 64 * 1024;
constexpr int AnswerMs = 1000;

std::optional<sockaddr_un> addressOf(const QByteArray& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    return address;
}

bool peerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// Whether `fd` became ready for `events` (or hung up) before the deadline.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const qint64 remaining = deadline.remainingTime();
        const int ready = ::poll(&p, 1, remaining < 0 ? -1 : int(std::min<qint64>(remaining, INT_MAX)));
        if (ready >= 0)
            return ready > 0;
        if (errno != EINTR)
            return false;
    }
}

bool sendAll(int fd, const QByteArray& bytes, const QDeadlineTimer& deadline)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + done, std::size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN && waitFor(fd, POLLOUT, deadline))
            continue;
        else
            return false;
    }
    return true;
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

LocalClient::~LocalClient()
{
    closeFd(fd_);
}

bool LocalClient::connectTo(const QString& path, QDeadlineTimer deadline)
{
    closeFd(fd_);
    received_.clear();
    const std::optional<sockaddr_un> address = addressOf(QFile::encodeName(path));
    if (!address)
        return false;
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0)
        return false;
    // A listener whose backlog is full, because its program is busy, refuses for now, not for good.
    while (::connect(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN && !deadline.hasExpired()) {
            ::usleep(10'000);
            continue;
        }
        closeFd(fd_);
        return false;
    }
    if (!peerIsThisUser(fd_)) {
        closeFd(fd_);
        return false;
    }
    return true;
}

bool LocalClient::send(const QByteArray& bytes, QDeadlineTimer deadline)
{
    return fd_ >= 0 && sendAll(fd_, bytes, deadline);
}

std::optional<QByteArray> LocalClient::readLine(qsizetype maxLine, QDeadlineTimer deadline)
{
    for (;;) {
        const qsizetype end = received_.indexOf('\n');
        if (end > maxLine || (end < 0 && received_.size() > maxLine) || fd_ < 0)
            return std::nullopt;
        if (end >= 0) {
            QByteArray line = received_.left(end + 1);
            received_.remove(0, end + 1);
            return line;
        }
        std::array<char, 4096> chunk;
        const ssize_t n = ::recv(fd_, chunk.data(), chunk.size(), 0);
        if (n > 0)
            received_.append(chunk.data(), n);
        else if (n < 0 && (errno == EINTR || (errno == EAGAIN && waitFor(fd_, POLLIN, deadline))))
            continue;
        else
            return std::nullopt;
    }
}

LocalConnection::LocalConnection(int fd, QObject* parent)
    : QObject(parent), fd_(fd), notifier_(new QSocketNotifier(fd, QSocketNotifier::Read, this))
{
    connect(notifier_, &QSocketNotifier::activated, this, &LocalConnection::readPending);
}

LocalConnection::~LocalConnection()
{
    notifier_->setEnabled(false);
    closeFd(fd_);
}

void LocalConnection::send(const QByteArray& bytes)
{
    // A peer that stopped reading goes without its answer.
    if (fd_ >= 0)
        sendAll(fd_, bytes, QDeadlineTimer(AnswerMs));
}

void LocalConnection::close()
{
    notifier_->setEnabled(false);
    closeFd(fd_);
    deleteLater();
}

void LocalConnection::readPending()
{
    bool arrived = false;
    bool hungUp = false;
    for (;;) {
        std::array<char, 4096> chunk;
        const ssize_t n = ::recv(fd_, chunk.data(), chunk.size(), 0);
        if (n > 0) {
            // Nobody reads past a request; a peer that keeps sending does not fill the memory.
            if (received_.size() < MaxUnread)
                received_.append(chunk.data(), n);
            arrived = true;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            hungUp = n == 0 || errno != EAGAIN;
            break;
        }
    }
    if (hungUp)
        notifier_->setEnabled(false);
    if (arrived)
        Q_EMIT readyRead();
    if (hungUp && fd_ >= 0)
        Q_EMIT disconnected();
}

LocalListener::LocalListener(QObject* parent) : QObject(parent) {}

LocalListener::~LocalListener()
{
    // Another copy may have taken the place since; its socket stays.
    struct stat atPath
    {
    };
    if (fd_ >= 0 && ::stat(QFile::encodeName(path_).constData(), &atPath) == 0 && atPath.st_ino == boundInode_ &&
        atPath.st_dev == boundDevice_)
        ::unlink(QFile::encodeName(path_).constData());
    closeFd(fd_);
}

bool LocalListener::listen(const QString& path, QString* reason)
{
    // Bound inside a folder only this user may enter, made private there and then moved over whatever
    // lies at `path`: nobody can connect while it is still open to all.
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath() + QStringLiteral("/.Scrivlet-XXXXXX"));
    const QByteArray target = QFile::encodeName(path);
    int error = 0;
    if (!addressOf(target)) {
        error = ENAMETOOLONG;
    } else if (!::mkdtemp(folder.data())) {
        error = errno;
    } else {
        const QByteArray bound = folder + "/socket";
        const std::optional<sockaddr_un> address = addressOf(bound);
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (!address)
            error = ENAMETOOLONG;
        else if (fd_ < 0 || ::bind(fd_, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
                 ::chmod(bound.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd_, SOMAXCONN) != 0 ||
                 ::rename(bound.constData(), target.constData()) != 0)
            error = errno;
        ::unlink(bound.constData());
        ::rmdir(folder.constData());
    }
    if (error != 0) {
        closeFd(fd_);
        if (reason)
            *reason = QStringLiteral("%1: %2").arg(path, fileErrorReason(error));
        return false;
    }
    path_ = path;
    if (struct stat bound{}; ::stat(target.constData(), &bound) == 0) {
        boundInode_ = bound.st_ino;
        boundDevice_ = bound.st_dev;
    }
    auto* notifier = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &LocalListener::acceptPending);
    return true;
}

void LocalListener::acceptPending()
{
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0 && errno == EINTR)
            continue;
        if (fd < 0)
            return;
        if (peerIsThisUser(fd))
            Q_EMIT newConnection(new LocalConnection(fd, this));
        else
            ::close(fd);
    }
}
