// Full-text search over 10,000 memos of about 2 KB: the window's search in exact and loose mode
// against `LC_ALL=C grep -F -l` on the same files, each timed in the same run after one warm-up.
#include "Cp932.h"
#include "MemoNaming.h"
#include "MemoSearch.h"
#include "Prompter.h"
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
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int MemoCount = 10000;
constexpr int Rounds = 5;

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

QByteArray memoBytes(int number, const std::vector<QByteArray>& words, Random& random)
{
    QByteArray bytes;
    const int target = 1600 + random.below(900);
    const int plantLine = random.below(30);
    QByteArray planted;
    if (number % 97 == 13)
        planted = cp932::encode(QString::fromUtf8(Keyword));
    else if (number % 89 == 7)
        planted = cp932::encode(QString::fromUtf8(LooseVariants[0]));
    else if (number % 83 == 5)
        planted = cp932::encode(QString::fromUtf8(LooseVariants[1]));
    int line = 0;
    while (bytes.size() < target) {
        const int lineLength = 10 + random.below(70);
        QByteArray text;
        while (text.size() < lineLength) {
            // Between two words, so the planted word never splits a two-byte character.
            if (line == plantLine && text.size() >= lineLength / 2 && !planted.isEmpty()) {
                text += planted;
                planted.clear();
            }
            text += words[static_cast<std::size_t>(random.below(static_cast<int>(words.size())))];
        }
        bytes += text;
        bytes += "\r\n";
        ++line;
    }
    return bytes;
}

bool writeCorpus(const QString& memoFolder, qint64* totalBytes)
{
    QDir().mkpath(memoFolder);
    const std::vector<QByteArray> words = vocabulary();
    Random random(20240501);
    *totalBytes = 0;
    for (int n = 0; n < MemoCount; ++n) {
        const QByteArray bytes = memoBytes(n, words, random);
        QFile f(memoFolder + memo::memoFileName(n));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return false;
        *totalBytes += bytes.size();
    }
    return true;
}

// Boxes would block an unattended run; they are printed instead.
class PrintingPrompter final : public Prompter
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
    double ms = 0;
    int hits = 0;
};

Run runGrep(const QString& memoFolder, const QString& patternFile)
{
    QStringList args{QStringLiteral("-F"), QStringLiteral("-l"), QStringLiteral("-f"), patternFile,
                     QStringLiteral("--")};
    for (int n = 0; n < MemoCount; ++n)
        args << memo::memoFileName(n);
    QProcess grep;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    grep.setProcessEnvironment(env);
    grep.setWorkingDirectory(memoFolder);
    QElapsedTimer timer;
    timer.start();
    grep.start(QStringLiteral("grep"), args);
    if (!grep.waitForFinished(-1) || grep.exitStatus() != QProcess::NormalExit) {
        std::fprintf(stderr, "grep could not run\n");
        return {};
    }
    const QByteArray out = grep.readAllStandardOutput();
    Run run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.hits = static_cast<int>(out.count('\n'));
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

Run runScan(const QString& memoFolder, bool exact)
{
    QElapsedTimer timer;
    timer.start();
    const search::SearchOutcome outcome =
        search::searchMemos(memoFolder, memo::FirstNumber, memo::LastNumber, QString::fromUtf8(Keyword),
                            exact ? search::MatchMode::Exact : search::MatchMode::Loose);
    Run run;
    run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    run.hits = static_cast<int>(outcome.hits.size());
    return run;
}

Run median(std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
    return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrintingPrompter prompter;
    setPrompter(&prompter);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString programFolder = QDir::toNativeSeparators(dir.path()) + QDir::separator();
    mdlScrivlet::setProgramFolder(programFolder);
    const QString memoFolder = memo::memoFolder(programFolder);
    qint64 totalBytes = 0;
    if (!writeCorpus(memoFolder, &totalBytes)) {
        std::fprintf(stderr, "cannot write the corpus\n");
        return 1;
    }
    const QString patternFile = dir.filePath(QStringLiteral("pattern"));
    {
        QFile f(patternFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(cp932::encode(QString::fromUtf8(Keyword))) < 0)
            return 1;
    }
    std::printf("corpus: %d CP932 memos, %.1f MB, keyword %s; median of %d runs after one warm-up each\n", MemoCount,
                static_cast<double>(totalBytes) / 1e6, Keyword, Rounds);

    const std::vector<std::pair<const char*, std::function<Run()>>> cases = {
        {"grep -F -l (LC_ALL=C)", [&] { return runGrep(memoFolder, patternFile); }},
        {"window search, exact", [] { return runWindow(true); }},
        {"window search, loose", [] { return runWindow(false); }},
        {"scan alone, exact", [&] { return runScan(memoFolder, true); }},
        {"scan alone, loose", [&] { return runScan(memoFolder, false); }},
    };
    std::vector<std::vector<Run>> runs(cases.size());
    for (const auto& c : cases)
        c.second();
    for (int round = 0; round < Rounds; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i)
            runs[i].push_back(cases[i].second());
    }
    const double grepMs = median(runs[0]).ms;
    if (grepMs <= 0)
        return 1;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Run m = median(runs[i]);
        std::printf("%-24s %8.1f ms  %5d files  %5.2f x grep\n", cases[i].first, m.ms, m.hits, m.ms / grepMs);
    }
    const double exactRatio = median(runs[1]).ms / grepMs;
    const double looseRatio = median(runs[2]).ms / grepMs;
    std::printf("goal exact <= 2 x grep: %s (%.2f); loose <= 3 x grep: %s (%.2f)\n", exactRatio <= 2 ? "met" : "MISSED",
                exactRatio, looseRatio <= 3 ? "met" : "MISSED", looseRatio);
    setPrompter(nullptr);
    return 0;
}
