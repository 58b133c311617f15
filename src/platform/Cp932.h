#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Memo files and the settings file are CP932 (Windows code page 932) whatever the machine's locale,
// so a memo folder moves between this program and Windows tools unchanged.
namespace cp932 {

// The code page's one name in every message: "Shift_JIS（CP932）".
QString name();

// Invalid or unmapped byte sequences decode to U+FFFD and set *invalid.
QString decode(QByteArrayView bytes, bool* invalid = nullptr);
// As decode, into a string the caller keeps: decoding many short pieces reuses its capacity.
void decodeInto(QByteArrayView bytes, QString& out, bool* invalid = nullptr);

// Characters CP932 cannot hold are written as one "?" each and set *replaced. With lfAsCrLf, each LF
// is written as CR LF.
QByteArray encode(QStringView text, bool* replaced = nullptr, bool lfAsCrLf = false);

// Whether the system converter the tables are built from could be set up. Without it only ASCII
// would survive a read or a save, so neither program may open a memo; *reason then says why.
[[nodiscard]] bool converterReady(QString* reason = nullptr);

// Tests: while one lives, converterReady() reports the converter missing, with this reason.
class ScopedConverterFailure
{
public:
    explicit ScopedConverterFailure(const QString& reason);
    ~ScopedConverterFailure();
    ScopedConverterFailure(const ScopedConverterFailure&) = delete;
    ScopedConverterFailure& operator=(const ScopedConverterFailure&) = delete;

private:
    const ScopedConverterFailure* previous_;
    QString reason_;
    friend bool converterReady(QString* reason);
};

// True when the byte starts a two-byte character.
constexpr bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace cp932
