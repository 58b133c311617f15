#include "CommandLine.h"

#include "ConsoleCommands.h"
#include "QtPrinters.h"
#include "TempProgramFolder.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using command::Action;

struct ParseCase
{
    std::vector<const char*> args;
    bool terminal;
    Action action;     // ignored when error is set
    const char* value; // the number, text or keyword the action takes
    const char* error; // part of the usage error; nullptr: accepted
};

class Parse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(Parse, givesTheRequestOrTheUsageError)
{
    const ParseCase& c = GetParam();
    QStringList args;
    for (const char* a : c.args)
        args << QString::fromUtf8(a);
    const command::Parsed parsed = command::parseCommandLine(args, c.terminal);
    if (c.error) {
        EXPECT_FALSE(parsed.request);
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.error))) << parsed.error.toStdString();
        return;
    }
    ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
    const command::Request& r = *parsed.request;
    EXPECT_EQ(r.action, c.action);
    const QString value = QString::fromUtf8(c.value);
    switch (r.action) {
    case Action::Open:
        EXPECT_EQ(QString::number(r.number), value);
        break;
    case Action::NewText:
        EXPECT_EQ(r.textFromInput ? QStringLiteral("<input>") : r.text, value);
        break;
    case Action::Search:
        EXPECT_EQ(r.keyword + (r.loose ? QStringLiteral(" loose") : QString()), value);
        break;
    default:
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Parse,
    ::testing::Values(ParseCase{{}, true, Action::Start, "", nullptr},
                      ParseCase{{"--show"}, true, Action::Show, "", nullptr},
                      ParseCase{{"--toggle"}, false, Action::Toggle, "", nullptr},
                      ParseCase{{"--open", "0042"}, true, Action::Open, "42", nullptr},
                      ParseCase{{"--open=9999"}, true, Action::Open, "9999", nullptr},
                      ParseCase{{"--new"}, true, Action::NewEmpty, "", nullptr},
                      ParseCase{{"--new"}, false, Action::NewText, "<input>", nullptr},
                      ParseCase{{"--new", "-"}, true, Action::NewText, "<input>", nullptr},
                      ParseCase{{"--new", "メモ 1"}, false, Action::NewText, "メモ 1", nullptr},
                      ParseCase{{"--new", "--", "-x"}, true, Action::NewText, "-x", nullptr},
                      ParseCase{{"--search", "鍵"}, true, Action::Search, "鍵", nullptr},
                      ParseCase{{"--loose", "--search", "a"}, true, Action::Search, "a loose", nullptr},
                      ParseCase{{"--list"}, true, Action::List, "", nullptr},
                      ParseCase{{"--quit"}, true, Action::Quit, "", nullptr},
                      ParseCase{{"--version"}, true, Action::Version, "", nullptr},
                      ParseCase{{"--help"}, true, Action::Help, "", nullptr},
                      ParseCase{{"--frobnicate"}, true, Action::Start, "", "知らないオプションです: --frobnicate"},
                      ParseCase{{"--open"}, true, Action::Start, "", "値を指定してください"},
                      ParseCase{{"--open", "10000"}, true, Action::Start, "", "0から9999まで"},
                      ParseCase{{"--open", "-1"}, true, Action::Start, "", "0から9999まで"},
                      ParseCase{{"--open", "1.5"}, true, Action::Start, "", "0から9999まで"},
                      ParseCase{{"--open", "x"}, true, Action::Start, "", "0から9999まで"},
                      ParseCase{{"--search", ""}, true, Action::Start, "", "検索する言葉が空です"},
                      ParseCase{{"--loose"}, true, Action::Start, "", "--search と一緒に"},
                      ParseCase{{"--show", "--quit"}, true, Action::Start, "", "一つだけ"},
                      ParseCase{{"--list", "extra"}, true, Action::Start, "", "余分な引数があります: extra"},
                      ParseCase{{"--new", "a", "b"}, true, Action::Start, "", "余分な引数があります: b"}));

// A memo written by --new reads back as the text, and --list and --search find it.
TEST(NewMemoFromTheShell, writesCp932WithCrLfAtTheLowestFreeNumberAndRefusesWhatItCannotHold)
{
    TempProgramFolder folder;
    folder.writeMemo(0, "taken\r\n");
    folder.writeMemo(2, "\x82\xa0 keyword\r\nsecond\r\n");

    const command::ConsoleResult first = command::writeNewMemo(folder.path(), QStringLiteral("a\nb\n"));
    EXPECT_EQ(first.out, QByteArray("0001\n"));
    EXPECT_EQ(folder.readMemo(1), QByteArray("a\r\nb\r\n"));
    const command::ConsoleResult crlf = command::writeNewMemo(folder.path(), QStringLiteral("あ\r\nc"));
    EXPECT_EQ(crlf.out, QByteArray("0003\n"));
    EXPECT_EQ(folder.readMemo(3), QByteArray("\x82\xa0\r\nc\r\n"));

    const command::ConsoleResult refused = command::writeNewMemo(folder.path(), QStringLiteral("é😀x😀"));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains("é 😀")) << refused.err.toStdString();
    EXPECT_FALSE(folder.memoExists(4));

    EXPECT_EQ(command::listMemos(folder.path()).out,
              QByteArray("0000\ttaken\n0001\ta\n0002\t\xe3\x81\x82 keyword\n0003\t\xe3\x81\x82\n"));
    const command::ConsoleResult hits = command::searchMemos(folder.path(), QStringLiteral("KEYWORD"), true);
    EXPECT_EQ(hits.exitCode, 0);
    EXPECT_EQ(hits.out, (folder.memoPath(2) + QLatin1Char('\n')).toUtf8());
    EXPECT_EQ(command::searchMemos(folder.path(), QStringLiteral("KEYWORD"), false).exitCode, 1);
}

} // namespace
