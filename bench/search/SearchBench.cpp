// Full-text search over four corpora: 10,000 memos of about 2 KB with CR LF line ends, the same with
// LF alone, 200 memos of 1 MB, and one 50 MB LF-only memo among 9,999 small ones. On each, in the
// same run and after one warm-up: `LC_ALL=C grep -F -l`, `rg -F -l -E shift_jis`, `Scrivlet --search`
// (a process of its own, its start included, as grep's is), the scan alone and the window's search,
// exact and loose; then the scan's peak memory in a process of its own.
// The cases take turns round by round and each keeps its best time: on a machine that other work
// shares, the best of several runs is the one least disturbed, for the peers as for the scan.
#include "Cp932.h"
#include "FailureText.h"
#include "MemoNaming.h"
#include "MemoSearch.h"
#include "PrompterInUse.h"
#include "frmSerchJump.h"
#include "mdlScrivlet.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int Rounds = 7;
constexpr int SmallMemos = 10000;
constexpr int LargeMemos = 200;
constexpr qint64 LargeSize = 1000 * 1000;
constexpr qint64 HugeSize = 50 * 1000 * 1000;
constexpr int HugeNumber = 5000;
// What the scan may hold beside its lines: tables, one read, the keyword, the program's own growth.
constexpr double PeakConstantMb = 4.0;

// The word every mode looks for, planted in about 1% of the memos; loosely written variants in
// about 2% more, which only the loose mode finds.
const char* const Keyword = "カモノハシ";
const char* const LooseVariants[] = {"かものはし", "ｶﾓﾉﾊｼ"};

// A small fixed generator, so the corpus is the same on every machine and library.
class Random
{
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint64_t state_;
};

std::vector<QByteArray> vocabulary()
{
    // Japanese and English words, full- and half-width forms, NEC signs and blanks, split at "|".
    const QString words = QString::fromUtf8(
        "今日は|明日の|会議|資料|確認|メモ|買い物|牛乳|パン|卵|電話|する|こと|ために|東京|大阪|駅|電車|予定|"
        "締め切り|プロジェクト|レビュー|修正|テスト|設計|議事録|。|、|「|」|（|）|ソフト|表示|能力|予算|ﾃﾞｰﾀ|"
        "ｻｰﾊﾞｰ|ＡＢＣ|１２３|①|㈱|～|TODO|meeting|report|v1.2|2024-05-01|http://example.com/|OK|NG|Scrivlet|"
        "memo|the|and|of| | |　|-|*|朝|昼|夜|週末|月曜日|火曜日|水曜日|木曜日|金曜日|連絡|返信|待ち|ファイル|"
        "フォルダ|バックアップ|パスワード|変更|完了|未定|検討|中|済み");
    std::vector<QByteArray> out;
    for (const QString& w : words.split(QLatin1Char('|')))
        out.push_back(cp932::encode(w));
    return out;
}

struct Memo
{
    QByteArray bytes;
    qsizetype longestLine = 0; // by the memo line rule: with LF alone the whole memo is one line
};

// Lines of 10 to 80 bytes until the size is reached; `planted` goes into the line at plantAt (0 to 1).
Memo memoBytes(qint64 size, const QByteArray& lineEnd, const QByteArray& planted, double plantAt,
               const std::vector<QByteArray>& words, Random& random)
{
    Memo memo;
    memo.bytes.reserve(size + 200);
    QByteArray plant = planted;
    qsizetype lineStart = 0;
    while (memo.bytes.size() < size) {
        const int lineLength = 10 + random.below(70);
        const qsizetype textStart = memo.bytes.size();
        while (memo.bytes.size() - textStart < lineLength) {
            // Between two words, so the planted word never splits a two-byte character.
            if (!plant.isEmpty() && memo.bytes.size() >= static_cast<qsizetype>(plantAt * static_cast<double>(size))) {
                memo.bytes += plant;
                plant.clear();
            }
            memo.bytes += words[static_cast<std::size_t>(random.below(static_cast<int>(words.size())))];
        }
        memo.bytes += lineEnd;
        if (lineEnd.contains('\r')) {
            memo.longestLine = std::max(memo.longestLine, memo.bytes.size() - lineStart - lineEnd.size());
            lineStart = memo.bytes.size();
        }
    }
    if (!lineEnd.contains('\r'))
        memo.longestLine = memo.bytes.size();
    return memo;
}

QByteArray plantFor(int number)
{
    if (number % 97 == 13)
        return cp932::encode(QString::fromUtf8(Keyword));
    if (number % 89 == 7)
        return cp932::encode(QString::fromUtf8(LooseVariants[0]));
    if (number % 83 == 5)
        return cp932::encode(QString::fromUtf8(LooseVariants[1]));
    return QByteArray();
}

