#include "ProfileFile.h"

#include "Cp932.h"
#include "FileError.h"
#include "SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <optional>
#include <vector>

namespace profile {
namespace {

constexpr qsizetype MaxValueBytes = 255;

struct Line
{
    QByteArrayView text;  // without its terminator
    QByteArrayView whole; // with it
};

// Lines end at CR LF, LF or CR, as the platform's reader takes them.
std::vector<Line> splitLines(QByteArrayView bytes)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        qsizetype next = end;
        if (next < n && bytes[next] == '\r')
            ++next;
        if (next < n && bytes[next] == '\n' && (next == end || bytes[end] == '\r'))
            ++next;
        lines.push_back({bytes.sliced(start, end - start), bytes.sliced(start, next - start)});
        start = next;
    }
    return lines;
}

QByteArrayView trimmed(QByteArrayView v)
{
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!v.isEmpty() && blank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && blank(v.back()))
        v.chop(1);
    return v;
}

bool sameName(QByteArrayView raw, const QString& name)
{
    return cp932::decode(trimmed(raw)).compare(name.trimmed(), Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView t = trimmed(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return t.sliced(1, close - 1);
}

struct KeyLine
{
    QByteArrayView key;
    QByteArrayView value;
};

std::optional<KeyLine> keyLine(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || trimmed(line).startsWith(';'))
        return std::nullopt;
    return KeyLine{line.first(eq), trimmed(line.sliced(eq + 1))};
}

// A file written with a UTF-8 byte-order mark would otherwise hide its first section.
QByteArrayView withoutBom(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

// Where a section's lines are: its header's index and one past its last line.
struct SectionSpan
{
    size_t header;
    size_t end;
};

std::optional<SectionSpan> findSection(const std::vector<Line>& lines, const QString& section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (!name || !sameName(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end].text))
            ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

bool readFile(const QString& path, QByteArray* bytes, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    QFile file(path);
    errno = 0;
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = fileErrorReason(info.isDir() ? EISDIR : errno, info.isDir() ? nullptr : &file);
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = fileErrorReason(errno, &file);
        return false;
    }
    return true;
}

QByteArrayView cutToWholeCharacters(QByteArrayView value)
{
    if (value.size() <= MaxValueBytes)
        return value;
    qsizetype i = 0;
    while (i < MaxValueBytes) {
        const qsizetype width = cp932::isLeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
        if (i + width > MaxValueBytes)
            break;
        i += width;
    }
    return value.first(i);
}

} // namespace

QString readValue(const QString& path, const QString& section, const QString& key, QString* error)
{
    if (error)
        error->clear();
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return QString();
    const std::vector<Line> lines = splitLines(withoutBom(bytes));
    const auto span = findSection(lines, section);
    if (!span)
        return QString();
    for (size_t i = span->header + 1; i < span->end; ++i) {
        const auto kv = keyLine(lines[i].text);
        if (kv && sameName(kv->key, key))
            return cp932::decode(cutToWholeCharacters(kv->value));
    }
    return QString();
}

bool writeValue(const QString& path, const QString& section, const QString& key, const QString& value, QString* error)
{
    if (error)
        error->clear();
    auto refuse = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    auto breaksLine = [](const QString& s) { return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n')); };
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty() || key.contains(QLatin1Char('=')) ||
        breaksLine(section) || breaksLine(key) || breaksLine(value) || section.contains(QLatin1Char(']')))
        return refuse(QStringLiteral("設定の名前または値に使えない文字があります"));

    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    const QByteArray newLine = cp932::encode(key) + '=' + cp932::encode(value);
    const std::vector<Line> lines = splitLines(bytes);
    // Line views point into bytes; the result is built apart so they stay valid.
    QByteArray out;
    out.reserve(bytes.size() + newLine.size() + 64);
    auto appendLines = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            out.append(lines[i].whole.data(), lines[i].whole.size());
    };
    auto appendLine = [&](const QByteArray& text) {
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out.append("\r\n", 2);
        out.append(text);
        out.append("\r\n", 2);
    };

    // The byte-order mark belongs to the first line's bytes and is kept with it.
    std::vector<Line> readable = lines;
    if (!readable.empty())
        readable.front().text = withoutBom(readable.front().text);
    const auto span = findSection(readable, section);
    if (!span) {
        appendLines(0, lines.size());
        appendLine('[' + cp932::encode(section) + ']');
        appendLine(newLine);
        return writeWholeFile(path, out, error);
    }
    size_t lastFilled = span->header;
    for (size_t i = span->header + 1; i < span->end; ++i) {
        const auto kv = keyLine(readable[i].text);
        if (kv && sameName(kv->key, key)) {
            appendLines(0, i);
            const QByteArrayView terminator = lines[i].whole.sliced(lines[i].text.size());
            out.append(newLine);
            out.append(terminator.isEmpty() ? QByteArrayView("\r\n") : terminator);
            appendLines(i + 1, lines.size());
            return writeWholeFile(path, out, error);
        }
        if (!trimmed(readable[i].text).isEmpty())
            lastFilled = i;
    }
    appendLines(0, lastFilled + 1);
    appendLine(newLine);
    appendLines(lastFilled + 1, lines.size());
    return writeWholeFile(path, out, error);
}

} // namespace profile
