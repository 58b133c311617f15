#include "KeywordScan.h"

#include "Cp932.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace search {

// How the bytes of a memo fall into characters, and which character each is, for one mode: in the
// loose mode a half-width kana and a following sound mark are one character.
struct CharTable
{
    std::bitset<0x10000> two;             // lead << 8 | next read as one character
    std::array<char16_t, 0x100> single{}; // the character of a byte read alone
    std::array<char16_t, 0x10000> pair{}; // the character of two bytes read as one
    std::array<bool, 0x100> startsTwo{};
    // Never the second byte of a character: a character starts at such a byte, whatever precedes it.
    std::array<bool, 0x100> sync{};
};

namespace {

unsigned char byteAt(const char* data, qsizetype i)
{
    return static_cast<unsigned char>(data[i]);
}

// Built from the decoder and the fold themselves, so that the scan splits bytes exactly as they do.
std::unique_ptr<CharTable> buildTable(MatchMode mode)
{
    auto t = std::make_unique<CharTable>();
    QString decoded;
    auto read = [&](const char* bytes, qsizetype n) -> const QString& {
        if (mode == MatchMode::Exact)
            cp932::decodeInto(QByteArrayView(bytes, n), decoded);
        else
            decoded = looseFoldCp932(QByteArrayView(bytes, n));
        return decoded;
    };
    for (int b = 0; b < 0x100; ++b) {
        const char byte = static_cast<char>(b);
        const QString& ch = read(&byte, 1);
        t->single[static_cast<size_t>(b)] = ch.size() == 1 ? ch.at(0).unicode() : u'\uFFFD';
    }
    // A byte below 0x80 is always a character of its own.
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int next = 0; next < 0x100; ++next) {
            const char bytes[2] = {static_cast<char>(lead), static_cast<char>(next)};
            const QString& ch = read(bytes, 2);
            if (ch.size() != 1)
                continue;
            const int code = lead << 8 | next;
            t->two.set(static_cast<size_t>(code));
            t->pair[static_cast<size_t>(code)] = ch.at(0).unicode();
            t->startsTwo[static_cast<size_t>(lead)] = true;
        }
    }
    t->sync.fill(true);
    for (int code = 0x8000; code < 0x10000; ++code) {
        if (t->two.test(static_cast<size_t>(code)))
            t->sync[static_cast<size_t>(code & 0xFF)] = false;
    }
    return t;
}

const CharTable& charTable(MatchMode mode)
{
    static std::once_flag once[2];
    static std::unique_ptr<CharTable> tables[2];
    const int which = mode == MatchMode::Exact ? 0 : 1;
    std::call_once(once[which], [&] { tables[which] = buildTable(mode); });
    return *tables[which];
}

// The byte sequences that read as one character of the needle.
struct Forms
{
    std::bitset<0x100> firsts;
    std::bitset<0x100> lasts;
    int count = 0;
    std::vector<QByteArray> all; // up to MostFormsSpelled + 1 of them
};

// Beyond this many forms a character is not spelled out before decoding (U+FFFD has hundreds).
constexpr int MostFormsSpelled = 16;
// Neighbours spelled out on either side of a candidate: enough to rule out nearly every false
// candidate, and the test stays short for a keyword of any length.
constexpr int MostNeighboursSpelled = 8;

void addForm(Forms& forms, const char* bytes, qsizetype n)
{
    forms.firsts.set(static_cast<unsigned char>(bytes[0]));
    forms.lasts.set(static_cast<unsigned char>(bytes[n - 1]));
    if (++forms.count <= MostFormsSpelled + 1)
        forms.all.emplace_back(bytes, n);
}

// A form is one or two bytes, too short to be worth a call to memcmp.
bool holds(const char* at, const QByteArray& form)
{
    return at[0] == form[0] && (form.size() == 1 || at[1] == form[1]);
}

int cost(const std::bitset<0x100>& values)
{
    int sum = 0;
    for (int b = 0; b < 0x100; ++b) {
        if (values.test(static_cast<size_t>(b)))
            sum += CandidateFinder::commonness(static_cast<unsigned char>(b));
    }
    return sum;
}

QByteArray valuesOf(const std::bitset<0x100>& values)
{
    QByteArray out;
    for (int b = 0; b < 0x100; ++b) {
        if (values.test(static_cast<size_t>(b)))
            out.append(static_cast<char>(b));
    }
    return out;
}

} // namespace

