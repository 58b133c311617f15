#include "ConflictCopies.h"

#include "FileLookup.h"
#include "FolderNames.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace memo {

namespace {

struct Engine
{
    const char* name;
    QRegularExpression pattern; // captures the number, then the date's parts
};

const std::vector<Engine>& engines()
{
    static const std::vector<Engine> list{
        {"Syncthing",
         QRegularExpression(QStringLiteral(
             R"(^text(\d{4})\.sync-conflict-(\d{4})(\d{2})(\d{2})-(\d{2})(\d{2})(\d{2})-[A-Z0-9]{7}\.txt$)"))},
        {"Nextcloud",
         QRegularExpression(QStringLiteral(
             R"(^text(\d{4}) \(conflicted copy (?:.* )?(\d{4})-(\d{2})-(\d{2}) (\d{2})(\d{2})(\d{2})\)\.txt$)"))},
        {"Dropbox", QRegularExpression(QStringLiteral(
                        R"(^text(\d{4}) \(.+'s conflicted copy (\d{4})-(\d{2})-(\d{2})(?: \(\d+\))?\)\.txt$)"))},
    };
    return list;
}

} // namespace

std::optional<ConflictCopy> conflictCopyFromName(const QString& name)
{
    for (const Engine& engine : engines()) {
        const QRegularExpressionMatch match = engine.pattern.match(name);
        if (!match.hasMatch())
            continue;
        QString date = QStringLiteral("%1-%2-%3").arg(match.captured(2), match.captured(3), match.captured(4));
        if (match.lastCapturedIndex() >= 7)
            date += QStringLiteral(" %1:%2:%3").arg(match.captured(5), match.captured(6), match.captured(7));
        return ConflictCopy{name, match.captured(1).toInt(), QString::fromLatin1(engine.name), date};
    }
    return std::nullopt;
}

std::vector<ConflictCopy> conflictCopies(const QString& memoFolder)
{
    std::vector<ConflictCopy> copies;
    int error = 0;
    (void)forEachNameInFolder(
        QFile::encodeName(memoFolder),
        [&](const char* name) {
            std::optional<ConflictCopy> copy = conflictCopyFromName(QFile::decodeName(name));
            if (copy && isOrdinaryFile(memoFolder + copy->name))
                copies.push_back(std::move(*copy));
        },
        &error);
    std::sort(copies.begin(), copies.end(), [](const ConflictCopy& a, const ConflictCopy& b) {
        return std::tie(a.number, a.name) < std::tie(b.number, b.name);
    });
    return copies;
}

std::vector<ConflictCopy> conflictCopiesOf(const QString& memoFolder, int number)
{
    std::vector<ConflictCopy> copies = conflictCopies(memoFolder);
    copies.erase(
        std::remove_if(copies.begin(), copies.end(), [&](const ConflictCopy& c) { return c.number != number; }),
        copies.end());
    return copies;
}

} // namespace memo
