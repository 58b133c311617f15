#pragma once

#include "FileStamp.h"

#include <QString>

// Reads a memo file as one string (lines joined by CR LF, none after the last) and writes one back
// as a whole file with every line ended by CR LF, in CP932. Set FileName (and WText) before each call.
// Failures are reported through *error, a reason a person can read; "" means success.
class WRText
{
public:
    QString FileName;
    QString WText;

    // The whole memo text; "" when no ordinary file stands at FileName, which is no failure.
    // Bytes that are not CP932 read as U+FFFD and set *invalid.
    [[nodiscard]] QString RFile(QString* error = nullptr, bool* invalid = nullptr) const;
    // Like RFile, but at most lngLen lines; 0 or less reads the whole file.
    [[nodiscard]] QString RFileLen(const qint32& lngLen, QString* error = nullptr, bool* invalid = nullptr) const;
    // Writes WText and CR LF over the file, then empties WText. On failure WText and the old file stay
    // as they were. Characters CP932 cannot hold are written as "?" and set *replaced. *written gets the
    // stamp of the file written, from the file itself.
    [[nodiscard]] bool WFile(QString* error = nullptr, bool* replaced = nullptr, FileStamp* written = nullptr);
    // WFile for text whose lines are separated by LF, as a text box has them, in one pass however big.
    [[nodiscard]] bool WFileLines(const QString& lines, QString* error = nullptr, bool* replaced = nullptr,
                                  FileStamp* written = nullptr);
};
