#pragma once

#include <QString>

namespace utility {

// What the join puts between the two memos when asked to: the destination's line break is
// followed by a blank line, 27 hyphens and another blank line.
QString joinSeparator();

// The destination's memo text, CR LF, the separator when asked, then the source's memo text.
QString joinedText(const QString& destination, const QString& source, bool withSeparator);

// An edit box shows every CR LF, lone CR and lone LF as one line break. The memo text to write for
// what the box holds: the joined text itself while the box shows it unchanged, so no byte of the
// memos is altered; otherwise the box's lines joined by CR LF.
QString textToWrite(const QString& joined, const QString& shown);

} // namespace utility
