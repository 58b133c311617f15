#pragma once

#include "Failure.h"

#include <QString>
#include <QUrl>

// Opens a folder in the desktop's file manager; false with *failure when nothing could be started.
[[nodiscard]] bool openFolderInFileManager(const QString& folder, Failure* failure);

// Hands an address to the desktop (browser, viewer), as the shell's "open" does.
[[nodiscard]] bool openUrl(const QUrl& url);
