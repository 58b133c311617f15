#include "LooseMatch.h"

#include "Cp932.h"

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

namespace search {
namespace {

constexpr char16_t HalfWidthFirst = 0xFF61;
constexpr char16_t HalfWidthLast = 0xFF9F;
constexpr char16_t HalfWidthVoicedMark = 0xFF9E;
constexpr char16_t HalfWidthSemiVoicedMark = 0xFF9F;

// U+FF61 to U+FF9F in full width. The lone sound marks become the spacing marks ゛ and ゜ that a
// full-width keyboard types.
constexpr char16_t FullWidthOfHalfWidth[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    u"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(sizeof FullWidthOfHalfWidth / sizeof(char16_t) == HalfWidthLast - HalfWidthFirst + 2);

// U+FFE0 to U+FFE6: ¢ £ ¬ ¯ ¦ ¥ ₩.
constexpr char16_t NarrowOfFullWidthSign[] = {0x00A2, 0x00A3, 0x00AC, 0x00AF, 0x00A6, 0x00A5, 0x20A9};

bool isHalfWidthKana(char16_t ch)
{
    return ch >= HalfWidthFirst && ch <= HalfWidthLast;
}

char16_t widthFolded(char16_t ch)
{
    if (ch >= 0xFF01 && ch <= 0xFF5E)
        return static_cast<char16_t>(ch - 0xFEE0);
    if (ch == 0x3000)
        return u' ';
    if (isHalfWidthKana(ch))
        return FullWidthOfHalfWidth[ch - HalfWidthFirst];
    if (ch >= 0xFFE0 && ch <= 0xFFE6)
        return NarrowOfFullWidthSign[ch - 0xFFE0];
    return ch;
}

char16_t kanaFolded(char16_t ch)
{
    if ((ch >= 0x30A1 && ch <= 0x30F6) || ch == 0x30FD || ch == 0x30FE)
        return static_cast<char16_t>(ch - 0x60);
    return ch;
}

char16_t caseFolded(char16_t ch)
{
    if (QChar::isSurrogate(ch))
        return ch;
    const char32_t folded = QChar::toCaseFolded(static_cast<char32_t>(ch));
    return folded <= 0xFFFF ? static_cast<char16_t>(folded) : ch;
}

// Case folding lands nowhere that needs the other folds again, so one pass is final.
char16_t foldOne(char16_t ch)
{
    return caseFolded(kanaFolded(widthFolded(ch)));
}

struct FoldTables
{
    std::array<char16_t, 0x10000> single{};
    // The letter a half-width kana and a following ﾞ or ﾟ stand for, already folded; 0 when the
    // pair does not compose.
    std::array<char16_t, HalfWidthLast - HalfWidthFirst + 1> voiced{};
    std::array<char16_t, HalfWidthLast - HalfWidthFirst + 1> semiVoiced{};
};

// The composed letter of a full-width kana and a combining sound mark, as Unicode composes them.
char16_t composed(char16_t kana, char16_t combiningMark)
{
    const char16_t pair[] = {kana, combiningMark};
    const QString nfc = QString::fromUtf16(pair, 2).normalized(QString::NormalizationForm_C);
    return nfc.size() == 1 ? nfc.at(0).unicode() : char16_t(0);
}

std::unique_ptr<FoldTables> buildTables()
{
    auto t = std::make_unique<FoldTables>();
    for (int code = 0; code < 0x10000; ++code)
        t->single[code] = foldOne(static_cast<char16_t>(code));
    for (char16_t half = HalfWidthFirst; half <= HalfWidthLast; ++half) {
        const char16_t full = widthFolded(half);
        if (const char16_t v = composed(full, 0x3099))
            t->voiced[half - HalfWidthFirst] = foldOne(v);
        if (const char16_t s = composed(full, 0x309A))
            t->semiVoiced[half - HalfWidthFirst] = foldOne(s);
    }
    return t;
}

const FoldTables& tables()
{
    static std::once_flag once;
    static std::unique_ptr<FoldTables> t;
    std::call_once(once, [] { t = buildTables(); });
    return *t;
}

// What the byte side of a search needs to know about CP932, taken from the codec once.
struct Cp932Tables
{
    static constexpr char16_t Invalid = 0xFFFF; // never a decoded character

    // Loose form of the character each byte (< 0x100) or byte pair (lead << 8 | trail) decodes to.
    std::array<char16_t, 0x10000> folded{};
    // For a byte that decodes to a half-width kana: its letter joined with ﾞ or ﾟ, folded; else 0.
    std::array<char16_t, 0x100> voiced{};
    std::array<char16_t, 0x100> semiVoiced{};
    // 1 for the byte of ﾞ, 2 for that of ﾟ.
    std::array<quint8, 0x100> soundMark{};
};

std::unique_ptr<Cp932Tables> buildCp932Tables()
{
    const FoldTables& fold = tables();
    auto t = std::make_unique<Cp932Tables>();
    t->folded.fill(Cp932Tables::Invalid);
    QString decoded;
    auto decodeOne = [&](QByteArrayView bytes) -> char16_t {
        bool invalid = false;
        cp932::decodeInto(bytes, decoded, &invalid);
        if (invalid || decoded.size() != 1)
            return 0;
        return decoded.at(0).unicode();
    };
    for (int b = 0; b < 0x100; ++b) {
        if (cp932::isLeadByte(static_cast<unsigned char>(b)))
            continue;
        const char single = static_cast<char>(b);
        const char16_t ch = decodeOne(QByteArrayView(&single, 1));
        if (b != 0 && ch == 0)
            continue;
        t->folded[b] = fold.single[ch];
        if (isHalfWidthKana(ch)) {
            t->voiced[b] = fold.voiced[ch - HalfWidthFirst];
            t->semiVoiced[b] = fold.semiVoiced[ch - HalfWidthFirst];
        }
        if (ch == HalfWidthVoicedMark)
            t->soundMark[b] = 1;
        if (ch == HalfWidthSemiVoicedMark)
            t->soundMark[b] = 2;
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (const char16_t ch = decodeOne(QByteArrayView(pair, 2)))
                t->folded[lead << 8 | trail] = fold.single[ch];
        }
    }
    return t;
}

const Cp932Tables& cp932Tables()
{
    static std::once_flag once;
    static std::unique_ptr<Cp932Tables> t;
    std::call_once(once, [] { t = buildCp932Tables(); });
    return *t;
}

// Decodes and folds in one pass, following the codec's reading of bad bytes (each byte that starts
// no character is one U+FFFD). dst has room for n characters; returns how many were written.
qsizetype foldCp932(const Cp932Tables& t, const unsigned char* src, qsizetype n, char16_t* dst)
{
    char16_t* const begin = dst;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = src[i];
        if (b < 0x80) {
            *dst++ = t.folded[b];
            ++i;
            continue;
        }
        char16_t ch = Cp932Tables::Invalid;
        if (cp932::isLeadByte(b)) {
            if (i + 1 < n) {
                ch = t.folded[b << 8 | src[i + 1]];
                if (ch != Cp932Tables::Invalid) {
                    *dst++ = ch;
                    i += 2;
                    continue;
                }
            }
        } else {
            ch = t.folded[b];
            if (i + 1 < n && t.soundMark[src[i + 1]] != 0) {
                const char16_t joined = t.soundMark[src[i + 1]] == 1 ? t.voiced[b] : t.semiVoiced[b];
                if (joined != 0) {
                    *dst++ = joined;
                    i += 2;
                    continue;
                }
            }
        }
        *dst++ = ch == Cp932Tables::Invalid ? u'\uFFFD' : ch;
        ++i;
    }
    return dst - begin;
}

} // namespace