struct Corpus
{
    const char* name;
    QString programFolder;
    QString memoFolder;
    QStringList names;
    qint64 bytes = 0;
    qsizetype longestLine = 0;
};

bool addMemo(Corpus& corpus, int number, const Memo& memo)
{
    QFile f(corpus.memoFolder + memo::memoFileName(number));
    if (!f.open(QIODevice::WriteOnly) || f.write(memo.bytes) != memo.bytes.size())
        return false;
    corpus.names << memo::memoFileName(number);
    corpus.bytes += memo.bytes.size();
    corpus.longestLine = std::max(corpus.longestLine, memo.longestLine);
    return true;
}

enum class Shape
{
    SmallCrLf,
    SmallLf,
    Large,
    HugeAmongSmall
};

bool writeCorpus(Corpus& corpus, Shape shape)
{
    QDir().mkpath(corpus.memoFolder);
    const std::vector<QByteArray> words = vocabulary();
    Random random(20240501);
    const QByteArray crLf("\r\n");
    const QByteArray lf("\n");
    const int count = shape == Shape::Large ? LargeMemos : SmallMemos;
    for (int n = 0; n < count; ++n) {
        const double at = random.below(1000) / 1000.0;
        Memo memo;
        if (shape == Shape::Large)
            memo = memoBytes(LargeSize, crLf, plantFor(n), at, words, random);
        else if (shape == Shape::HugeAmongSmall && n == HugeNumber)
            memo = memoBytes(HugeSize, lf, cp932::encode(QString::fromUtf8(Keyword)), 0.9, words, random);
        else
            memo = memoBytes(1600 + random.below(900), shape == Shape::SmallLf ? lf : crLf, plantFor(n), at, words,
                             random);
        if (!addMemo(corpus, n, memo))
            return false;
    }
    return true;
}

// Boxes would block an unattended run; they are printed instead.
class PrintingPrompter final : public ui::FailureBoxPrompter
{
public:
    Answer message(const QString& text, const QString& title, Icon, Buttons, Answer defaultButton) override
    {
        std::printf("box: %s: %s\n", qPrintable(title), qPrintable(text));
        return defaultButton;
    }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }
};

struct Run
{
    double ms = -1; // below 0: could not run
    int hits = 0;
};

Run runTool(const Corpus& corpus, const QString& program, const QStringList& options)
{
    QStringList args = options;
    args << QStringLiteral("--") << corpus.names;
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    tool.setProcessEnvironment(env);
    tool.setWorkingDirectory(corpus.memoFolder);
    QElapsedTimer timer;
    timer.start();
    tool.start(program, args);
    if (!tool.waitForFinished(-1) || tool.exitStatus() != QProcess::NormalExit)
        return {};
    Run run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.hits = static_cast<int>(tool.readAllStandardOutput().count('\n'));
    return run;
}

// The program as a script runs it: a portable copy beside the corpus's memo folder.
Run runShell(const Corpus& corpus, bool exact)
{
    QStringList args{QStringLiteral("--search"), QString::fromUtf8(Keyword)};
    if (!exact)
        args << QStringLiteral("--loose");
    QProcess shell;
    QElapsedTimer timer;
    timer.start();
    shell.start(corpus.programFolder + QStringLiteral("Scrivlet"), args);
    if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() > 1)
        return {};
    Run run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.hits = static_cast<int>(shell.readAllStandardOutput().count('\n'));
    return run;
}

Run runWindow(bool exact)
{
    frmSerchJump dialog;
    dialog.show();
    dialog.findChild<QLineEdit*>(QStringLiteral("txtKeyWord"))->setText(QString::fromUtf8(Keyword));
    dialog.findChild<QCheckBox*>(QStringLiteral("chkKubetsu"))->setChecked(exact);
    QApplication::processEvents();
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("cmdSerch"));
    QElapsedTimer timer;
    timer.start();
    button->click();
    Run run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.hits = dialog.findChild<QListWidget*>(QStringLiteral("lstIchiran"))->count();
    return run;
}

search::MatchMode modeOf(bool exact)
{
    return exact ? search::MatchMode::Exact : search::MatchMode::Loose;
}

Run runScan(const QString& memoFolder, bool exact)
{
    QElapsedTimer timer;
    timer.start();
    const search::SearchOutcome outcome =
        search::searchMemos(memoFolder, memo::FirstNumber, memo::LastNumber, QString::fromUtf8(Keyword), modeOf(exact));
    Run run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.hits = static_cast<int>(outcome.hits.size());
    return run;
}

// Peak and current resident memory of this process in kilobytes. The kernel's own high-water mark
// of this program image, not getrusage's, which keeps the parent's peak across fork and exec.
std::pair<long, long> memoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    long peak = -1;
    long now = -1;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("VmRSS:"))
                now = line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return {peak, now};
}

