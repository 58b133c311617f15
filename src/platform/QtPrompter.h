#pragma once

#include "Prompter.h"

// The real boxes: QMessageBox and QInputDialog with Japanese button captions.
class QtPrompter final : public Prompter
{
public:
    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                   Answer defaultButton) override;
    QString input(const QString& prompt, const QString& title, const QString& proposed) override;
};
