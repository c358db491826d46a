#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <vector>

// Windows code page 932 both ways, exactly, from our own table. The locale's codec is never
// used: Qt's ICU converter swaps the control bytes 1A/1C/7F and glibc's silently best-fits
// characters such as U+301C onto a different one.
namespace zukaro::cp932 {

// The byte (0x00-0x7F, 0xA1-0xDF) or byte pair (lead << 8 | trail) of one character, or
// nothing when code page 932 has no exact place for it. No look-alike mapping here.
std::optional<std::uint16_t> encodeChar(char32_t c);

// The character of a single byte or byte pair as encodeChar packs it, or nothing when the
// bytes are not a character of code page 932.
std::optional<char16_t> decodeBytes(std::uint16_t packed);

// Replaces the usual Unicode look-alikes by the characters code page 932 holds, one for one
// (so positions stay the same): 〜 U+301C → ～, ‖ → ∥, − → －, ¢ £ ¬ → ￠ ￡ ￢, — U+2014 → ―,
// ‾ → ￣, and ¥ U+00A5 → byte 5C as Japanese Windows writes it (it reads back as U+005C, which
// Japanese Windows fonts show as the yen sign).
QString mapLookAlikes(QStringView text);

struct Unencodable {
    qsizetype index;  // in code points from the start of the text, 0-based
    char32_t character;
};

// Code points that code page 932 cannot hold after the look-alike mapping.
std::vector<Unencodable> findUnencodable(QStringView text);

struct Encoded {
    QByteArray bytes;
    std::vector<Unencodable> unencodable;  // each written as '?' in bytes
};

// Maps look-alikes, then encodes. Every character that still has no place is listed and
// written as '?', so a caller that wants no substitution refuses when the list is not empty.
Encoded encode(QStringView text);

struct Decoded {
    QString text;
    qsizetype invalidBytes = 0;     // bytes that make no character (shown as U+FFFD)
    qsizetype firstInvalidAt = -1;  // byte offset of the first of them
};

// Decodes; never fails. A byte that does not start a character, a lead byte whose next byte
// cannot be its trail, and a well-formed pair with no character each give one U+FFFD. A bad
// trail is read again on its own, so a quote, comma or line end after a stray lead byte is
// never swallowed.
Decoded decode(QByteArrayView bytes);

}  // namespace zukaro::cp932
