#pragma once

#include <QString>

// The folder separator of this platform: "\" on Windows, "/" elsewhere.
QString folderSeparator();

// The folder with exactly one trailing separator; a root folder already ends in one.
QString EnsureBackslash(const QString& folder);

// A path as a folder: native separators and one trailing separator.
QString asFolder(const QString& path);

// The running executable's folder through EnsureBackslash, in the platform's own separators.
QString executableFolder();

// Makes every missing folder down to `path`, private to the user (mode 0700) whatever the umask. False
// with *reason when one cannot be made; a folder above `path` that failed is named in the reason.
[[nodiscard]] bool makePrivateFolders(const QString& path, QString* reason);

// Tests: the programs behave as if their executable stood in `folder`.
class ScopedExecutableFolder final
{
public:
    explicit ScopedExecutableFolder(const QString& folder);
    ~ScopedExecutableFolder();
    ScopedExecutableFolder(const ScopedExecutableFolder&) = delete;
    ScopedExecutableFolder& operator=(const ScopedExecutableFolder&) = delete;

private:
    QString previous_;
};