KeywordScan::KeywordScan(const QString& keyword, MatchMode mode)
    : table_(charTable(mode)), needle_(mode == MatchMode::Loose ? looseFold(keyword) : keyword), matcher_(keyword, mode)
{
    reach_ = 2 * needle_.size();
    buffer_.resize(static_cast<size_t>(ReadSize + reach_ + 8));
    // No line holds a CR.
    impossible_ = needle_.contains(u'\r');
    if (needle_.isEmpty() || impossible_)
        return;

    std::unordered_map<char16_t, Forms> forms;
    for (QChar ch : needle_)
        forms[ch.unicode()];
    for (int b = 0; b < 0x100; ++b) {
        const auto found = forms.find(table_.single[static_cast<size_t>(b)]);
        if (found != forms.end()) {
            const char byte = static_cast<char>(b);
            addForm(found->second, &byte, 1);
        }
    }
    for (int code = 0x8000; code < 0x10000; ++code) {
        if (!table_.two.test(static_cast<size_t>(code)))
            continue;
        const auto found = forms.find(table_.pair[static_cast<size_t>(code)]);
        if (found != forms.end()) {
            const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            addForm(found->second, bytes, 2);
        }
    }

    bool unique = true;
    for (const auto& entry : forms) {
        if (entry.second.count == 0) {
            // A character that CP932 cannot hold is in no memo.
            impossible_ = true;
            return;
        }
        unique = unique && entry.second.count == 1;
    }
    if (unique) {
        QByteArray bytes;
        for (QChar ch : needle_)
            bytes += forms[ch.unicode()].all.front();
        finder_ = CandidateFinder::forBytes(bytes);
        return;
    }
    // Otherwise a set of first or last bytes of one needle character: every match holds one. Which
    // set is rarest shows in the bytes read; until then a rough guess.
    for (qsizetype i = 0; i < needle_.size(); ++i) {
        const Forms& f = forms[needle_.at(i).unicode()];
        for (const bool first : {true, false}) {
            const std::bitset<0x100>& values = first ? f.firsts : f.lasts;
            if (values.count() <= static_cast<size_t>(CandidateFinder::MaxValues))
                options_.push_back({i, first, valuesOf(values), cost(values)});
        }
    }
    if (options_.empty())
        return;
    spelled_ = true;
    for (QChar ch : needle_) {
        const Forms& f = forms[ch.unicode()];
        formsAt_.push_back(f.count <= MostFormsSpelled ? f.all : std::vector<QByteArray>());
    }
    chooseCandidates();
}

void KeywordScan::chooseCandidates()
{
    auto seen = [&](const CandidateOption& option) {
        quint64 count = 0;
        for (char value : option.values)
            count += seen_[static_cast<unsigned char>(value)];
        return count;
    };
    const CandidateOption* best = &options_.front();
    for (const CandidateOption& option : options_) {
        const quint64 a = seen(option);
        const quint64 b = seen(*best);
        if (a < b || (a == b && option.guessedCost < best->guessedCost))
            best = &option;
    }
    if (best == chosen_)
        return;
    chosen_ = best;
    finder_ = CandidateFinder::forAnyOf(best->values);
    candidateChar_ = best->charIndex;
    candidateIsFirstByte_ = best->firstByte;
}

void KeywordScan::learnFrom(qsizetype from, qsizetype to)
{
    to = std::min(to, from + (SampleSize - sampled_));
    const char* data = buffer_.data();
    for (qsizetype i = from; i < to; ++i)
        ++seen_[byteAt(data, i)];
    sampled_ += to - from;
    chooseCandidates();
}

bool KeywordScan::spelledForward(qsizetype index, qsizetype at, int left) const
{
    if (left == 0 || index == static_cast<qsizetype>(formsAt_.size()) || formsAt_[static_cast<size_t>(index)].empty())
        return true;
    for (const QByteArray& form : formsAt_[static_cast<size_t>(index)]) {
        if (at + form.size() > held_)
            return true; // the bytes that would tell are not read yet
        if (holds(buffer_.data() + at, form) && spelledForward(index + 1, at + form.size(), left - 1))
            return true;
    }
    return false;
}

bool KeywordScan::spelledBackward(qsizetype index, qsizetype at, int left) const
{
    if (left == 0 || index < 0 || formsAt_[static_cast<size_t>(index)].empty())
        return true;
    for (const QByteArray& form : formsAt_[static_cast<size_t>(index)]) {
        if (at - form.size() < 0)
            return true; // before the bytes held: the piece before said nothing against it
        if (holds(buffer_.data() + at - form.size(), form) && spelledBackward(index - 1, at - form.size(), left - 1))
            return true;
    }
    return false;
}

// Whether the raw bytes around a candidate read as the needle in some forms of its characters,
// ignoring where characters start; only then is the window decoded.
bool KeywordScan::mayBeSpelledAround(qsizetype at) const
{
    const std::vector<QByteArray>& forms = formsAt_[static_cast<size_t>(candidateChar_)];
    if (forms.empty())
        return true;
    for (const QByteArray& form : forms) {
        const qsizetype start = candidateIsFirstByte_ ? at : at - form.size() + 1;
        if (start < 0 || start + form.size() > held_)
            return true;
        if (holds(buffer_.data() + start, form) && spelledBackward(candidateChar_ - 1, start, MostNeighboursSpelled) &&
            spelledForward(candidateChar_ + 1, start + form.size(), MostNeighboursSpelled))
            return true;
    }
    return false;
}

