#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

namespace search {

enum class MatchMode
{
    Exact, // character for character
    Loose  // case, full/half width and hiragana/katakana ignored, nothing else
};

// Appends the loose form of text to out: simple case folding, full-width ASCII and the ideographic
// space to ASCII, half-width katakana to full width (a following ﾞ or ﾟ joined into the voiced
// letter), the full-width signs U+FFE0 to U+FFE6 to their narrow forms, then katakana to hiragana.
// Voicing, small kana and compatibility characters such as ① stay as they are. The result may be
// shorter than text.
void appendLooseFold(QStringView text, QString& out);
QString looseFold(QStringView text);
// The loose form of CP932 bytes, decoded and folded in one pass: looseFold(cp932::decode(bytes)).
QString looseFoldCp932(QByteArrayView bytes);

// Looks for one keyword inside single lines. Keeps its buffer between calls, so a scan over many
// lines allocates nothing per line.
class KeywordMatcher final
{
public:
    KeywordMatcher(const QString& keyword, MatchMode mode);
    Q_DISABLE_COPY_MOVE(KeywordMatcher)

    bool matches(QStringView line);
    // The same for one line of a memo file, as CP932 bytes.
    bool matchesCp932(QByteArrayView line);

private:
    bool contains(QStringView haystack) const;

    MatchMode mode_;
    QString needle_; // folded in loose mode
    QString folded_;
    QString decoded_;
    std::vector<char16_t> buffer_;
};

} // namespace search
