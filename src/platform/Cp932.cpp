#include "Cp932.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <mutex>

// The tables are filled once from glibc's iconv "CP932" converter. It carries Microsoft's own mapping
// (0x5C is "\", 0x8160 is U+FF5E, NEC and IBM extensions, IBM rows preferred when encoding), which
// Qt's ICU converter only approximates and which Qt does not build on every platform. Looking
// characters up in a table afterwards keeps the full-text search from paying iconv's per-call cost.
namespace cp932 {
namespace {

constexpr char16_t Unmapped = 0xFFFF;

struct Tables
{
    std::array<char16_t, 0x10000> toUnicode{};  // single bytes at their value, pairs at lead << 8 | trail
    std::array<quint16, 0x10000> fromUnicode{}; // 0 = not representable (U+0000 is handled apart)
    QString failure;                            // why the converter could not be set up; empty when it was
};

// Windows' code page beyond what the tables take from glibc: five single bytes glibc does not know,
// both ways, and six characters written as a look-alike's code (U+301C as 0x8160, read as U+FF5E).
struct WindowsOnly
{
    quint16 code;
    char16_t ch;
    bool decodes;
};
constexpr WindowsOnly WindowsOnlyMappings[] = {
    {0x80, 0x0080, true},    {0xA0, 0xF8F0, true},    {0xFD, 0xF8F1, true},    {0xFE, 0xF8F2, true},
    {0xFF, 0xF8F3, true},    {0x8191, 0x00A2, false}, {0x8192, 0x00A3, false}, {0x81CA, 0x00AC, false},
    {0x8161, 0x2016, false}, {0x817C, 0x2212, false}, {0x8160, 0x301C, false},
};

char16_t decodeWithIconv(iconv_t cd, const char* bytes, size_t length)
{
    char16_t out[2] = {};
    char* in = const_cast<char*>(bytes);
    size_t inLeft = length;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
        outLeft != sizeof out - sizeof(char16_t))
        return Unmapped;
    return out[0];
}

quint16 encodeWithIconv(iconv_t cd, char16_t ch)
{
    unsigned char out[4] = {};
    char* in = reinterpret_cast<char*>(&ch);
    size_t inLeft = sizeof ch;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return 0;
    const size_t written = sizeof out - outLeft;
    if (written == 1)
        return out[0];
    if (written == 2)
        return static_cast<quint16>(out[0] << 8 | out[1]);
    return 0;
}

QString setupFailure(int error)
{
    if (error == EINVAL)
        return QStringLiteral("システムの文字コード変換機能(iconv)に%1の変換がありません。"
                              "glibcの変換モジュール(gconv)が入っているか確かめてください。")
            .arg(name());
    return QStringLiteral("システムの文字コード変換機能(iconv)で%1の変換を準備できませんでした（%2）")
        .arg(name(), QString::fromLocal8Bit(std::strerror(error)));
}

std::unique_ptr<Tables> buildTables()
{
    auto t = std::make_unique<Tables>();
    t->toUnicode.fill(Unmapped);
    const iconv_t failed = reinterpret_cast<iconv_t>(-1);
    iconv_t dec = iconv_open("UTF-16LE", "CP932");
    int openError = dec == failed ? errno : 0;
    iconv_t enc = iconv_open("CP932", "UTF-16LE");
    if (enc == failed && openError == 0)
        openError = errno;
    if (dec == failed || enc == failed) {
        t->failure = setupFailure(openError);
        if (dec != failed)
            iconv_close(dec);
        if (enc != failed)
            iconv_close(enc);
        // Without glibc's converter only ASCII survives; everything else is reported as unmapped.
        for (int b = 0; b < 0x80; ++b) {
            t->toUnicode[b] = static_cast<char16_t>(b);
            t->fromUnicode[b] = static_cast<quint16>(b);
        }
        return t;
    }
    for (int b = 0; b < 0x100; ++b) {
        if (isLeadByte(static_cast<unsigned char>(b)))
            continue;
        const char byte = static_cast<char>(b);
        t->toUnicode[b] = decodeWithIconv(dec, &byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            t->toUnicode[lead << 8 | trail] = decodeWithIconv(dec, pair, 2);
        }
    }
    // Several byte pairs decode to the same character; the encoder's own choice is the one Windows makes.
    for (int code = 0; code < 0x10000; ++code) {
        const char16_t ch = t->toUnicode[code];
        if (ch == Unmapped || ch == 0 || t->fromUnicode[ch] != 0)
            continue;
        t->fromUnicode[ch] = encodeWithIconv(enc, ch);
    }
    for (const WindowsOnly& w : WindowsOnlyMappings) {
        if (w.decodes)
            t->toUnicode[w.code] = w.ch;
        t->fromUnicode[w.ch] = w.code;
    }
    iconv_close(dec);
    iconv_close(enc);
    return t;
}

// Only the user-interface thread of a test installs one.
const ScopedConverterFailure* installedFailure = nullptr;

const Tables& tables()
{
    static std::once_flag once;
    static std::unique_ptr<Tables> t;
    std::call_once(once, [] { t = buildTables(); });
    return *t;
}

} // namespace

