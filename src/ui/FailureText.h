#pragma once

#include "Failure.h"
#include "Prompter.h"

#include <QString>

namespace ui {

// The one layout of every failure box: what failed, the path, "理由：" and the reason, then the closing,
// each part a paragraph of its own.
QString failureText(const Failure& failure);

// A prompter that shows a failure as a warning box in that layout; the real boxes and every stand-in
// for them derive from it.
class FailureBoxPrompter : public Prompter
{
public:
    void showFailure(const Failure& failure, const QString& title) final;
    bool confirmDespite(const Failure& failure, const QString& title) final;
};

} // namespace ui