// The child's side of peakOfScan: how far the peak rises above what the process held before.
int scanForPeak(const char* memoFolder, bool exact)
{
    const long before = memoryKb().second;
    const search::SearchOutcome outcome =
        search::searchMemos(QString::fromLocal8Bit(memoFolder), memo::FirstNumber, memo::LastNumber,
                            QString::fromUtf8(Keyword), modeOf(exact));
    const long peak = memoryKb().first;
    if (before < 0 || peak < 0)
        return 1;
    std::printf("%ld %zu\n", peak - before, outcome.hits.size());
    return 0;
}

// Megabytes by which a fresh process's peak memory grows during one scan; below 0 on failure.
double peakOfScan(const QString& program, const QString& memoFolder, bool exact)
{
    QProcess child;
    child.start(program,
                {QStringLiteral("--scan-peak"), memoFolder, exact ? QStringLiteral("exact") : QStringLiteral("loose")});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return -1;
    bool ok = false;
    const long kb = child.readAllStandardOutput().split(' ').value(0).toLong(&ok);
    return ok ? static_cast<double>(kb) / 1024.0 : -1;
}

Run best(const std::vector<Run>& runs)
{
    return *std::min_element(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
}

enum Case
{
    Grep,
    Ripgrep,
    ShellExact,
    ShellLoose,
    ScanExact,
    ScanLoose,
    WindowExact,
    WindowLoose,
    CaseCount
};
const char* const CaseNames[CaseCount] = {"grep -F -l (LC_ALL=C)",     "rg -F -l -E shift_jis", "Scrivlet --search",
                                          "Scrivlet --search --loose", "scan alone, exact",     "scan alone, loose",
                                          "window search, exact",      "window search, loose"};

struct Result
{
    const Corpus* corpus = nullptr;
    Run runs[CaseCount];
    double peakExactMb = -1;
    double peakLooseMb = -1;
};

Result measure(const Corpus& corpus, const QString& self, const QString& grepPattern, const QString& rgPattern,
               bool haveRg)
{
    mdlScrivlet::setProgramFolder(corpus.programFolder);
    const QString grep = QStringLiteral("grep");
    const QString rg = QStringLiteral("rg");
    const std::function<Run()> cases[CaseCount] = {
        [&] {
            return runTool(corpus, grep,
                           {QStringLiteral("-F"), QStringLiteral("-l"), QStringLiteral("-f"), grepPattern});
        },
        [&] {
            if (!haveRg)
                return Run{};
            return runTool(corpus, rg,
                           {QStringLiteral("--no-config"), QStringLiteral("-F"), QStringLiteral("-l"),
                            QStringLiteral("-E"), QStringLiteral("shift_jis"), QStringLiteral("-f"), rgPattern});
        },
        [&] { return runShell(corpus, true); },
        [&] { return runShell(corpus, false); },
        [&] { return runScan(corpus.memoFolder, true); },
        [&] { return runScan(corpus.memoFolder, false); },
        [] { return runWindow(true); },
        [] { return runWindow(false); },
    };
    std::vector<Run> runs[CaseCount];
    for (const auto& c : cases)
        c();
    for (int round = 0; round < Rounds; ++round) {
        // Every other round backwards, so that no case always follows the same one.
        for (int k = 0; k < CaseCount; ++k) {
            const int i = round % 2 == 0 ? k : CaseCount - 1 - k;
            runs[i].push_back(cases[i]());
        }
    }
    Result result;
    result.corpus = &corpus;
    for (int i = 0; i < CaseCount; ++i)
        result.runs[i] = best(runs[i]);
    result.peakExactMb = peakOfScan(self, corpus.memoFolder, true);
    result.peakLooseMb = peakOfScan(self, corpus.memoFolder, false);
    return result;
}

double ratio(const Run& a, const Run& b)
{
    return a.ms >= 0 && b.ms > 0 ? a.ms / b.ms : -1;
}

void printTable(const Result& r)
{
    const Corpus& c = *r.corpus;
    std::printf("\n%s: %lld files, %.1f MB, longest line %.2f MB\n", c.name, static_cast<long long>(c.names.size()),
                static_cast<double>(c.bytes) / 1e6, static_cast<double>(c.longestLine) / 1e6);
    std::printf("  %-27s %9s %6s %9s %8s %8s\n", "", "ms", "files", "MB/s", "x grep", "x rg");
    for (int i = 0; i < CaseCount; ++i) {
        const Run& run = r.runs[i];
        if (run.ms < 0) {
            std::printf("  %-27s %9s\n", CaseNames[i], "n/a");
            continue;
        }
        std::printf("  %-27s %9.1f %6d %9.0f %8.2f %8.2f\n", CaseNames[i], run.ms, run.hits,
                    static_cast<double>(c.bytes) / 1e3 / run.ms, ratio(run, r.runs[Grep]), ratio(run, r.runs[Ripgrep]));
    }
    std::printf("  peak memory of the scan: exact %.1f MB, loose %.1f MB\n", r.peakExactMb, r.peakLooseMb);
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

// A missing figure (below 0) counts as met only where the tool is missing, never for our own runs.
void printGoals(const std::vector<Result>& results)
{
    std::printf("\ngoals (each a ratio within this run; window search and scan alone each judged):\n");
    const Result& base = results.front();
    auto perByte = [](const Result& r, int i) { return r.runs[i].ms / static_cast<double>(r.corpus->bytes); };
    for (const Result& r : results) {
        const Run* g = &r.runs[Grep];
        const Run* rg = &r.runs[Ripgrep];
        std::printf("%s\n", r.corpus->name);
        for (int i : {ShellExact, WindowExact, ScanExact}) {
            const double x = ratio(r.runs[i], *g);
            const double y = ratio(r.runs[i], *rg);
            std::printf("  %-26s <= 1.0 x grep: %-6s (%.2f)   <= 1.0 x rg: %-6s (%.2f)\n", CaseNames[i],
                        verdict(x >= 0 && x <= 1.0), x, rg->ms < 0 ? "n/a" : verdict(y <= 1.0), y);
        }
        for (int i : {ShellLoose, WindowLoose, ScanLoose}) {
            const double x = ratio(r.runs[i], *g);
            std::printf("  %-26s <= 1.5 x grep: %-6s (%.2f)\n", CaseNames[i], verdict(x >= 0 && x <= 1.5), x);
        }
        for (int i : {WindowExact, WindowLoose, ScanExact, ScanLoose}) {
            const double x = perByte(r, i) / perByte(base, i);
            std::printf("  %-26s per byte <= 2 x first corpus: %-6s (%.2f)\n", CaseNames[i], verdict(x <= 2.0), x);
        }
        const double limit = 2.0 * static_cast<double>(r.corpus->longestLine) / (1024.0 * 1024.0) + PeakConstantMb;
        const double peak = std::max(r.peakExactMb, r.peakLooseMb);
        std::printf("  peak memory <= 2 x longest line + %.0f MB = %.1f MB: %-6s (%.1f MB)\n", PeakConstantMb, limit,
                    verdict(peak >= 0 && peak <= limit), peak);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--scan-peak") == 0)
        return scanForPeak(argv[2], std::strcmp(argv[3], "exact") == 0);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrintingPrompter prompter;
    const ScopedPrompter installed(prompter);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    // --keep leaves the corpora behind, for profiling the scan on them with --scan-peak.
    if (app.arguments().contains(QStringLiteral("--keep"))) {
        dir.setAutoRemove(false);
        std::printf("corpora kept in %s\n", qPrintable(dir.path()));
    }
    const QString grepPattern = dir.filePath(QStringLiteral("pattern-cp932"));
    const QString rgPattern = dir.filePath(QStringLiteral("pattern-utf8"));
    {
        QFile a(grepPattern);
        QFile b(rgPattern);
        if (!a.open(QIODevice::WriteOnly) || a.write(cp932::encode(QString::fromUtf8(Keyword))) < 0 ||
            !b.open(QIODevice::WriteOnly) || b.write(Keyword) < 0)
            return 1;
    }
    const bool haveRg = !QStandardPaths::findExecutable(QStringLiteral("rg")).isEmpty();
    if (!haveRg)
        std::printf("rg is not installed (Debian package ripgrep): its column stays empty\n");

    const std::pair<const char*, Shape> shapes[] = {
        {"10,000 x 2 KB, CR LF", Shape::SmallCrLf},
        {"10,000 x 2 KB, LF only", Shape::SmallLf},
        {"200 x 1 MB, CR LF", Shape::Large},
        {"50 MB LF-only memo among 9,999 x 2 KB", Shape::HugeAmongSmall},
    };
    std::vector<Corpus> corpora;
    for (const auto& [name, shape] : shapes) {
        Corpus c;
        c.name = name;
        c.programFolder = QDir::toNativeSeparators(dir.filePath(QString::number(corpora.size()))) + QDir::separator();
        c.memoFolder = memo::memoFolder(c.programFolder);
        if (!writeCorpus(c, shape) ||
            !QFile::copy(QStringLiteral(SCRIVLET_PROGRAM), c.programFolder + QStringLiteral("Scrivlet"))) {
            std::fprintf(stderr, "cannot write the corpus %s\n", name);
            return 1;
        }
        corpora.push_back(c);
    }
    std::printf("keyword %s; best of %d runs after one warm-up each, the cases of a corpus taking turns\n", Keyword,
                Rounds);
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<Result> results;
    for (const Corpus& c : corpora) {
        results.push_back(measure(c, self, grepPattern, rgPattern, haveRg));
        printTable(results.back());
        std::fflush(stdout);
    }
    printGoals(results);
    return 0;
}