void KeywordScan::restart()
{
    held_ = 0;
    afterCr_ = false;
}

qsizetype KeywordScan::step(qsizetype at) const
{
    const char* data = buffer_.data();
    return at + 1 < held_ && table_.two.test(static_cast<size_t>(byteAt(data, at) << 8 | byteAt(data, at + 1))) ? 2 : 1;
}

// The last character start at or before target; floor is a character start at or before target.
// Steps back to a byte that starts a character whatever precedes it, then forward character by
// character.
qsizetype KeywordScan::charStartAtOrBefore(qsizetype target, qsizetype floor) const
{
    const char* data = buffer_.data();
    qsizetype at = target;
    while (at > floor && !table_.sync[byteAt(data, at)])
        --at;
    for (;;) {
        const qsizetype next = at + step(at);
        if (next > target)
            return at;
        at = next;
    }
}

qsizetype KeywordScan::skipLineFeedOfCrLf(qsizetype lineStart) const
{
    const char* data = buffer_.data();
    if (lineStart < held_ && data[lineStart] == '\n' && (lineStart > 0 ? data[lineStart - 1] == '\r' : afterCr_))
        return lineStart + 1;
    return lineStart;
}

// Looks at every candidate in [0, end): a window a keyword length on either side of it, cut to its
// line, is decoded and matched. When candidates crowd, the rest of the line is decoded at once.
// Matches that reach beyond end are left to the next piece, which starts with the bytes before it.
bool KeywordScan::searchUpTo(qsizetype end)
{
    const char* const data = buffer_.data();
    qsizetype pos = 0;
    qsizetype known = 0; // a character starts here, at or before every later window
    qsizetype windowEnd = 0;
    while (pos < end) {
        const qsizetype at = finder_.next(data + pos, data + end) - data;
        if (at >= end)
            return false;
        if (spelled_ && !mayBeSpelledAround(at)) {
            pos = at + 1;
            continue;
        }
        const bool crowded = at < windowEnd;
        qsizetype start = charStartAtOrBefore(std::max(known, at - reach_), known);
        known = start;
        for (qsizetype i = at - 1; i >= start; --i) {
            if (data[i] == '\r') {
                start = i + 1;
                break;
            }
        }
        start = skipLineFeedOfCrLf(start);

        const qsizetype searchTo = crowded ? end : std::min(end, at + reach_ + 2);
        const void* cr = std::memchr(data + at, '\r', static_cast<size_t>(searchTo - at));
        const qsizetype limit = cr ? static_cast<const char*>(cr) - data : end;
        qsizetype stop = start;
        if (crowded) {
            stop = limit;
        } else {
            while (stop < limit && stop < at + reach_)
                stop += step(stop);
        }
        if (stop > start && matcher_.matchesCp932(QByteArrayView(data + start, stop - start)))
            return true;
        windowEnd = stop;
        pos = crowded ? std::max(stop, at + 1) : at + 1;
        if (crowded && stop > known)
            known = stop;
    }
    return false;
}

bool KeywordScan::take(qsizetype size, bool atEnd)
{
    held_ += size;
    if (!options_.empty() && sampled_ < SampleSize && size > 0)
        learnFrom(held_ - size, held_);
    const qsizetype n = held_;
    if (n == 0)
        return false;
    // Any byte makes a line, and every line holds the empty keyword.
    if (needle_.isEmpty())
        return true;
    if (impossible_) {
        held_ = 0;
        return false;
    }
    qsizetype end = n;
    if (!atEnd) {
        // The last byte may begin a character that the next piece completes.
        const qsizetype last = charStartAtOrBefore(n - 1, 0);
        if (last == n - 1 && table_.startsTwo[byteAt(buffer_.data(), n - 1)])
            end = n - 1;
    }
    if (searchUpTo(end))
        return true;
    if (atEnd) {
        held_ = 0;
        return false;
    }
    // Keep enough bytes before end for a match that reaches past it, from a character start.
    const qsizetype keepFrom = end - reach_ - 2 > 0 ? charStartAtOrBefore(end - reach_ - 2, 0) : 0;
    if (keepFrom > 0) {
        afterCr_ = buffer_[static_cast<size_t>(keepFrom - 1)] == '\r';
        std::memmove(buffer_.data(), buffer_.data() + keepFrom, static_cast<size_t>(n - keepFrom));
        held_ = n - keepFrom;
    }
    return false;
}

} // namespace search
