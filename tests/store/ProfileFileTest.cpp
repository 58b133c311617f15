#include "ProfileFile.h"

#include "Cp932.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <vector>

namespace {

QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

QString read(const QString& path, const QString& section, const QString& key)
{
    QString error;
    const QString value = profile::readValue(path, section, key, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return value;
}

// Trail bytes 0x5B "[" and 0x5D "]": ゾ is 83 5D, ゼ 83 5B, 閏 89 5B, 馨 8A 5D.
TEST(ProfileFile, namesWhoseTrailBytesLookLikeBracketsReadBackAndAreWrittenOnce)
{
    struct Case
    {
        const char* section;
        const char* key;
    };
    const Case cases[] = {{"ゾーン設定", "ゼロ"}, {"閏[馨", "馨]"}, {"[ゾ", "ゾ]x"}, {"ｱ=ゾ", "a;b"}};
    for (const Case& c : cases) {
        TempProgramFolder folder;
        const QString path = folder.settingsPath();
        for (const char* value : {"1", "ゾーン]2"}) {
            ASSERT_TRUE(profile::writeValue(path, utf8(c.section), utf8(c.key), utf8(value))) << c.section;
            EXPECT_EQ(read(path, utf8(c.section), utf8(c.key)), utf8(value)) << c.section;
        }
        const QByteArray expected = '[' + cp932::encode(utf8(c.section)) + "]\r\n" + cp932::encode(utf8(c.key)) + '=' +
                                    cp932::encode(utf8("ゾーン]2")) + "\r\n";
        EXPECT_EQ(folder.readSettings(), expected) << c.section;
    }
}

TEST(ProfileFile, blanksAroundNamesFollowOneRuleInCallsAndInTheFile)
{
    const QString blanks[] = {QStringLiteral(" "), QStringLiteral("\t"), QStringLiteral("\v"), QStringLiteral("\f"),
                              QStringLiteral(u"\u3000")};
    for (const QString& b : blanks) {
        TempProgramFolder folder;
        const QString path = folder.settingsPath();
        const QString section = b + utf8("設定") + b;
        const QString key = b + QStringLiteral("Key") + b;
        ASSERT_TRUE(profile::writeValue(path, section, key, QStringLiteral("1")));
        ASSERT_TRUE(profile::writeValue(path, section, key, QStringLiteral("2")));
        ASSERT_TRUE(profile::writeValue(path, utf8("設定"), QStringLiteral("key"), QStringLiteral("3")));
        EXPECT_EQ(folder.readSettings(), cp932::encode(utf8("[設定]\r\nKey=3\r\n")));
        EXPECT_EQ(read(path, section, key), QStringLiteral("3"));

        // Hand-edited files carry the blanks inside the brackets and around "=".
        const QString line1 = b + u'[' + b + utf8("設定") + b + u']' + b;
        const QString line2 = b + QStringLiteral("Key") + b + u'=' + b + QStringLiteral("v") + b;
        folder.writeSettings(cp932::encode(line1 + QStringLiteral("\r\n") + line2 + QStringLiteral("\r\n")));
        EXPECT_EQ(read(path, utf8("設定"), QStringLiteral("key")), QStringLiteral("v"));
        ASSERT_TRUE(profile::writeValue(path, section, key, QStringLiteral("w")));
        EXPECT_EQ(read(path, section, key), QStringLiteral("w"));
        EXPECT_EQ(folder.readSettings().count("Key"), 1);
    }
}

TEST(ProfileFile, whatWouldNotReadBackIsRefusedWithAReasonAndTouchesNothing)
{
    struct Case
    {
        QString section;
        QString key;
        QString value;
    };
    const QString s = QStringLiteral("S");
    const QString k = QStringLiteral("K");
    const Case cases[] = {
        {s, QStringLiteral(";K"), QStringLiteral("v")},
        {s, QStringLiteral("[K]"), QStringLiteral("v")},
        {s, QStringLiteral(u"\u3000;K"), QStringLiteral("v")},
        {s, QStringLiteral("K=1"), QStringLiteral("v")},
        {QStringLiteral("a]b"), k, QStringLiteral("v")},
        {s, k, QStringLiteral("a\r\nb")},
        {s, k, QStringLiteral("a") + QChar(0) + u'b'},
        {s, QStringLiteral("K") + QChar(0), QStringLiteral("v")},
        {s, utf8("한"), QStringLiteral("v")},
        {s, k, utf8("a😀")},
        {QStringLiteral(u"\u3000"), k, QStringLiteral("v")},
        {s, QStringLiteral(" \t"), QStringLiteral("v")},
    };
    for (const Case& c : cases) {
        TempProgramFolder folder;
        const QByteArray before("[S]\r\nK=old\r\n");
        folder.writeSettings(before);
        QString error;
        EXPECT_FALSE(profile::writeValue(folder.settingsPath(), c.section, c.key, c.value, &error))
            << c.key.toStdString();
        EXPECT_FALSE(error.isEmpty()) << c.key.toStdString();
        EXPECT_EQ(folder.readSettings(), before) << c.key.toStdString();
    }
}

TEST(ProfileFile, valueStopsAtItsFirstNul)
{
    TempProgramFolder folder;
    folder.writeSettings(QByteArray("[S]\r\nK=ab\0cd\r\nL=\0x\r\n", 19));
    EXPECT_EQ(read(folder.settingsPath(), QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("ab"));
    EXPECT_EQ(read(folder.settingsPath(), QStringLiteral("S"), QStringLiteral("L")), QString());
}

// Random CP932 names, weighted towards the characters the parser must not mistake.
class NameMaker
{
public:
    explicit NameMaker(unsigned seed) : rng_(seed) {}

    QString name(int maxLength)
    {
        static const QString tricky = QString::fromUtf8("ゾゼ閏馨ソ表能ー‐\\[];=#'\" 　aAｱ\u0080\uF8F0纊");
        QString out;
        const int length = pick(1, maxLength);
        while (out.size() < length) {
            if (pick(0, 2) == 0) {
                out += tricky[pick(0, static_cast<int>(tricky.size()) - 1)];
                continue;
            }
            const char pair[2] = {static_cast<char>(pick(0, 1) ? pick(0x81, 0x9F) : pick(0xE0, 0xFC)),
                                  static_cast<char>(pick(0x40, 0xFC))};
            bool invalid = false;
            const QString ch = cp932::decode(QByteArrayView(pair, 2), &invalid);
            if (!invalid)
                out += ch;
        }
        return out;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

private:
    std::mt19937 rng_;
};

QList<QByteArray> linesOf(const QByteArray& file)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QString blankTrimmed(QString s)
{
    auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\u3000'; };
    while (!s.isEmpty() && blank(s.front()))
        s.remove(0, 1);
    while (!s.isEmpty() && blank(s.back()))
        s.chop(1);
    return s;
}

// Each write must read back, leave every other line as it was and, repeated, change nothing.
TEST(ProfileFile, randomNamesReadBackAndEveryOtherLineStays)
{
    TempProgramFolder folder;
    const QString path = folder.settingsPath();
    folder.writeSettings(
        cp932::encode(utf8("; メモ帳で書いた行\r\n[ゾーン設定]\r\n能=望\r\n\r\n[Zormet Scrivlet Setting]\r\n"
                           "LastFileNum=12\r\n")));
    struct Written
    {
        QString section;
        QString key;
        QString value;
    };
    std::map<std::pair<QString, QString>, Written> model; // by case-folded, trimmed names
    NameMaker make(20260417);
    for (int round = 0; round < 200; ++round) {
        const QString section = make.name(6);
        const QString key = make.name(6);
        const QString value = blankTrimmed(make.name(10));
        const QString cleanSection = blankTrimmed(section);
        const QString cleanKey = blankTrimmed(key);
        const bool refused = cleanSection.isEmpty() || cleanKey.isEmpty() || section.contains(u']') ||
                             key.contains(u'=') || cleanKey.startsWith(u';') || cleanKey.startsWith(u'[');
        const QByteArray before = folder.readSettings();
        const std::string where = "round " + std::to_string(round) + ": [" + section.toStdString() + "] " +
                                  key.toStdString() + "=" + value.toStdString();
        QString error;
        ASSERT_EQ(profile::writeValue(path, section, key, value, &error), !refused) << where << error.toStdString();
        if (refused) {
            ASSERT_EQ(folder.readSettings(), before) << where;
            continue;
        }
        ASSERT_EQ(read(path, section, key), value) << where;
        const QByteArray after = folder.readSettings();
        ASSERT_TRUE(profile::writeValue(path, section, key, value));
        ASSERT_EQ(folder.readSettings(), after) << where;

        // Outside the common head and tail: at most the replaced line before, the new lines after.
        const QList<QByteArray> b = linesOf(before);
        const QList<QByteArray> a = linesOf(after);
        qsizetype head = 0;
        while (head < b.size() && head < a.size() && b[head] == a[head])
            ++head;
        qsizetype tail = 0;
        while (tail < b.size() - head && tail < a.size() - head && b[b.size() - 1 - tail] == a[a.size() - 1 - tail])
            ++tail;
        ASSERT_LE(b.size() - head - tail, 1) << where;
        ASSERT_LE(a.size() - head - tail, 2) << where;
        const QByteArray header = '[' + cp932::encode(cleanSection) + "]\r";
        for (qsizetype i = head; i < a.size() - tail; ++i) {
            // A replaced key keeps the file's spelling; 0x3D "=" is never a trail byte.
            const qsizetype eq = a[i].indexOf('=');
            const bool isKeyLine =
                eq > 0 && a[i].sliced(eq + 1) == cp932::encode(value) + '\r' &&
                blankTrimmed(cp932::decode(a[i].first(eq))).compare(cleanKey, Qt::CaseInsensitive) == 0;
            ASSERT_TRUE(isKeyLine || a[i] == header) << where << " line " << a[i].toStdString();
        }

        model[{cleanSection.toCaseFolded(), cleanKey.toCaseFolded()}] = {section, key, value};
        // A few earlier values are still there.
        auto it = model.begin();
        std::advance(it, make.pick(0, static_cast<int>(model.size()) - 1));
        for (int n = 0; n < 5 && it != model.end(); ++n, ++it)
            ASSERT_EQ(read(path, it->second.section, it->second.key), it->second.value) << where;
    }
    EXPECT_EQ(read(path, QStringLiteral("Zormet Scrivlet Setting"), QStringLiteral("LastFileNum")),
              QStringLiteral("12"));
}

} // namespace
