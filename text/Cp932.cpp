#include "Cp932.h"

#include <array>
#include <memory>

#include "Cp932Table.h"

namespace zukaro::cp932 {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Where several pairs decode to one character the encoder takes the lowest pair, except that
// the NEC-selected IBM pairs (ED, EE) give way to the IBM pairs (FA-FC), as Windows does.
bool preferred(std::uint16_t candidate, std::uint16_t current) {
    const bool candidateNecIbm = candidate >= 0xED00 && candidate <= 0xEEFF;
    const bool currentNecIbm = current >= 0xED00 && current <= 0xEEFF;
    if (candidateNecIbm != currentNecIbm) {
        return !candidateNecIbm;
    }
    return candidate < current;
}

unsigned char leadByte(int index) {
    return static_cast<unsigned char>(index < 31 ? 0x81 + index : 0xE0 + index - 31);
}

unsigned char trailByte(int index) {
    return static_cast<unsigned char>(index < 63 ? 0x40 + index : 0x80 + index - 63);
}

// Reverse of kDoubleByteTable, built once: 0 means no pair.
const std::array<std::uint16_t, 0x10000>& pairTable() {
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        t->fill(0);
        for (int lead = 0; lead < kLeadCount; ++lead) {
            for (int trail = 0; trail < kTrailCount; ++trail) {
                const char16_t c =
                    kDoubleByteTable[static_cast<std::size_t>(lead * kTrailCount + trail)];
                if (c == 0) {
                    continue;
                }
                const auto packed =
                    static_cast<std::uint16_t>(leadByte(lead) << 8 | trailByte(trail));
                std::uint16_t& slot = (*t)[c];
                if (slot == 0 || preferred(packed, slot)) {
                    slot = packed;
                }
            }
        }
        return t;
    }();
    return *table;
}

char16_t lookAlike(char32_t c) {
    switch (c) {
        case 0x301C:
            return 0xFF5E;  // 〜 wave dash → ～
        case 0x2016:
            return 0x2225;  // ‖ → ∥
        case 0x2212:
            return 0xFF0D;  // − minus → －
        case 0x00A2:
            return 0xFFE0;  // ¢ → ￠
        case 0x00A3:
            return 0xFFE1;  // £ → ￡
        case 0x00AC:
            return 0xFFE2;  // ¬ → ￢
        case 0x00A5:
            return 0x005C;  // ¥ → byte 5C, the yen sign of Japanese Windows
        case 0x2014:
            return 0x2015;  // — em dash → ―
        case 0x203E:
            return 0xFFE3;  // ‾ overline → ￣
        default:
            return 0;
    }
}

// Calls visit(codePoint, utf16Length) for each code point; a lone surrogate is one.
template <typename Visit>
void forEachCodePoint(QStringView text, Visit visit) {
    for (qsizetype i = 0; i < text.size();) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            visit(QChar::surrogateToUcs4(u, text[i + 1].unicode()), 2);
            i += 2;
        } else {
            visit(char32_t{u}, 1);
            i += 1;
        }
    }
}

}  // namespace

std::optional<std::uint16_t> encodeChar(char32_t c) {
    if (c < 0x80) {
        return static_cast<std::uint16_t>(c);
    }
    if (c >= 0xFF61 && c <= 0xFF9F) {
        return static_cast<std::uint16_t>(c - 0xFF61 + 0xA1);
    }
    if (c > 0xFFFF) {
        return std::nullopt;
    }
    const std::uint16_t packed = pairTable()[c];
    if (packed == 0) {
        return std::nullopt;
    }
    return packed;
}

std::optional<char16_t> decodeBytes(std::uint16_t packed) {
    if (packed < 0x100) {
        if (packed < 0x80) {
            return static_cast<char16_t>(packed);
        }
        if (packed >= 0xA1 && packed <= 0xDF) {
            return static_cast<char16_t>(packed - 0xA1 + 0xFF61);
        }
        return std::nullopt;
    }
    const int lead = leadIndex(static_cast<unsigned char>(packed >> 8));
    const int trail = trailIndex(static_cast<unsigned char>(packed & 0xFF));
    if (lead < 0 || trail < 0) {
        return std::nullopt;
    }
    const char16_t c = kDoubleByteTable[static_cast<std::size_t>(lead * kTrailCount + trail)];
    if (c == 0) {
        return std::nullopt;
    }
    return c;
}

QString mapLookAlikes(QStringView text) {
    QString mapped = text.toString();
    for (QChar& ch : mapped) {
        if (const char16_t replacement = lookAlike(ch.unicode())) {
            ch = QChar(replacement);
        }
    }
    return mapped;
}

std::vector<Unencodable> findUnencodable(QStringView text) {
    std::vector<Unencodable> found;
    qsizetype index = 0;
    forEachCodePoint(text, [&](char32_t c, int) {
        const char16_t mapped = c <= 0xFFFF ? lookAlike(c) : 0;
        if (!encodeChar(mapped ? mapped : c)) {
            found.push_back({index, c});
        }
        ++index;
    });
    return found;
}

Encoded encode(QStringView text) {
    Encoded out;
    out.bytes.reserve(text.size() * 2);
    qsizetype index = 0;
    forEachCodePoint(text, [&](char32_t c, int) {
        const char16_t mapped = c <= 0xFFFF ? lookAlike(c) : 0;
        const std::optional<std::uint16_t> packed = encodeChar(mapped ? mapped : c);
        if (!packed) {
            out.unencodable.push_back({index, c});
            out.bytes.append('?');
        } else if (*packed > 0xFF) {
            out.bytes.append(static_cast<char>(*packed >> 8));
            out.bytes.append(static_cast<char>(*packed & 0xFF));
        } else {
            out.bytes.append(static_cast<char>(*packed));
        }
        ++index;
    });
    return out;
}

Decoded decode(QByteArrayView bytes) {
    Decoded out;
    out.text.reserve(bytes.size());
    const auto invalid = [&out](qsizetype at, qsizetype count) {
        out.text.append(QChar(kReplacement));
        if (out.invalidBytes == 0) {
            out.firstInvalidAt = at;
        }
        out.invalidBytes += count;
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.text.append(QChar(char16_t{b}));
            ++i;
            continue;
        }
        if (leadIndex(b) < 0) {
            const std::optional<char16_t> c = decodeBytes(b);
            if (c) {
                out.text.append(QChar(*c));
            } else {
                invalid(i, 1);
            }
            ++i;
            continue;
        }
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (i + 1 >= bytes.size() || trailIndex(next) < 0) {
            invalid(i, 1);  // the next byte is looked at again on its own
            ++i;
            continue;
        }
        const std::optional<char16_t> c = decodeBytes(static_cast<std::uint16_t>(b << 8 | next));
        if (c) {
            out.text.append(QChar(*c));
        } else {
            invalid(i, 2);
        }
        i += 2;
    }
    return out;
}

}  // namespace zukaro::cp932
