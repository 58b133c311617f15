#pragma once

#include <QString>
#include <QStringList>

class WRText;

// What the file list does to the memo folder, apart from the window.
namespace memofiles {

constexpr qint32 PreviewLines = 5;

// Names of the ordinary files in the folder that match "text????.txt" (each "?" one character), sorted
// by name; a missing folder has none.
QStringList listMemoFiles(const QString& memoFolder);

// The first lines of the file, read through the given reader. A file that is gone or cannot be read
// gives "" and sets *error; an empty file gives "" with no error.
[[nodiscard]] QString previewMemoFile(WRText& text, const QString& path, QString* error = nullptr);

// Removes the file and records it among this program's own deletions; false with *error when it is gone
// or cannot be removed.
[[nodiscard]] bool deleteMemoFile(const QString& path, QString* error = nullptr);

} // namespace memofiles