QString name()
{
    return QStringLiteral("Shift_JIS（CP932）");
}

QString decode(QByteArrayView bytes, bool* invalid)
{
    QString out;
    decodeInto(bytes, out, invalid);
    return out;
}

void decodeInto(QByteArrayView bytes, QString& out, bool* invalid)
{
    out.resize(bytes.size());
    char16_t* dst = reinterpret_cast<char16_t*>(out.data());
    const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    const Tables* t = nullptr;
    bool bad = false;
    qsizetype i = 0;
    qsizetype o = 0;
    while (i < n) {
        const unsigned char b = src[i];
        if (b < 0x80) {
            dst[o++] = b;
            ++i;
            continue;
        }
        if (!t)
            t = &tables();
        char16_t ch = Unmapped;
        if (isLeadByte(b) && i + 1 < n) {
            ch = t->toUnicode[b << 8 | src[i + 1]];
            if (ch != Unmapped) {
                dst[o++] = ch;
                i += 2;
                continue;
            }
        } else if (!isLeadByte(b)) {
            ch = t->toUnicode[b];
        }
        if (ch == Unmapped) {
            ch = u'\uFFFD';
            bad = true;
        }
        dst[o++] = ch;
        ++i;
    }
    out.truncate(o);
    if (invalid)
        *invalid = bad;
}

QByteArray encode(QStringView text, bool* replaced, bool lfAsCrLf)
{
    // Written through a pointer into room for the worst case: a memo of millions of characters is saved
    // at the speed of memory.
    QByteArray out(text.size() * 2, Qt::Uninitialized);
    char* to = out.data();
    const Tables* t = nullptr;
    bool lossy = false;
    const char16_t* from = text.utf16();
    const char16_t* const end = from + text.size();
    for (; from < end; ++from) {
        const char16_t ch = *from;
        if (ch < 0x80) {
            if (ch == u'\n' && lfAsCrLf)
                *to++ = '\r';
            *to++ = static_cast<char>(ch);
            continue;
        }
        if (!t)
            t = &tables();
        const quint16 code = t->fromUnicode[ch];
        if (code == 0) {
            // A surrogate pair is one character and gets one "?".
            if (QChar::isHighSurrogate(ch) && from + 1 < end && QChar::isLowSurrogate(from[1]))
                ++from;
            *to++ = '?';
            lossy = true;
        } else if (code < 0x100) {
            *to++ = static_cast<char>(code);
        } else {
            *to++ = static_cast<char>(code >> 8);
            *to++ = static_cast<char>(code & 0xFF);
        }
    }
    out.truncate(to - out.data());
    if (replaced)
        *replaced = lossy;
    return out;
}

bool converterReady(QString* reason)
{
    const QString failure = installedFailure ? installedFailure->reason_ : tables().failure;
    if (reason)
        *reason = failure;
    return failure.isEmpty();
}

ScopedConverterFailure::ScopedConverterFailure(const QString& reason)
    : previous_(installedFailure), reason_(reason.isEmpty() ? QStringLiteral("(理由不明)") : reason)
{
    installedFailure = this;
}

ScopedConverterFailure::~ScopedConverterFailure()
{
    installedFailure = previous_;
}

} // namespace cp932
