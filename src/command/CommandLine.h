#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The programs' command line, read in one place: what a start asks for, or why it was refused.
namespace command {

enum class Action
{
    Start, // no option: the program as it always started
    Show,
    Toggle,
    Open,
    NewEmpty, // the window on a free number, nothing written yet
    NewText,  // a memo written from the text or standard input, no window
    Search,
    List,
    Quit,
    Version,
    Help
};

struct Request
{
    Action action = Action::Start;
    int number = -1;            // Open
    QString text;               // NewText, unless it comes from standard input
    bool textFromInput = false; // NewText
    QString keyword;            // Search
    bool loose = false;         // Search
};

// A request, or the usage error to print (exit code 2).
struct Parsed
{
    std::optional<Request> request;
    QString error;
};

// `arguments` without the program's own name. Standard input that is not a terminal gives `--new`
// its text.
Parsed parseCommandLine(const QStringList& arguments, bool inputIsTerminal);

// What --help prints.
QString helpText();

} // namespace command
