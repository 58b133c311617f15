#pragma once

#include <QString>

// Every message box and input box of both programs goes through this, so tests can answer them.
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
        YesNoCancel
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

// The prompter in use: the real boxes unless a test has installed its own.
Prompter& prompter();

// Tests and benchmarks: while one lives, every box goes to `stand` (not owned) instead of the real ones.
class ScopedPrompter final
{
public:
    explicit ScopedPrompter(Prompter& stand);
    ~ScopedPrompter();
    ScopedPrompter(const ScopedPrompter&) = delete;
    ScopedPrompter& operator=(const ScopedPrompter&) = delete;

private:
    Prompter* previous_;
};
