#include "QtPrompter.h"

#include "WindowSetup.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace {

QMessageBox::Icon toQt(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Prompter::Answer QtPrompter::message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                                     Answer defaultButton)
{
    QMessageBox box(toQt(icon), QString(), text, QMessageBox::NoButton, QApplication::activeWindow());
    ui::nameWindow(&box, title);
    struct Choice
    {
        Answer answer;
        QPushButton* button;
    };
    std::vector<Choice> choices;
    auto add = [&](Answer answer, const QString& caption, QMessageBox::ButtonRole role) {
        choices.push_back({answer, box.addButton(caption, role)});
    };
    if (buttons == Buttons::Ok) {
        add(Answer::Ok, QStringLiteral("OK"), QMessageBox::AcceptRole);
    } else {
        add(Answer::Yes, QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        add(Answer::No, QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        if (buttons == Buttons::YesNoCancel)
            add(Answer::Cancel, QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        // Esc and the close box need a button of their own to stand for; nobody sees it.
        if (buttons == Buttons::YesNoOrLater) {
            add(Answer::Cancel, QString(), QMessageBox::RejectRole);
            choices.back().button->hide();
        }
    }
    for (const Choice& c : choices) {
        if (c.answer == defaultButton)
            box.setDefaultButton(c.button);
    }
    // Esc and the close box answer like the buttons of a Windows message box: Cancel, else No, else OK.
    const Answer escape = buttons == Buttons::YesNoCancel || buttons == Buttons::YesNoOrLater ? Answer::Cancel
                          : buttons == Buttons::YesNo                                         ? Answer::No
                                                                                              : Answer::Ok;
    for (const Choice& c : choices) {
        if (c.answer == escape)
            box.setEscapeButton(c.button);
    }
    box.exec();
    for (const Choice& c : choices) {
        if (box.clickedButton() == c.button)
            return c.answer;
    }
    return escape;
}

QString QtPrompter::input(const QString& prompt, const QString& title, const QString& proposed)
{
    QInputDialog dialog(QApplication::activeWindow());
    ui::nameWindow(&dialog, title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(proposed);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}
