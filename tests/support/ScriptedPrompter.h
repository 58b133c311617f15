#pragma once

#include "FailureText.h"
#include "PrompterInUse.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

// Answers boxes from a plan and records what was asked. Installs itself for its lifetime.
// With no planned answer left, a message box answers its default button and an input box "".
class ScriptedPrompter final : public ui::FailureBoxPrompter
{
public:
    struct Box
    {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;
        bool isInput = false;
        QString proposed; // input boxes only
    };

    ScriptedPrompter() = default;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    void planAnswer(Answer answer) { answers_.push_back(answer); }
    void planInput(const QString& text) { inputs_.push_back(text); }

    const std::vector<Box>& boxes() const { return boxes_; }
    const Box& last() const { return boxes_.back(); }
    QStringList texts() const;
    void clear() { boxes_.clear(); }

    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                   Answer defaultButton) override;
    QString input(const QString& prompt, const QString& title, const QString& proposed) override;

private:
    std::deque<Answer> answers_;
    std::deque<QString> inputs_;
    std::vector<Box> boxes_;
    ScopedPrompter installed_{*this};
};
