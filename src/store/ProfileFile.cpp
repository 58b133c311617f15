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

// Bytes of the CP932 character at i: a lead byte and a byte of the trail range are one character,
// so a trail byte that looks like "[", "]" or "\\" is never taken for one.
qsizetype charWidth(QByteArrayView v, qsizetype i)
{
    if (!cp932::isLeadByte(static_cast<unsigned char>(v[i])) || i + 1 >= v.size())
        return 1;
    const auto trail = static_cast<unsigned char>(v[i + 1]);
    return trail >= 0x40 && trail <= 0xFC && trail != 0x7F ? 2 : 1;
}

// Blanks around names and values, the same for names given by a caller and names in the file.
bool isBlank(char16_t ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\v' || ch == u'\f' || ch == u'\u3000';
}

// Bytes of the blank at i, or 0.
qsizetype blankWidth(QByteArrayView v, qsizetype i)
{
    const char b = v[i];
    if (b == ' ' || b == '\t' || b == '\v' || b == '\f')
        return 1;
    return v.sliced(i).startsWith("\x81\x40") ? 2 : 0; // U+3000
}

QByteArrayView trimmed(QByteArrayView v)
{
    qsizetype first = -1;
    qsizetype end = 0;
    for (qsizetype i = 0; i < v.size();) {
        const qsizetype blank = blankWidth(v, i);
        const qsizetype width = blank != 0 ? blank : charWidth(v, i);
        if (blank == 0) {
            if (first < 0)
                first = i;
            end = i + width;
        }
        i += width;
    }
    return first < 0 ? QByteArrayView() : v.sliced(first, end - first);
}

QString trimmedName(const QString& name)
{
    qsizetype first = 0;
    qsizetype end = name.size();
    while (first < end && isBlank(name[first].unicode()))
        ++first;
    while (end > first && isBlank(name[end - 1].unicode()))
        --end;
    return name.sliced(first, end - first);
}

// Where the ASCII character c first stands as a character of its own (never as a trail byte), or -1.
qsizetype indexOfChar(QByteArrayView v, char c)
{
    for (qsizetype i = 0; i < v.size(); i += charWidth(v, i)) {
        if (v[i] == c)
            return i;
    }
    return -1;
}

bool sameName(QByteArrayView raw, const QString& name)
{
    return cp932::decode(trimmed(raw)).compare(trimmedName(name), Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView t = trimmed(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = indexOfChar(t, ']');
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
    const qsizetype eq = indexOfChar(line, '=');
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

[[nodiscard]] bool readFile(const QString& path, QByteArray* bytes, QString* error)
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

// As the platform's reader hands a value over: up to its first NUL, at most 255 bytes, whole characters.
QByteArrayView readableValue(QByteArrayView value)
{
    const qsizetype nul = indexOfChar(value, '\0');
    if (nul >= 0)
        value = value.first(nul);
    if (value.size() <= MaxValueBytes)
        return value;
    qsizetype i = 0;
    while (i < MaxValueBytes) {
        const qsizetype width = charWidth(value, i);
        if (i + width > MaxValueBytes)
            break;
        i += width;
    }
    return value.first(i);
}

// Why a name or value cannot be stored so that it reads back as written, or "" when it can.
QString refusal(const QString& section, const QString& key, const QString& value)
{
    if (section.isEmpty() || key.isEmpty())
        return QStringLiteral("設定のセクション名とキー名は空にできません");
    for (const QString* s : {&section, &key, &value}) {
        if (s->contains(QLatin1Char('\r')) || s->contains(QLatin1Char('\n')))
            return QStringLiteral("設定の名前と値に改行は使えません");
        if (s->contains(QChar(0)))
            return QStringLiteral("設定の名前と値に NUL 文字は使えません");
    }
    if (section.contains(QLatin1Char(']')))
        return QStringLiteral("設定のセクション名に「]」は使えません");
    if (key.contains(QLatin1Char('=')))
        return QStringLiteral("設定のキー名に「=」は使えません");
    // The file would read such a line as a comment or a section.
    if (key.startsWith(QLatin1Char(';')) || key.startsWith(QLatin1Char('[')))
        return QStringLiteral("設定のキー名を「;」や「[」で始めることはできません");
    for (const QString* s : {&section, &key, &value}) {
        bool replaced = false;
        (void)cp932::encode(*s, &replaced);
        if (replaced)
            return QStringLiteral("設定の名前または値に、%1で書けない文字があります").arg(cp932::name());
    }
    return QString();
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
            return cp932::decode(readableValue(kv->value));
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
    const QString cleanSection = trimmedName(section);
    const QString cleanKey = trimmedName(key);
    if (const QString reason = refusal(cleanSection, cleanKey, value); !reason.isEmpty())
        return refuse(reason);

    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    const QByteArray newLine = cp932::encode(cleanKey) + '=' + cp932::encode(value);
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
        appendLine('[' + cp932::encode(cleanSection) + ']');
        appendLine(newLine);
        return writeWholeFile(path, out, error);
    }
    size_t lastFilled = span->header;
    for (size_t i = span->header + 1; i < span->end; ++i) {
        const auto kv = keyLine(readable[i].text);
        if (kv && sameName(kv->key, key)) {
            appendLines(0, i);
            const QByteArrayView terminator = lines[i].whole.sliced(lines[i].text.size());
            // The key keeps its spelling in the file; only the value changes.
            out.append(lines[i].whole.data(), kv->key.data() + kv->key.size() - lines[i].whole.data());
            out.append('=');
            out.append(cp932::encode(value));
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
