// Times the compaction of 7,000 memos spread over 0–9999 against the same moves made by a plain
// copy and delete, each on a fresh identical folder, and checks that both leave the same memos.
#include "FailureText.h"
#include "FolderLock.h"
#include "MemoCompaction.h"
#include "MemoNaming.h"
#include "MoveWithoutOverwriting.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

constexpr int Numbers = 10000;
constexpr int Memos = 7000;
constexpr int Rounds = 5;

class SilentPrompter final : public ui::FailureBoxPrompter
{
public:
    Answer message(const QString&, const QString&, Icon, Buttons, Answer defaultButton) override
    {
        return defaultButton;
    }
    QString input(const QString&, const QString&, const QString&) override { return QString(); }
};

// A fixed generator, so every run and every machine gets the same corpus.
struct Generator
{
    std::uint64_t state = 0x5C21B1E7ULL;
    std::uint32_t next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
};

struct Corpus
{
    std::vector<int> numbers; // ascending
    std::vector<QByteArray> contents;
};

Corpus makeCorpus()
{
    Generator random;
    std::vector<int> all(Numbers);
    for (int i = 0; i < Numbers; ++i)
        all[i] = i;
    for (int i = Numbers - 1; i > 0; --i)
        std::swap(all[i], all[random.next() % (i + 1)]);
    Corpus corpus;
    corpus.numbers.assign(all.begin(), all.begin() + Memos);
    std::sort(corpus.numbers.begin(), corpus.numbers.end());
    for (int number : corpus.numbers) {
        QByteArray text = "memo " + QByteArray::number(number) + "\r\n";
        const int lines = 2 + random.next() % 40;
        for (int line = 0; line < lines; ++line)
            text += QByteArray(int(10 + random.next() % 60), char('a' + random.next() % 26)) + "\r\n";
        corpus.contents.push_back(text);
    }
    return corpus;
}

QString writeCorpus(const QTemporaryDir& dir, const Corpus& corpus)
{
    const QString folder = memo::memoFolder(dir.path());
    QDir().mkpath(folder);
    for (std::size_t i = 0; i < corpus.numbers.size(); ++i) {
        QFile file(folder + memo::memoFileName(corpus.numbers[i]));
        if (!file.open(QIODevice::WriteOnly) || file.write(corpus.contents[i]) != corpus.contents[i].size()) {
            std::fprintf(stderr, "cannot write the corpus into %s\n", qPrintable(folder));
            std::exit(1);
        }
    }
    return folder;
}

// The moves the compaction is to make, worked out in memory.
std::vector<utility::MemoMove> expectedMoves(const Corpus& corpus)
{
    std::vector<bool> present(Numbers, false);
    for (int number : corpus.numbers)
        present[number] = true;
    std::vector<utility::MemoMove> moves;
    std::vector<int> free;
    std::size_t head = 0;
    for (int number = 0; number < Numbers; ++number) {
        if (!present[number]) {
            free.push_back(number);
            continue;
        }
        if (head < free.size()) {
            moves.push_back({number, free[head++]});
            free.push_back(number);
        }
    }
    return moves;
}

QByteArray folderContents(const QString& folder)
{
    QByteArray all;
    for (int number = 0; number < Numbers; ++number) {
        QFile file(folder + memo::memoFileName(number));
        if (file.open(QIODevice::ReadOnly))
            all += QByteArray::number(number) + ':' + file.readAll();
    }
    return all;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void fail(const char* what)
{
    std::fprintf(stderr, "bench_utility_compaction: %s\n", what);
    std::exit(1);
}

} // namespace

int main()
{
    const Corpus corpus = makeCorpus();
    const std::vector<utility::MemoMove> moves = expectedMoves(corpus);
    SilentPrompter prompter;
    std::vector<double> renamed, linked, copied, reference;
    constexpr int Reference = 3;

    for (int round = 0; round < Rounds; ++round) {
        QByteArray results[Reference + 1];
        for (int variant = 0; variant <= Reference; ++variant) {
            QTemporaryDir dir;
            if (!dir.isValid())
                fail("no temporary folder");
            const QString folder = writeCorpus(dir, corpus);
            const auto start = std::chrono::steady_clock::now();
            if (variant == Reference) {
                for (const utility::MemoMove& move : moves) {
                    const std::filesystem::path from =
                        QFile::encodeName(folder + memo::memoFileName(move.from)).toStdString();
                    std::filesystem::copy_file(from,
                                               QFile::encodeName(folder + memo::memoFileName(move.to)).toStdString());
                    std::filesystem::remove(from);
                }
                reference.push_back(millisecondsSince(start));
            } else {
                // Held as the utility holds it, the lock's cost included.
                utility::MainProgramLock lock(dir.path());
                const ScopedMoveWay way{static_cast<MoveWay>(variant)};
                const utility::CompactionResult result =
                    utility::compactMemoNumbers(folder, {0, Numbers - 1}, 100, prompter, lock);
                (variant == 0 ? renamed : variant == 1 ? linked : copied).push_back(millisecondsSince(start));
                if (!result.completed || result.moves.size() != moves.size())
                    fail("the compaction did not make the expected moves");
            }
            results[variant] = folderContents(folder);
        }
        if (results[0] != results[Reference] || results[1] != results[Reference] || results[2] != results[Reference])
            fail("the compaction and the reference left different memos");
    }

    const double base = median(reference);
    std::printf("Compaction of %d memos over 0-%d (%d%% gaps), %zu moves, median of %d runs:\n", Memos, Numbers - 1,
                (Numbers - Memos) * 100 / Numbers, moves.size(), Rounds);
    std::printf("  reference (copy_file + remove, no checks)   %8.1f ms\n", base);
    std::printf("  compaction, rename without replacing        %8.1f ms   ratio %.2f\n", median(renamed),
                median(renamed) / base);
    std::printf("  compaction, hard link + delete              %8.1f ms   ratio %.2f\n", median(linked),
                median(linked) / base);
    std::printf("  compaction, exclusive copy + delete (FAT)   %8.1f ms   ratio %.2f\n", median(copied),
                median(copied) / base);
    return 0;
}
