#include "CandidateFinder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace search {
namespace {

// Sixteen bytes compared at once; the compiler turns these into the machine's vector instructions.
using Block = unsigned char __attribute__((vector_size(16)));
using BlockMask = signed char __attribute__((vector_size(16)));
constexpr qsizetype BlockSize = 16;

Block load(const char* at)
{
    Block b;
    std::memcpy(&b, at, sizeof b);
    return b;
}

Block splat(unsigned char value)
{
    return Block{} + value;
}

// Offset of the first set lane, or BlockSize.
qsizetype firstSet(BlockMask mask)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    if (halves[0] != 0)
        return __builtin_ctzll(halves[0]) / 8;
    if (halves[1] != 0)
        return 8 + __builtin_ctzll(halves[1]) / 8;
    return BlockSize;
}

bool anySet(BlockMask mask)
{
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Sixty-four bytes a step while nothing is found: one test of all four blocks' lanes at once.
template <int Count> const char* findAnyOfCount(const char* from, const char* end, const unsigned char* values)
{
    Block wanted[Count];
    for (int i = 0; i < Count; ++i)
        wanted[i] = splat(values[i]);
    auto matches = [&](const char* at) {
        const Block b = load(at);
        BlockMask mask = b == wanted[0];
        for (int i = 1; i < Count; ++i)
            mask |= b == wanted[i];
        return mask;
    };
    const char* p = from;
    for (; end - p >= 4 * BlockSize; p += 4 * BlockSize) {
        const BlockMask m0 = matches(p);
        const BlockMask m1 = matches(p + BlockSize);
        const BlockMask m2 = matches(p + 2 * BlockSize);
        const BlockMask m3 = matches(p + 3 * BlockSize);
        if (!anySet(m0 | m1 | m2 | m3))
            continue;
        if (anySet(m0))
            return p + firstSet(m0);
        if (anySet(m1))
            return p + BlockSize + firstSet(m1);
        if (anySet(m2))
            return p + 2 * BlockSize + firstSet(m2);
        return p + 3 * BlockSize + firstSet(m3);
    }
    for (; end - p >= BlockSize; p += BlockSize) {
        const BlockMask mask = matches(p);
        if (anySet(mask))
            return p + firstSet(mask);
    }
    for (; p < end; ++p) {
        for (int i = 0; i < Count; ++i) {
            if (static_cast<unsigned char>(*p) == values[i])
                return p;
        }
    }
    return end;
}

const char* findAnyOf(const char* from, const char* end, const unsigned char* values, int count)
{
    switch (count) {
    case 1: {
        const void* at = std::memchr(from, values[0], static_cast<size_t>(end - from));
        return at ? static_cast<const char*>(at) : end;
    }
    case 2:
        return findAnyOfCount<2>(from, end, values);
    case 3:
        return findAnyOfCount<3>(from, end, values);
    case 4:
        return findAnyOfCount<4>(from, end, values);
    case 5:
        return findAnyOfCount<5>(from, end, values);
    case 6:
        return findAnyOfCount<6>(from, end, values);
    case 7:
        return findAnyOfCount<7>(from, end, values);
    default:
        return findAnyOfCount<CandidateFinder::MaxValues>(from, end, values);
    }
}

// Tests the two rarest bytes of the needle at sixty-four places at once, and the whole needle only
// where both agree.
const char* findNeedle(const char* from, const char* end, const QByteArray& needle, qsizetype first, qsizetype second)
{
    const qsizetype n = needle.size();
    if (end - from < n)
        return end;
    if (n == 1) {
        const unsigned char value = static_cast<unsigned char>(needle[0]);
        return findAnyOf(from, end, &value, 1);
    }
    const char* const lastStart = end - n;
    const Block a = splat(static_cast<unsigned char>(needle[first]));
    const Block b = splat(static_cast<unsigned char>(needle[second]));
    auto agree = [&](const char* at) { return (load(at + first) == a) & (load(at + second) == b); };
    // The first place in the block where the whole needle stands, or nullptr.
    auto verify = [&](BlockMask mask, const char* block) -> const char* {
        std::uint64_t halves[2];
        std::memcpy(halves, &mask, sizeof halves);
        for (int half = 0; half < 2; ++half) {
            for (std::uint64_t bits = halves[half]; bits != 0;) {
                const int lane = __builtin_ctzll(bits) / 8;
                const char* at = block + half * 8 + lane;
                if (std::memcmp(at, needle.constData(), static_cast<size_t>(n)) == 0)
                    return at;
                bits &= ~(std::uint64_t{0xFF} << (lane * 8));
            }
        }
        return nullptr;
    };
    const char* p = from;
    for (; lastStart - p >= 4 * BlockSize - 1; p += 4 * BlockSize) {
        const BlockMask masks[4] = {agree(p), agree(p + BlockSize), agree(p + 2 * BlockSize), agree(p + 3 * BlockSize)};
        if (!anySet(masks[0] | masks[1] | masks[2] | masks[3]))
            continue;
        for (int i = 0; i < 4; ++i) {
            if (anySet(masks[i])) {
                if (const char* at = verify(masks[i], p + i * BlockSize))
                    return at;
            }
        }
    }
    for (; lastStart - p >= BlockSize - 1; p += BlockSize) {
        const BlockMask mask = agree(p);
        if (anySet(mask)) {
            if (const char* at = verify(mask, p))
                return at;
        }
    }
    for (; p <= lastStart; ++p) {
        if (p[first] == needle[first] && std::memcmp(p, needle.constData(), static_cast<size_t>(n)) == 0)
            return p;
    }
    return end;
}

} // namespace

