#pragma once

#include "SingleInstance.h"

#include <QString>

class Prompter;

namespace utility {

// What keeps the main program off the memo folder while an operation works on it. An operation holds it
// from its first look at the folder to its last file step, and asks again after each question the user
// may have left open for a while.
class FolderLock
{
public:
    virtual ~FolderLock() = default;
    // True when the folder is held, or may be changed all the same; otherwise the refusal has been shown,
    // the folder is given back and the operation touches nothing more.
    [[nodiscard]] virtual bool hold(Prompter& prompter) = 0;
    // Gives the folder back; the operation has made its last file step.
    virtual void release() = 0;
    // Gives the folder back, then says what stopped the run: the box may stand open for long.
    void stopRun(Prompter& prompter, const QString& what, const QString& path, const QString& reason);
};

// The main program's own lock on programFolder, the one it takes at start: while the utility holds it, a
// main program started on the folder says so and ends, and while the main program runs, which may hold
// any memo open in its window and would write it back over what the operation moved there, every
// operation is refused.
class MainProgramLock final : public FolderLock
{
public:
    explicit MainProgramLock(const QString& programFolder);

    [[nodiscard]] bool hold(Prompter& prompter) override;
    void release() override;

private:
    [[nodiscard]] bool tryHold(Prompter& prompter);

    QString programFolder_;
    SingleInstance instance_;
    // Where no lock can be made at all, the user has agreed to go on without one.
    bool goesOnWithoutLock_ = false;
};

} // namespace utility
