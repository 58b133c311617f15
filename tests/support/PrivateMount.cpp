#include "PrivateMount.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <sched.h>
#include <sys/mount.h>

namespace {

QString systemError(const char* step)
{
    return QStringLiteral("mounting is not allowed here (%1: %2)")
        .arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
}

// Once per process: a mount namespace of its own whose mounts do not travel back to the parent.
QString enterPrivateNamespace()
{
    static std::once_flag once;
    static QString whyNot;
    std::call_once(once, [] {
        if (::unshare(CLONE_NEWNS) != 0)
            whyNot = systemError("unshare");
        else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            whyNot = systemError("make / private");
    });
    return whyNot;
}

} // namespace

PrivateMount::PrivateMount(const QString& folder, qint64 bytes, int inodes) : folder_(folder)
{
    whyNot_ = enterPrivateNamespace();
    if (!whyNot_.isEmpty())
        return;
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",nr_inodes=" + QByteArray::number(inodes);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) !=
        0)
        whyNot_ = systemError("tmpfs");
    else
        mounted_ = true;
}

PrivateMount::PrivateMount(const QString& folder) : folder_(folder)
{
    whyNot_ = enterPrivateNamespace();
    if (!whyNot_.isEmpty())
        return;
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        whyNot_ = systemError("bind");
        return;
    }
    mounted_ = true;
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
        whyNot_ = systemError("remount read-only");
}

PrivateMount::~PrivateMount()
{
    if (mounted_)
        ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}