void appendLooseFold(QStringView text, QString& out)
{
    const FoldTables& t = tables();
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data()) + start;
    char16_t* dst = begin;
    const char16_t* const first = text.utf16();
    const char16_t* const end = first + text.size();
    for (const char16_t* src = first; src < end; ++src) {
        const char16_t ch = *src;
        if ((ch == HalfWidthVoicedMark || ch == HalfWidthSemiVoicedMark) && src > first && isHalfWidthKana(src[-1])) {
            const auto& joined = ch == HalfWidthVoicedMark ? t.voiced : t.semiVoiced;
            if (const char16_t letter = joined[src[-1] - HalfWidthFirst]) {
                dst[-1] = letter;
                continue;
            }
        }
        if (QChar::isHighSurrogate(ch) && src + 1 < end && QChar::isLowSurrogate(src[1])) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(ch, src[1]));
            if (QChar::requiresSurrogates(folded)) {
                *dst++ = QChar::highSurrogate(folded);
                *dst++ = QChar::lowSurrogate(folded);
            } else {
                *dst++ = static_cast<char16_t>(folded);
            }
            ++src;
            continue;
        }
        *dst++ = t.single[ch];
    }
    out.resize(start + (dst - begin));
}

QString looseFold(QStringView text)
{
    QString out;
    appendLooseFold(text, out);
    return out;
}

QString looseFoldCp932(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    const qsizetype n = foldCp932(cp932Tables(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                  reinterpret_cast<char16_t*>(out.data()));
    out.truncate(n);
    return out;
}

KeywordMatcher::KeywordMatcher(const QString& keyword, MatchMode mode)
    : mode_(mode), needle_(mode == MatchMode::Loose ? looseFold(keyword) : keyword)
{}

bool KeywordMatcher::matchesCp932(QByteArrayView line)
{
    if (mode_ == MatchMode::Exact) {
        cp932::decodeInto(line, decoded_);
        return contains(decoded_);
    }
    if (static_cast<qsizetype>(buffer_.size()) < line.size())
        buffer_.resize(static_cast<std::size_t>(line.size()));
    static const Cp932Tables& cp932 = cp932Tables();
    const qsizetype n =
        foldCp932(cp932, reinterpret_cast<const unsigned char*>(line.data()), line.size(), buffer_.data());
    return contains(QStringView(buffer_.data(), n));
}

bool KeywordMatcher::matches(QStringView line)
{
    if (mode_ == MatchMode::Exact)
        return contains(line);
    folded_.resize(0);
    appendLooseFold(line, folded_);
    return contains(folded_);
}

bool KeywordMatcher::contains(QStringView haystack) const
{
    // Finding the first character is vectorised; a line rarely holds it often.
    const qsizetype n = needle_.size();
    if (n == 0)
        return true;
    const qsizetype lastStart = haystack.size() - n;
    const QChar first = needle_.front();
    const QStringView rest = QStringView(needle_).mid(1);
    for (qsizetype from = 0; from <= lastStart;) {
        const qsizetype at = haystack.first(lastStart + 1).indexOf(first, from);
        if (at < 0)
            return false;
        if (haystack.sliced(at + 1, n - 1) == rest)
            return true;
        from = at + 1;
    }
    return false;
}

} // namespace search
