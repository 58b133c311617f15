#pragma once

#include "FolderLock.h"
#include "Prompter.h"
#include "ScriptedPrompter.h"

#include <QDir>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

inline QString utf8(const char* s)
{
    return QString::fromUtf8(s);
}

// Every box of the utility carries the same title; a failure names the box that was wrong.
inline void expectBox(const ScriptedPrompter::Box& box, const QString& text, Prompter::Icon icon,
                      Prompter::Buttons buttons = Prompter::Buttons::Ok,
                      Prompter::Answer defaultButton = Prompter::Answer::Ok)
{
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.title, QStringLiteral("Scrivlet Utility")) << box.text.toStdString();
    EXPECT_EQ(box.icon, icon) << box.text.toStdString();
    EXPECT_EQ(box.buttons, buttons) << box.text.toStdString();
    EXPECT_EQ(box.defaultButton, defaultButton) << box.text.toStdString();
}

inline void expectCompletion(const ScriptedPrompter::Box& box)
{
    expectBox(box, utf8("処理が完了しました。"), Prompter::Icon::Information);
}

inline void expectQuestion(const ScriptedPrompter::Box& box, const QString& text,
                           Prompter::Icon icon = Prompter::Icon::Question)
{
    expectBox(box, text, icon, Prompter::Buttons::YesNo, Prompter::Answer::No);
}

// Stands in for the main program's lock: each hold() is answered by `answer`, by default as when no
// main program runs; held from a granted hold() to release().
struct ScriptedLock final : utility::FolderLock
{
    std::function<bool(Prompter&)> answer = [](Prompter&) { return true; };
    bool held = false;
    bool hold(Prompter& prompter) override { return held = answer(prompter); }
    void release() override { held = false; }
};
