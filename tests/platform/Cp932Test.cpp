#include "Cp932.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct Mapping
{
    const char* utf8;
    QByteArray cp932;
};

class Cp932Mapping : public ::testing::TestWithParam<Mapping>
{
};

TEST_P(Cp932Mapping, encodesAndDecodesAsWindowsDoes)
{
    const QString text = QString::fromUtf8(GetParam().utf8);
    bool replaced = true;
    EXPECT_EQ(cp932::encode(text, &replaced), GetParam().cp932);
    EXPECT_FALSE(replaced);
    bool invalid = true;
    EXPECT_EQ(cp932::decode(GetParam().cp932, &invalid), text);
    EXPECT_FALSE(invalid);
}

INSTANTIATE_TEST_SUITE_P(Table, Cp932Mapping,
                         ::testing::Values(Mapping{"あ", QByteArray("\x82\xA0")}, Mapping{"ア", QByteArray("\x83\x41")},
                                           Mapping{"ｱ", QByteArray("\xB1")}, Mapping{"～", QByteArray("\x81\x60")},
                                           Mapping{"①", QByteArray("\x87\x40")}, Mapping{"\\", QByteArray("\x5C")},
                                           Mapping{"ソ表", QByteArray("\x83\x5C\x95\x5C")},
                                           Mapping{"abc 123", QByteArray("abc 123")}));

TEST(Cp932, unrepresentableCharactersBecomeOneQuestionMarkEachAndAreReported)
{
    bool replaced = false;
    // An emoji is a surrogate pair but one character; Hangul and the euro sign have no CP932 form.
    EXPECT_EQ(cp932::encode(QString::fromUtf8("a😀b한€"), &replaced), QByteArray("a?b??"));
    EXPECT_TRUE(replaced);
}

TEST(Cp932, duplicateCodesEncodeToTheFormWindowsWrites)
{
    // NEC-selected IBM extensions (0xED40) decode, but encoding picks the IBM row (0xFA5C).
    EXPECT_EQ(cp932::decode(QByteArray("\xED\x40")), QString::fromUtf8("纊"));
    EXPECT_EQ(cp932::encode(QString::fromUtf8("纊")), QByteArray("\xFA\x5C"));
}

TEST(Cp932, invalidBytesDecodeToReplacementCharacterAndAreReported)
{
    struct Case
    {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {QByteArray("a\x82"), QString::fromUtf8("a\uFFFD")},         // lead byte at the end
        {QByteArray("\x82\x20x"), QString::fromUtf8("\uFFFD x")},    // lead byte with a bad trail
        {QByteArray("\xE3\x81\x82"), QString::fromUtf8("縺\uFFFD")}, // UTF-8 "あ": E381 is 縺, then a lone lead
        {QByteArray("\x81\x7F"), QString::fromUtf8("\uFFFD\x7F")},   // 0x7F is never a trail byte
    };
    for (const Case& c : cases) {
        bool invalid = false;
        EXPECT_EQ(cp932::decode(c.bytes, &invalid), c.text) << c.bytes.toHex().toStdString();
        EXPECT_TRUE(invalid) << c.bytes.toHex().toStdString();
    }
}

} // namespace

TEST(Cp932, converterReadyUnlessATestTakesItAway)
{
    QString reason = QStringLiteral("stale");
    EXPECT_TRUE(cp932::converterReady(&reason));
    EXPECT_EQ(reason, QString());
    {
        const cp932::ScopedConverterFailure outer(QStringLiteral("outer"));
        {
            const cp932::ScopedConverterFailure inner(QStringLiteral("inner"));
            EXPECT_FALSE(cp932::converterReady(&reason));
            EXPECT_EQ(reason, QStringLiteral("inner"));
        }
        EXPECT_FALSE(cp932::converterReady(&reason));
        EXPECT_EQ(reason, QStringLiteral("outer"));
    }
    EXPECT_TRUE(cp932::converterReady());
}
