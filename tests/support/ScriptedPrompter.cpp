#include "ScriptedPrompter.h"

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Box& b : boxes_)
        out << b.text;
    return out;
}

Prompter::Answer ScriptedPrompter::message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                                           Answer defaultButton)
{
    boxes_.push_back({text, title, icon, buttons, defaultButton, false, QString()});
    if (answers_.empty())
        return defaultButton;
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

QString ScriptedPrompter::input(const QString& prompt, const QString& title, const QString& proposed)
{
    boxes_.push_back({prompt, title, Icon::None, Buttons::Ok, Answer::Ok, true, proposed});
    if (inputs_.empty())
        return QString();
    QString s = inputs_.front();
    inputs_.pop_front();
    return s;
}
