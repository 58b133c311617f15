#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>

namespace search {

// Finds, in raw bytes and many bytes at a time, the places where a keyword may stand, so that only
// those places need decoding. A candidate is a hint, never a match.
class CandidateFinder final
{
public:
    // Every place where these bytes start.
    static CandidateFinder forBytes(QByteArrayView needle);
    // Every place holding one of these byte values; at most MaxValues of them.
    static constexpr int MaxValues = 8;
    static CandidateFinder forAnyOf(QByteArrayView values);
    // Nothing can be ruled out.
    static CandidateFinder everywhere();

    // The first candidate in [from, end), or end. With forBytes the whole needle lies before end.
    const char* next(const char* from, const char* end) const;

    // A rough rank of how often a byte value occurs in Japanese memos, for choosing what to look for.
    static int commonness(unsigned char byte);

private:
    enum class Kind
    {
        Bytes,
        AnyOf,
        Everywhere
    };
    CandidateFinder() = default;

    Kind kind_ = Kind::Everywhere;
    QByteArray needle_;
    // The two places of the needle tested first, its rarest bytes.
    qsizetype first_ = 0;
    qsizetype second_ = 0;
    std::array<unsigned char, MaxValues> values_{};
    int valueCount_ = 0;
};

} // namespace search
