#pragma once

#include "CandidateFinder.h"
#include "LooseMatch.h"

#include <QString>
#include <array>
#include <vector>

namespace search {

struct CharTable;

// Looks for a keyword in one memo file while it is read, piece by piece, with the memo line rule
// and CP932: a match lies within one line. Only the places where raw bytes allow a match are
// decoded, a few keyword lengths around each; the time is linear in the bytes read and the bytes
// held are one read and a few keyword lengths, however long the lines are.
class KeywordScan final
{
public:
    static constexpr qsizetype ReadSize = 64 * 1024;

    KeywordScan(const QString& keyword, MatchMode mode);
    Q_DISABLE_COPY_MOVE(KeywordScan)

    // Forgets the file scanned before.
    void restart();
    // Where the next read of ReadSize bytes goes.
    char* room() { return buffer_.data() + held_; }
    qsizetype roomSize() const { return ReadSize; }
    // Takes `size` bytes just read into room(); atEnd: the file ends after them. True as soon as
    // a line holds the keyword; the rest of the file need not be read.
    [[nodiscard]] bool take(qsizetype size, bool atEnd);

private:
    qsizetype step(qsizetype at) const;
    qsizetype charStartAtOrBefore(qsizetype target, qsizetype floor) const;
    qsizetype skipLineFeedOfCrLf(qsizetype lineStart) const;
    bool searchUpTo(qsizetype end);
    bool mayBeSpelledAround(qsizetype at) const;
    bool spelledForward(qsizetype index, qsizetype at, int left) const;
    bool spelledBackward(qsizetype index, qsizetype at, int left) const;
    void chooseCandidates();
    void learnFrom(qsizetype from, qsizetype to);

    const CharTable& table_;
    QString needle_;
    KeywordMatcher matcher_;
    CandidateFinder finder_ = CandidateFinder::everywhere();
    bool impossible_ = false;
    // Candidates are bytes of one needle character; its neighbours are then spelled out in bytes.
    bool spelled_ = false;
    qsizetype candidateChar_ = 0;
    bool candidateIsFirstByte_ = false;
    std::vector<std::vector<QByteArray>> formsAt_; // per needle character; empty: too many to try
    struct CandidateOption
    {
        qsizetype charIndex = 0;
        bool firstByte = false;
        QByteArray values;
        int guessedCost = 0;
    };
    // Every set of bytes that could serve as candidates; the one seen least in the first bytes read
    // is used, for the rest of the search.
    std::vector<CandidateOption> options_;
    const CandidateOption* chosen_ = nullptr;
    static constexpr qsizetype SampleSize = 64 * 1024;
    std::array<quint64, 0x100> seen_{};
    qsizetype sampled_ = 0;
    qsizetype reach_ = 0; // most bytes a match can span
    std::vector<char> buffer_;
    qsizetype held_ = 0;
    bool afterCr_ = false; // the byte before buffer_[0] was a CR
};

} // namespace search
