#include "CommandLine.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

using command::Action;

// Every option and the usage errors, each with the words the user sees.
TEST(Parse, givesTheRequestOrTheUsageError)
{
    const struct
    {
        std::vector<const char*> args;
        bool terminal;
        Action action;     // ignored when error is set
        const char* value; // the number, text or keyword the action takes
        const char* error; // part of the usage error; nullptr: accepted
    } cases[] = {
        {{}, true, Action::Start, "", nullptr},
        {{"--show"}, true, Action::Show, "", nullptr},
        {{"--toggle"}, false, Action::Toggle, "", nullptr},
        {{"--open", "0042"}, true, Action::Open, "42", nullptr},
        {{"--open=9999"}, true, Action::Open, "9999", nullptr},
        {{"--new"}, true, Action::NewEmpty, "", nullptr},
        {{"--new"}, false, Action::NewText, "<input>", nullptr},
        {{"--new", "-"}, true, Action::NewText, "<input>", nullptr},
        {{"--new", "メモ 1"}, false, Action::NewText, "メモ 1", nullptr},
        {{"--new", "--", "-x"}, true, Action::NewText, "-x", nullptr},
        {{"--search", "鍵"}, true, Action::Search, "鍵", nullptr},
        {{"--loose", "--search", "a"}, true, Action::Search, "a loose", nullptr},
        {{"--list"}, true, Action::List, "", nullptr},
        {{"--quit"}, true, Action::Quit, "", nullptr},
        {{"--version"}, true, Action::Version, "", nullptr},
        {{"--help"}, true, Action::Help, "", nullptr},
        {{"--frobnicate"}, true, Action::Start, "", "知らないオプションです: --frobnicate"},
        {{"--open"}, true, Action::Start, "", "値を指定してください"},
        {{"--open", "10000"}, true, Action::Start, "", "0から9999まで"},
        {{"--open", "-1"}, true, Action::Start, "", "0から9999まで"},
        {{"--open", "1.5"}, true, Action::Start, "", "0から9999まで"},
        {{"--open", "x"}, true, Action::Start, "", "0から9999まで"},
        {{"--search", ""}, true, Action::Start, "", "検索する言葉が空です"},
        {{"--loose"}, true, Action::Start, "", "--search と一緒に"},
        {{"--show", "--quit"}, true, Action::Start, "", "一つだけ"},
        {{"--list", "extra"}, true, Action::Start, "", "余分な引数があります: extra"},
        {{"--new", "a", "b"}, true, Action::Start, "", "余分な引数があります: b"},
    };
    for (const auto& c : cases) {
        QStringList args;
        for (const char* a : c.args)
            args << QString::fromUtf8(a);
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const command::Parsed parsed = command::parseCommandLine(args, c.terminal);
        if (c.error) {
            EXPECT_FALSE(parsed.request);
            EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.error))) << parsed.error.toStdString();
            continue;
        }
        ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
        const command::Request& r = *parsed.request;
        EXPECT_EQ(r.action, c.action);
        const QString value = r.action == Action::Open      ? QString::number(r.number)
                              : r.action == Action::NewText ? (r.textFromInput ? QStringLiteral("<input>") : r.text)
                              : r.action == Action::Search
                                  ? r.keyword + (r.loose ? QStringLiteral(" loose") : QString())
                                  : QString();
        EXPECT_EQ(value, QString::fromUtf8(c.value));
    }
}

} // namespace
