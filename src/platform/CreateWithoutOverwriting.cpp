#include "CreateWithoutOverwriting.h"

#include "FileError.h"

#include <QFile>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

bool& hardLinksAvailable()
{
    static bool available = true;
    return available;
}

std::filesystem::path toFsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString reasonFor(const std::error_code& code)
{
    return fileErrorReason(code.default_error_condition().value());
}

// FAT and some network shares have no hard links; the system says so in several ways.
bool hardLinksUnsupported(const std::error_code& code)
{
    return code == std::errc::operation_not_permitted || code == std::errc::operation_not_supported ||
           code == std::errc::not_supported || code == std::errc::function_not_supported ||
           code == std::errc::cross_device_link || code == std::errc::too_many_links;
}

[[nodiscard]] CreateOutcome copyToNewFile(const QString& fromPath, const QString& toPath, QString* error)
{
    auto fail = [&](const QFile& file, int systemError) {
        if (error)
            *error = fileErrorReason(systemError, &file);
        return CreateOutcome::Failed;
    };
    QFile source(fromPath);
    errno = 0;
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(source, errno);
    QFile target(toPath);
    errno = 0;
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        // Read before anything else can overwrite it: the existence check below sets errno too.
        const int openError = errno;
        if (openError == EEXIST || QFile::exists(toPath))
            return CreateOutcome::Exists;
        return fail(target, openError);
    }
    // The target is ours from here on: a half-written one is removed again.
    auto abandon = [&](const QFile& failed) {
        const CreateOutcome outcome = fail(failed, errno);
        target.close();
        QFile::remove(toPath);
        return outcome;
    };
    char buffer[64 * 1024];
    for (;;) {
        errno = 0;
        const qint64 got = source.read(buffer, sizeof buffer);
        if (got < 0)
            return abandon(source);
        if (got == 0)
            break;
        errno = 0;
        if (target.write(buffer, got) != got)
            return abandon(target);
    }
    errno = 0;
    if (!target.flush())
        return abandon(target);
    target.close();
    if (target.error() != QFileDevice::NoError)
        return abandon(target);
    return CreateOutcome::Created;
}

} // namespace

CreateOutcome createWithoutOverwriting(const QString& fromPath, const QString& toPath, QString* error)
{
    if (!hardLinksAvailable())
        return copyToNewFile(fromPath, toPath, error);
    std::error_code code;
    std::filesystem::create_hard_link(toFsPath(fromPath), toFsPath(toPath), code);
    if (!code)
        return CreateOutcome::Created;
    if (code == std::errc::file_exists)
        return CreateOutcome::Exists;
    if (hardLinksUnsupported(code))
        return copyToNewFile(fromPath, toPath, error);
    if (error)
        *error = reasonFor(code);
    return CreateOutcome::Failed;
}

ScopedNoHardLinks::ScopedNoHardLinks() : previous_(hardLinksAvailable())
{
    hardLinksAvailable() = false;
}

ScopedNoHardLinks::~ScopedNoHardLinks()
{
    hardLinksAvailable() = previous_;
}
