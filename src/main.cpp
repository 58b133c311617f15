#include "CommandLine.h"
#include "CommandReceiver.h"
#include "ConsoleCommands.h"
#include "HandOver.h"
#include "MemoCodecCheck.h"
#include "ProgramFolder.h"
#include "ScrivletVersion.h"
#include "TerminationRequest.h"
#include "VersionText.h"
#include "frmShowInTaskBar.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <sys/stat.h>

namespace {

using command::Action;

void print(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printLine(std::FILE* stream, const QString& text)
{
    if (!text.isEmpty())
        print(stream, text.toUtf8() + '\n');
}

// A pipe or a file on standard input gives --new its text; a terminal, or a launcher's /dev/null, does not.
bool inputHoldsText()
{
    struct stat input = {};
    return ::fstat(0, &input) == 0 && (S_ISFIFO(input.st_mode) || S_ISREG(input.st_mode) || S_ISSOCK(input.st_mode));
}

QString standardInput()
{
    QFile input;
    return input.open(stdin, QIODevice::ReadOnly) ? QString::fromUtf8(input.readAll()) : QString();
}

// --list, --search and --new with text: no display, no running copy.
int runWithoutWindow(int argc, char** argv, const command::Request& request)
{
    QCoreApplication app(argc, argv);
    Failure failure;
    if (!memoCodecReady(&failure)) {
        printLine(stderr, QStringLiteral("Scrivlet: %1%2").arg(failure.what, failure.reason));
        return 1;
    }
    const QString folder = programFolder();
    const command::ConsoleResult result =
        request.action == Action::List ? command::listMemos(folder)
        : request.action == Action::Search
            ? command::searchMemos(folder, request.keyword, request.loose)
            : command::writeNewMemo(folder, request.textFromInput ? standardInput() : request.text);
    print(stdout, result.out);
    print(stderr, result.err);
    return result.exitCode;
}

command::HandedRequest handedOver(const command::Request& request)
{
    command::HandedRequest handed;
    handed.action = request.action;
    handed.number = request.number;
    handed.activationToken = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (handed.activationToken.isEmpty()) {
        handed.activationToken = qEnvironmentVariable("DESKTOP_STARTUP_ID");
        handed.tokenIsX11 = !handed.activationToken.isEmpty();
    }
    return handed;
}

// The request went to the running copy, whose answer is this start's: printed, and its exit code.
int finishedElsewhere(const command::Answer& answer)
{
    printLine(stderr, answer.message);
    return answer.exitCode;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const command::Parsed parsed = command::parseCommandLine(arguments, !inputHoldsText());
    if (!parsed.request) {
        printLine(stderr, QStringLiteral("Scrivlet: ") + parsed.error);
        printLine(stderr, QStringLiteral("オプションの説明は Scrivlet --help で表示できます。"));
        return 2;
    }
    const command::Request& request = *parsed.request;
    switch (request.action) {
    case Action::Help:
        print(stdout, command::helpText().toUtf8());
        return 0;
    case Action::Version:
        printLine(
            stdout,
            QStringLiteral("Zormet Scrivlet ") +
                versionText(scrivlet_version::Major, scrivlet_version::Minor, scrivlet_version::Revision).trimmed());
        return 0;
    case Action::List:
    case Action::Search:
    case Action::NewText:
        return runWithoutWindow(argc, argv, request);
    default:
        break;
    }

    const bool handing = request.action != Action::Start;
    const command::HandedRequest handed = handedOver(request);
    if (handing) {
        command::Answer answer;
        {
            QCoreApplication probe(argc, argv);
            answer = command::handOver(programFolder(), handed);
        }
        if (answer.delivery != command::Answer::Delivery::NoRunningCopy)
            return finishedElsewhere(answer);
        if (request.action == Action::Quit) {
            printLine(stderr, QStringLiteral("起動中のScrivletはありません。"));
            return 1;
        }
    }

    QApplication app(argc, argv);
    // The desktop finds the menu entry, and with it the icon, for the program's windows by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.scrivlet.Scrivlet"));
    frmShowInTaskBar startup;
    int exitCode = 0;
    if (handing) {
        // A copy that started meanwhile holds the folder but may not listen yet.
        startup.setSecondCopyHandler([&] {
            for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QThread::msleep(100)) {
                const command::Answer answer = command::handOver(programFolder(), handed);
                if (answer.delivery != command::Answer::Delivery::NoRunningCopy) {
                    exitCode = finishedElsewhere(answer);
                    return true;
                }
            }
            return false;
        });
    }
    if (!startup.Form_Load())
        return exitCode;
    CommandReceiver receiver(startup, programFolder());
    // The program works without; only later starts with an option would find no one to hand over to.
    if (QString reason; !receiver.listen(&reason))
        qWarning().noquote()
            << QStringLiteral("Scrivlet: コマンドラインからの指示を受け付けられません: %1").arg(reason);
    if (handing)
        receiver.carryOut(handed, [](int, const QString& message) { printLine(stderr, message); });

    TerminationRequest termination;
    // The menu still ends the program properly; only a shut-down would now end it without asking.
    if (const QString failure = termination.failure(); !failure.isEmpty())
        qWarning().noquote() << QStringLiteral("Scrivlet: 終了の要求を受け取れません: %1").arg(failure);
    QObject::connect(&termination, &TerminationRequest::requested, &startup, [&startup] {
        if (startup.sessionEnding())
            QCoreApplication::quit();
    });
    return startup.runUntilEnded();
}
