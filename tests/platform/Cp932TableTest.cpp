#include "Cp932.h"
#include "QtPrinters.h"

#include <QFile>
#include <QStringList>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

constexpr char16_t Invalid = 0xFFFD;

// The whole code page as generated once from an independent converter (cp932_reference.py).
struct Reference
{
    std::array<char16_t, 0x10000> decoded; // by code: a single byte, or lead << 8 | trail
    std::map<char16_t, quint16> written;   // characters whose code is not the one decoding to them
};

uint hex(const QString& field)
{
    bool ok = false;
    const uint value = field.toUInt(&ok, 16);
    EXPECT_TRUE(ok) << field.toStdString();
    return value;
}

Reference loadReference()
{
    Reference ref;
    ref.decoded.fill(Invalid);
    QFile file(QStringLiteral(CP932_REFERENCE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << CP932_REFERENCE;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() < 3 || line.startsWith(QLatin1Char('#')))
            continue;
        if (f[0] == QLatin1String("s")) {
            for (uint i = 0; i < hex(f[3]); ++i)
                ref.decoded[hex(f[1]) + i] = static_cast<char16_t>(hex(f[2]) + i);
        } else if (f[0] == QLatin1String("r")) {
            const QString row = line.mid(f[0].size() + f[1].size() + 2);
            EXPECT_EQ(row.size(), 0xFD - 0x40) << line.toStdString();
            for (qsizetype i = 0; i < row.size(); ++i)
                ref.decoded[hex(f[1]) << 8 | (0x40 + i)] = row[i].unicode();
        } else if (f[0] == QLatin1String("e")) {
            ref.written[static_cast<char16_t>(hex(f[1]))] = static_cast<quint16>(hex(f[2]));
        }
    }
    return ref;
}

const Reference& reference()
{
    static const Reference ref = loadReference();
    return ref;
}

QByteArray bytesOf(uint code)
{
    if (code < 0x100)
        return QByteArray(1, static_cast<char>(code));
    const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return QByteArray(pair, 2);
}

TEST(Cp932Table, everySingleByteAndPairDecodesAsWindowsReadsIt)
{
    const Reference& ref = reference();
    int checked = 0;
    for (uint code = 0; code < 0x10000; ++code) {
        const unsigned char first = static_cast<unsigned char>(code < 0x100 ? code : code >> 8);
        if (code >= 0x100 ? !cp932::isLeadByte(first) : cp932::isLeadByte(first))
            continue;
        const QByteArray bytes = bytesOf(code);
        bool invalid = false;
        const QString text = cp932::decode(bytes, &invalid);
        ++checked;
        if (ref.decoded[code] != Invalid) {
            ASSERT_EQ(text, QString(QChar(ref.decoded[code]))) << bytes.toHex().toStdString();
            ASSERT_FALSE(invalid) << bytes.toHex().toStdString();
        } else {
            // An invalid pair spoils its lead byte only; a trail that is a character of its own stays one.
            ASSERT_TRUE(invalid) << bytes.toHex().toStdString();
            ASSERT_EQ(text.front(), QChar(Invalid)) << bytes.toHex().toStdString();
        }
    }
    EXPECT_EQ(checked, 0x100 - 60 + 60 * 0x100);
}

TEST(Cp932Table, everyBmpCharacterIsWrittenAsWindowsWritesIt)
{
    const Reference& ref = reference();
    std::vector<std::vector<quint16>> forms(0x10000);
    for (uint code = 0; code < 0x10000; ++code) {
        if (ref.decoded[code] != Invalid)
            forms[ref.decoded[code]].push_back(static_cast<quint16>(code));
    }
    for (uint ch = 0; ch < 0x10000; ++ch) {
        if (QChar::isSurrogate(ch))
            continue;
        const auto listed = ref.written.find(static_cast<char16_t>(ch));
        QByteArray expected;
        if (listed != ref.written.end()) {
            expected = bytesOf(listed->second);
        } else if (forms[ch].size() == 1) {
            expected = bytesOf(forms[ch].front());
        } else {
            ASSERT_TRUE(forms[ch].empty()) << "reference lists no choice for U+" << std::hex << ch;
        }
        const QString text(QChar(static_cast<char16_t>(ch)));
        bool replaced = false;
        const QByteArray written = cp932::encode(text, &replaced);
        if (expected.isEmpty()) {
            ASSERT_EQ(written, QByteArray("?")) << "U+" << std::hex << ch;
            ASSERT_TRUE(replaced) << "U+" << std::hex << ch;
        } else {
            ASSERT_EQ(written, expected) << "U+" << std::hex << ch;
            ASSERT_FALSE(replaced) << "U+" << std::hex << ch;
        }
    }
}

} // namespace
