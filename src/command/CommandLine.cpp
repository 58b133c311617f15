#include "CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <vector>

namespace command {

namespace {

struct OptionText
{
    const char* name;
    const char* valueName; // nullptr: a flag
    Action action;         // Start: no action of its own
    const char* help;
};

// The order --help lists them in.
const OptionText optionTexts[] = {
    {"show", nullptr, Action::Show, "メモの画面を表示します。起動していなければ起動します。"},
    {"toggle", nullptr, Action::Toggle, "メモの画面が前面にあれば隠し、そうでなければ表示します。"},
    {"open", "N", Action::Open, "N番（0～9999）のメモを表示します。起動していなければ起動します。"},
    {"new", nullptr, Action::NewText,
     "新しいメモを空いている一番小さい番号に作ります。TEXTか標準入力（-）の内容を保存して番号を表示します。"
     "どちらもなければ、空のメモの画面を表示します。"},
    {"search", "KEYWORD", Action::Search, "KEYWORDを含むメモのパスを番号順に表示します。"},
    {"loose", nullptr, Action::Start, "--searchで、大文字と小文字、全角と半角、ひらがなとカタカナを区別しません。"},
    {"list", nullptr, Action::List, "すべてのメモの番号と1行目をタブで区切って表示します。"},
    {"quit", nullptr, Action::Quit, "起動中のScrivletを、表示中のメモを保存してから終了します。"},
    {"version", nullptr, Action::Version, "バージョンを表示します。"},
    {"help", nullptr, Action::Help, "この説明を表示します。"},
};

QString optionName(const OptionText& o)
{
    return QString::fromLatin1(o.name);
}

Parsed refused(const QString& error)
{
    return {std::nullopt, error};
}

} // namespace

Parsed parseCommandLine(const QStringList& arguments, bool inputIsTerminal)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionText& o : optionTexts) {
        QCommandLineOption option(optionName(o));
        if (o.valueName)
            option.setValueName(QString::fromLatin1(o.valueName));
        parser.addOption(option);
    }
    if (!parser.parse(QStringList{QStringLiteral("Scrivlet")} + arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            const qsizetype dashes = arguments.contains(QLatin1Char('-') + name) ? 1 : 2;
            return refused(QStringLiteral("知らないオプションです: ") + QString(dashes, QLatin1Char('-')) + name);
        }
        return refused(QStringLiteral("オプションに続けて値を指定してください（--open N、--search KEYWORD）。"));
    }

    Request request;
    std::vector<const OptionText*> actions;
    for (const OptionText& o : optionTexts) {
        if (o.action != Action::Start && parser.isSet(optionName(o)))
            actions.push_back(&o);
    }
    if (actions.size() > 1)
        return refused(QStringLiteral("オプションは一度に一つだけ指定してください: --%1 と --%2")
                           .arg(optionName(*actions[0]), optionName(*actions[1])));
    if (!actions.empty())
        request.action = actions.front()->action;
    request.loose = parser.isSet(QStringLiteral("loose"));
    if (request.loose && request.action != Action::Search)
        return refused(QStringLiteral("--loose は --search と一緒に指定してください。"));

    const QStringList rest = parser.positionalArguments();
    const qsizetype allowed = request.action == Action::NewText ? 1 : 0;
    if (rest.size() > allowed)
        return refused(QStringLiteral("余分な引数があります: ") + rest.at(allowed));

    switch (request.action) {
    case Action::Open: {
        const QString value = parser.value(QStringLiteral("open"));
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
        if (!digits.match(value).hasMatch())
            return refused(QStringLiteral("メモの番号は0から9999までの数で指定してください: ") + value);
        request.number = value.toInt();
        break;
    }
    case Action::NewText:
        if (rest.isEmpty() && inputIsTerminal)
            request.action = Action::NewEmpty;
        else if (rest.isEmpty() || rest.first() == QLatin1String("-"))
            request.textFromInput = true;
        else
            request.text = rest.first();
        break;
    case Action::Search:
        request.keyword = parser.value(QStringLiteral("search"));
        if (request.keyword.isEmpty())
            return refused(QStringLiteral("検索する言葉が空です。"));
        break;
    default:
        break;
    }
    return {request, QString()};
}

QString helpText()
{
    QString text = QStringLiteral("使い方: Scrivlet [オプション]\n\n"
                                  "オプションを付けずに起動すると、通知領域にアイコンを置いて常駐します。\n"
                                  "起動中のScrivletがあれば、オプションの指示はそちらに渡します。\n\n");
    for (const OptionText& o : optionTexts) {
        QString left = QStringLiteral("--") + optionName(o);
        if (o.valueName)
            left += QLatin1Char(' ') + QString::fromLatin1(o.valueName);
        if (o.action == Action::NewText)
            left += QStringLiteral(" [TEXT|-]");
        text += QStringLiteral("  %1\n      %2\n").arg(left, QString::fromUtf8(o.help));
    }
    text += QStringLiteral("\n終了コード: 0 成功、1 失敗（--search では見つからなかったとき）、"
                           "2 使い方の誤りか、--search のエラー\n");
    return text;
}

} // namespace command
