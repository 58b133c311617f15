// Big memos in the real memo window, offscreen: a 20 MB memo of 83-byte lines, a 20 MB memo that is one
// line and a 1 MB one-line memo. For each: showing it (from the handler to the text set and the visible
// part laid out for the first paint), a key stroke at its end (from the key event to the document
// updated and the visible part laid out), Save, and resident memory over the idle window; and, in the
// same run, `iconv -f CP932 -t UTF-8` of the same bytes as the floor.
#include "FailureText.h"
#include "MemoEditor.h"
#include "MemoNaming.h"
#include "ProgramFolder.h"
#include "PrompterInUse.h"
#include "frmScrivlet.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 5;

class SilentPrompter final : public ui::FailureBoxPrompter
{
public:
    Answer message(const QString& text, const QString&, Icon, Buttons, Answer defaultButton) override
    {
        std::printf("  box: %s\n", qPrintable(text.left(120)));
        return defaultButton;
    }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }
};

struct Memo
{
    const char* name;
    int number;
    QByteArray bytes;
};

// CP932 text of every kind the decoder meets: ASCII, kana, kanji, half-width kana.
QByteArray mixedText(qsizetype size, bool breaks)
{
    const QByteArray pieces[] = {"memo line ", "\x82\xa0\x82\xa2\x82\xa4", "\x8a\xbf\x8e\x9a", "\xb1\xb2\xb3",
                                 "0123456789"};
    QByteArray out;
    out.reserve(size + 128);
    int i = 0;
    qsizetype lineStart = 0;
    while (out.size() < size) {
        out += pieces[i++ % 5];
        if (breaks && out.size() - lineStart >= 81) {
            out += "\r\n";
            lineStart = out.size();
        }
    }
    if (!out.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

double iconvMs(const QString& path)
{
    std::vector<double> runs;
    for (int i = 0; i < Rounds; ++i) {
        QProcess iconv;
        iconv.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"),
                                              QStringLiteral("UTF-8"), path});
        if (!iconv.waitForFinished(-1) || iconv.exitCode() != 0)
            return -1;
        runs.push_back(msSince(timer));
    }
    return median(runs);
}

// The visible part laid out and painted, as the first paint after the handler does it.
void paintNow(QPlainTextEdit* box)
{
    box->viewport()->repaint();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentPrompter prompter;
    const ScopedPrompter installed(prompter);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const ScopedProgramFolder folder(dir.path());
    QDir().mkpath(memo::memoFolder(programFolder()));

    std::vector<Memo> memos = {{"20 MB of 83-byte lines", 1, mixedText(20 * 1000 * 1000, true)},
                               {"20 MB, one line", 3, mixedText(20 * 1000 * 1000, false)},
                               {"1 MB, one line", 5, mixedText(1000 * 1000, false)}};
    for (const Memo& m : memos) {
        QFile file(memo::memoFilePath(programFolder(), m.number));
        if (!file.open(QIODevice::WriteOnly) || file.write(m.bytes) != m.bytes.size())
            return 1;
    }
    // Empty neighbours to step from.
    for (int n : {0, 2, 4, 6}) {
        QFile file(memo::memoFilePath(programFolder(), n));
        if (!file.open(QIODevice::WriteOnly) || file.write("x\r\n") != 3)
            return 1;
    }

    std::printf("Big memos in the memo window (offscreen), median of %d rounds; floor: iconv -f CP932 -t UTF-8\n",
                Rounds);
    std::printf("  %-24s %9s %9s %9s %9s %9s %11s %10s\n", "memo", "iconv ms", "show ms", "x floor", "key ms",
                "save ms", "save/floor", "RSS +MiB");
    // An argument picks the memos whose names hold it, for profiling one.
    const QString only = app.arguments().value(1);
    for (const Memo& m : memos) {
        if (!QString::fromLatin1(m.name).contains(only))
            continue;
        const double floor = iconvMs(memo::memoFilePath(programFolder(), m.number));
        std::vector<double> show, key, save;
        long grown = 0;
        for (int round = 0; round < Rounds; ++round) {
            mdlScrivlet::resetForTesting();
            auto* window = new frmScrivlet;
            window->show();
            (void)QTest::qWaitForWindowExposed(window);
            auto* box = window->findChild<MemoEditor*>(QStringLiteral("txtDataField"));
            (void)window->goToMemo(m.number - 1);
            paintNow(box);
            QApplication::processEvents();
            const long idle = rssKb();

            QElapsedTimer timer;
            timer.start();
            (void)window->goToMemo(m.number);
            paintNow(box);
            show.push_back(msSince(timer));
            // The rest comes in while the user reads; the key and Save come after.
            while (box->isBringingIn())
                QApplication::processEvents();

            QTextCursor end = box->textCursor();
            end.movePosition(QTextCursor::End);
            box->setTextCursor(end);
            box->ensureCursorVisible();
            paintNow(box);
            timer.restart();
            QTest::keyClick(box, Qt::Key_A);
            paintNow(box);
            key.push_back(msSince(timer));

            // Settled: what stays of the memo while it is shown.
            QApplication::processEvents();
            grown = std::max(grown, rssKb() - idle);

            timer.restart();
            window->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
            save.push_back(msSince(timer));
            QFile written(memo::memoFilePath(programFolder(), m.number));
            written.open(QIODevice::ReadOnly);
            if (written.size() != m.bytes.size() + 1)
                std::printf("  %s: saved %lld bytes, expected %lld\n", m.name, written.size(),
                            static_cast<long long>(m.bytes.size() + 1));
            QFile restore(memo::memoFilePath(programFolder(), m.number));
            if (!restore.open(QIODevice::WriteOnly) || restore.write(m.bytes) != m.bytes.size())
                return 1;
            window->hide();
            delete window;
        }
        const double s = median(show);
        const double w = median(save);
        std::printf("  %-24s %9.1f %9.1f %9.2f %9.1f %9.1f %11.2f %10.1f\n", m.name, floor, s, s / floor, median(key),
                    w, w / floor, double(grown) / 1024.0);
        std::printf("  goals: show <= 3 x floor: %s; key <= 16 ms: %s; save <= 3 x floor: %s; "
                    "memory <= 4 x file (%.0f MiB): %s\n",
                    s <= 3 * floor ? "met" : "MISSED", median(key) <= 16 ? "met" : "MISSED",
                    w <= 3 * floor ? "met" : "MISSED", 4.0 * double(m.bytes.size()) / 1048576.0,
                    double(grown) <= 4.0 * double(m.bytes.size()) / 1024.0 ? "met" : "MISSED");
        std::fflush(stdout);
    }
    return 0;
}