int CandidateFinder::commonness(unsigned char byte)
{
    if (byte >= 0x81 && byte <= 0x83)
        return 100; // leads of kana, signs and full-width letters
    if ((byte >= 0x88 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xEA))
        return 60; // leads of kanji
    if (byte == ' ' || byte == '\r' || byte == '\n' || (byte >= 'a' && byte <= 'z'))
        return 50;
    if (byte >= '0' && byte <= '9')
        return 30;
    if (byte >= 0x40 && byte <= 0xFC)
        return 20; // mostly second bytes, spread over many values
    return 10;
}

CandidateFinder CandidateFinder::forBytes(QByteArrayView needle)
{
    CandidateFinder f;
    f.kind_ = Kind::Bytes;
    f.needle_ = needle.toByteArray();
    const qsizetype n = f.needle_.size();
    if (n == 0)
        return everywhere();
    auto rarity = [&](qsizetype i) { return commonness(static_cast<unsigned char>(f.needle_[i])); };
    qsizetype best = 0;
    for (qsizetype i = 1; i < n; ++i) {
        if (rarity(i) < rarity(best))
            best = i;
    }
    qsizetype other = best == 0 ? n - 1 : 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (i != best && rarity(i) < rarity(other))
            other = i;
    }
    f.first_ = std::min(best, other);
    f.second_ = std::max(best, other);
    return f;
}

CandidateFinder CandidateFinder::forAnyOf(QByteArrayView values)
{
    if (values.isEmpty() || values.size() > MaxValues)
        return everywhere();
    CandidateFinder f;
    f.kind_ = Kind::AnyOf;
    f.valueCount_ = static_cast<int>(values.size());
    for (int i = 0; i < f.valueCount_; ++i)
        f.values_[static_cast<size_t>(i)] = static_cast<unsigned char>(values[i]);
    return f;
}

CandidateFinder CandidateFinder::everywhere()
{
    return CandidateFinder();
}

const char* CandidateFinder::next(const char* from, const char* end) const
{
    if (from >= end)
        return end;
    switch (kind_) {
    case Kind::Bytes:
        return findNeedle(from, end, needle_, first_, second_);
    case Kind::AnyOf:
        return findAnyOf(from, end, values_.data(), valueCount_);
    case Kind::Everywhere:
        break;
    }
    return from;
}

} // namespace search
