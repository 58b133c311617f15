#pragma once

#include "FailureText.h"

// The real boxes: QMessageBox and QInputDialog with Japanese button captions.
class QtPrompter final : public ui::FailureBoxPrompter
{
public:
    Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
                   Answer defaultButton) override;
    QString input(const QString& prompt, const QString& title, const QString& proposed) override;
};
