#include "ConsoleCommands.h"

#include "Cp932.h"
#include "FileError.h"
#include "FileLookup.h"
#include "FolderNames.h"
#include "MemoChange.h"
#include "MemoNaming.h"
#include "MemoSearch.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <vector>

namespace command {

namespace {

QByteArray line(const QString& text)
{
    return text.toUtf8() + '\n';
}

// The numbers of the memo files in the folder, ascending; other names do not count.
std::vector<int> memoNumbers(const QString& memoFolder, QString* error)
{
    std::vector<int> numbers;
    int systemError = 0;
    const bool listed = forEachNameInFolder(
        QFile::encodeName(memoFolder),
        [&](const char* name) {
            const QString text = QFile::decodeName(name);
            const std::optional<int> number = memo::numberFromMemoFileName(text);
            if (number && memo::memoFileName(*number) == text && isOrdinaryFile(memoFolder + text))
                numbers.push_back(*number);
        },
        &systemError);
    // No memo folder yet is no memo yet.
    if (!listed && systemError != ENOENT)
        *error = fileErrorReason(systemError);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The memo's first line: everything before its first CR, the rest not read.
bool readFirstLine(const QString& path, QString* text, QString* error)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = fileErrorReason(errno, &file);
        return false;
    }
    QByteArray bytes;
    for (;;) {
        errno = 0;
        const QByteArray piece = file.read(64 * 1024);
        if (file.error() != QFileDevice::NoError) {
            *error = fileErrorReason(errno, &file);
            return false;
        }
        const qsizetype cr = piece.indexOf('\r');
        bytes += cr < 0 ? piece : piece.left(cr);
        if (cr >= 0 || piece.isEmpty())
            break;
    }
    // A lone LF belongs to the line in a memo; here it would end the listing's line.
    *text = cp932::decode(bytes).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return true;
}

QString unreadable(const QString& path, const QString& reason)
{
    return QStringLiteral("Scrivlet: 読み込めませんでした: %1（%2）").arg(path, reason);
}

} // namespace

ConsoleResult listMemos(const QString& programFolder)
{
    ConsoleResult result;
    const QString folder = memo::memoFolder(programFolder);
    QString error;
    for (int number : memoNumbers(folder, &error)) {
        QString first;
        QString reason;
        if (readFirstLine(folder + memo::memoFileName(number), &first, &reason)) {
            result.out += line(QStringLiteral("%1\t%2").arg(number, 4, 10, QLatin1Char('0')).arg(first));
        } else {
            result.err += line(unreadable(folder + memo::memoFileName(number), reason));
            result.exitCode = 1;
        }
    }
    if (!error.isEmpty()) {
        result.err += line(unreadable(folder, error));
        result.exitCode = 1;
    }
    return result;
}

ConsoleResult searchMemos(const QString& programFolder, const QString& keyword, bool loose)
{
    ConsoleResult result;
    const QString folder = memo::memoFolder(programFolder);
    const search::SearchOutcome outcome =
        search::searchMemosInParallel(folder, keyword, loose ? search::MatchMode::Loose : search::MatchMode::Exact);
    for (int number : outcome.hits)
        result.out += line(folder + memo::memoFileName(number));
    for (const search::UnreadableMemo& memo : outcome.unreadable)
        result.err += line(unreadable(folder + memo::memoFileName(memo.number), memo.reason));
    result.exitCode = !outcome.unreadable.empty() ? 2 : outcome.hits.empty() ? 1 : 0;
    return result;
}

ConsoleResult writeNewMemo(const QString& programFolder, const QString& text)
{
    ConsoleResult result;
    auto fail = [&](const QString& message) {
        result.err += line(QStringLiteral("Scrivlet: ") + message);
        result.exitCode = 1;
        return result;
    };
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    QStringList refused;
    for (const char32_t code : lines.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        bool replaced = false;
        (void)cp932::encode(character, &replaced);
        if (replaced && !refused.contains(character))
            refused << character;
    }
    if (!refused.isEmpty())
        return fail(QStringLiteral("%1で保存できない文字があるため、保存しませんでした: %2")
                        .arg(cp932::name(), refused.join(QLatin1Char(' '))));
    Failure failure;
    if (!createProgramFolder(&failure))
        return fail(QStringLiteral("%1 %2（%3）").arg(failure.what, failure.path, failure.reason));
    const QString memoFolder = memo::memoFolder(programFolder);
    if (!QFileInfo(memoFolder).isDir() && !QDir().mkdir(memoFolder))
        return fail(QStringLiteral("メモを保存するフォルダを作成できませんでした: ") + memoFolder);
    QString error;
    bool replaced = false;
    const std::optional<int> number = saveAsNewMemo(
        programFolder, memo::LastNumber, lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n")), &error, &replaced);
    if (!number)
        return fail(QStringLiteral("新しいメモを保存できませんでした: %1（%2）").arg(memoFolder, error));
    result.out = line(QStringLiteral("%1").arg(*number, 4, 10, QLatin1Char('0')));
    return result;
}

} // namespace command
