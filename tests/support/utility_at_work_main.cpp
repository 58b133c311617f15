// Stands in for ScrivletUtility in the middle of an operation: compacts the memos of the program folder
// given as its argument with the utility's own code and, about to make its first move, says "held" and
// waits until its input closes before it goes on. It carries the utility's name, by which the main
// program tells it.
#include "FolderLock.h"
#include "MemoCompaction.h"
#include "MemoNaming.h"
#include "Prompter.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

// Answers every box with its default button and prints it, for the test to show when it fails.
class PrintingPrompter final : public Prompter
{
public:
    Answer message(const QString& text, const QString&, Icon, Buttons, Answer defaultButton) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return defaultButton;
    }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }
    void showFailure(const Failure& failure, const QString& title) override
    {
        inform(failure.what + QLatin1Char(' ') + failure.path + QLatin1Char(' ') + failure.reason, title, Icon::None);
    }
    bool confirmDespite(const Failure& failure, const QString& title) override
    {
        showFailure(failure, title);
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: ScrivletUtility <program folder>\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    utility::MainProgramLock lock(folder);
    PrintingPrompter prompter;
    bool said = false;
    const utility::CompactionResult result = utility::compactMemoNumbers(
        memo::memoFolder(folder), {0, 9999}, 100, prompter, lock, [&said](const utility::MemoMove&) {
            if (said)
                return;
            said = true;
            std::puts("held");
            std::fflush(stdout);
            char c = 0;
            while (std::fread(&c, 1, 1, stdin) == 1) {
            }
        });
    return result.completed && said ? 0 : 1;
}
