#pragma once

#include "Failure.h"

#include <QString>

// Every message box and input box of both programs goes through this, so tests can answer them. Code
// without windows asks its questions and reports its failures through the one it is given.
class Prompter
{
public:
    enum class Icon
    {
        None,
        Information,
        Question,
        Exclamation
    };
    enum class Buttons
    {
        Ok,
        YesNo,
        YesNoCancel,
        // Yes and No, where Esc and the close box answer Cancel: the question is put off, not answered.
        YesNoOrLater
    };
    enum class Answer
    {
        Ok,
        Yes,
        No,
        Cancel
    };

    virtual ~Prompter() = default;

    virtual Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                           Answer defaultButton) = 0;
    // Returns "" when the user cancels, as well as for an empty answer.
    virtual QString input(const QString& prompt, const QString& title, const QString& proposed) = 0;
    // The warning box that reports a failure; the caller leaves everything as it was.
    virtual void showFailure(const Failure& failure, const QString& title) = 0;
    // The same box asking whether to go on all the same, failure.closing being the question: Yes and No,
    // No as the default. True for Yes.
    virtual bool confirmDespite(const Failure& failure, const QString& title) = 0;

    // A warning or notice with an OK button only.
    void inform(const QString& text, const QString& title, Icon icon)
    {
        message(text, title, icon, Buttons::Ok, Answer::Ok);
    }
    // A question before an irreversible step: Yes and No, No as the default.
    bool confirm(const QString& text, const QString& title, Icon icon = Icon::Question)
    {
        return message(text, title, icon, Buttons::YesNo, Answer::No) == Answer::Yes;
    }
};
