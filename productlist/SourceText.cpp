#include "SourceText.h"

#include <QDir>
#include <QStringDecoder>

#include "Cp932.h"
#include "EncodingGuess.h"

namespace zukaro {

namespace {

QString refusal(const QString& name, const QString& reason) {
    return QStringLiteral("「%1」は読めません。%2").arg(QDir::toNativeSeparators(name), reason);
}

const QString& saveAgain() {
    static const QString text =
        QStringLiteral("UTF-8 か Shift_JIS の CSV として保存し直してください。");
    return text;
}

int lineOf(QByteArrayView bytes, qsizetype offset) {
    return static_cast<int>(bytes.first(offset).count('\n')) + 1;
}

bool isTrail(unsigned char b) {
    return b >= 0x80 && b <= 0xBF;
}

// Narrow: valid UTF-8, but without a character of three bytes; read as Shift_JIS.
enum class LineKind { Ascii, NarrowUtf8, Utf8, NotUtf8 };

// UTF-8 when the line is valid UTF-8 with at least one character of three bytes or more, as
// every Japanese character is. Text in Shift_JIS is almost never that; a line of two half-width
// katakana can be valid UTF-8 of two bytes by chance, so those are not taken as UTF-8.
LineKind kindOf(QByteArrayView line) {
    bool wide = false;
    bool ascii = true;
    for (qsizetype i = 0; i < line.size();) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        ascii = false;
        const int length = b >= 0xC2 && b <= 0xDF   ? 2
                           : b >= 0xE0 && b <= 0xEF ? 3
                           : b >= 0xF0 && b <= 0xF4 ? 4
                                                    : 0;
        if (length == 0 || i + length > line.size()) {
            return LineKind::NotUtf8;
        }
        const auto second = static_cast<unsigned char>(line[i + 1]);
        // No overlong forms, no surrogates, nothing past U+10FFFF.
        const bool secondOk = b == 0xE0   ? second >= 0xA0 && second <= 0xBF
                              : b == 0xED ? second >= 0x80 && second <= 0x9F
                              : b == 0xF0 ? second >= 0x90 && second <= 0xBF
                              : b == 0xF4 ? second >= 0x80 && second <= 0x8F
                                          : isTrail(second);
        if (!secondOk) {
            return LineKind::NotUtf8;
        }
        for (int k = 2; k < length; ++k) {
            if (!isTrail(static_cast<unsigned char>(line[i + k]))) {
                return LineKind::NotUtf8;
            }
        }
        wide = wide || length >= 3;
        i += length;
    }
    return ascii ? LineKind::Ascii : wide ? LineKind::Utf8 : LineKind::NarrowUtf8;
}

struct Line {
    qsizetype start = 0;
    qsizetype length = 0;  // without the LF
    LineKind kind = LineKind::Ascii;
};

// Each line in its own encoding, the minority's lines noted; an error when a line of the
// Shift_JIS side does not decode.
SourceText decodeMixed(QByteArrayView body, const std::vector<Line>& lines, qsizetype utf8Lines,
                       qsizetype otherLines, const QString& name) {
    SourceText result;
    const bool mostlyUtf8 = utf8Lines > otherLines;
    // In a file of UTF-8 a line of two-byte characters only (café) is UTF-8 too.
    const auto readAsUtf8 = [mostlyUtf8](LineKind kind) {
        return kind == LineKind::Utf8 || (mostlyUtf8 && kind == LineKind::NarrowUtf8);
    };
    const QString utf8 = QStringLiteral("UTF-8");
    const QString sjis = QStringLiteral("Shift_JIS");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const QByteArrayView bytes = body.sliced(line.start, line.length);
        const int number = static_cast<int>(i) + 1;
        if (readAsUtf8(line.kind)) {
            result.text += QString::fromUtf8(bytes);
        } else {
            cp932::Decoded decoded = cp932::decode(bytes);
            if (decoded.invalidBytes > 0) {
                result.error = refusal(
                    name, QStringLiteral("行によって文字コードが違い、%1 行目は UTF-8 としても"
                                         "Shift_JIS としても読めません。")
                                  .arg(number) +
                              saveAgain());
                return result;
            }
            result.text += decoded.text;
        }
        if (line.start + line.length < body.size()) {
            result.text += u'\n';
        }
        if (line.kind != LineKind::Ascii && readAsUtf8(line.kind) != mostlyUtf8) {
            result.lineNotes.emplace_back(
                number, QStringLiteral("この行は %1 で書かれていたため、%1 として読みました"
                                       "（ほかの行は %2）。文字化けしていないか確かめてください。")
                            .arg(mostlyUtf8 ? sjis : utf8, mostlyUtf8 ? utf8 : sjis));
        }
    }
    result.ok = true;
    result.encoding = mostlyUtf8 ? QStringLiteral("UTF-8（Shift_JIS の行あり）")
                                 : QStringLiteral("Shift_JIS（UTF-8 の行あり）");
    return result;
}

}  // namespace

SourceText decodeSourceText(QByteArrayView bytes, const QString& name) {
    SourceText result;
    if (looksLikeUtf16(bytes)) {
        result.error =
            refusal(name, QStringLiteral("UTF-16 の文字のファイルのようです。") + saveAgain());
        return result;
    }
    if (bytes.contains('\0')) {
        result.error = refusal(
            name, QStringLiteral("文字のファイルではないようです（0 のバイトがあります）。") +
                      saveAgain());
        return result;
    }

    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArrayView body = bom ? bytes.sliced(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError()) {
        result.ok = true;
        result.text = std::move(text);
        result.encoding = bom ? QStringLiteral("UTF-8 (BOM)") : QStringLiteral("UTF-8");
        return result;
    }
    // Lines by line feed: both encodings keep ASCII as it is, and the LF is never part of a
    // character.
    std::vector<Line> lines;
    qsizetype utf8Lines = 0, otherLines = 0;
    int firstInvalid = 0;
    for (qsizetype start = 0; start <= body.size();) {
        qsizetype end = body.indexOf('\n', start);
        if (end < 0) {
            end = body.size();
        }
        const LineKind kind = kindOf(body.sliced(start, end - start));
        lines.push_back({start, end - start, kind});
        utf8Lines += kind == LineKind::Utf8 ? 1 : 0;
        otherLines += kind == LineKind::NarrowUtf8 || kind == LineKind::NotUtf8 ? 1 : 0;
        if (kind == LineKind::NotUtf8 && firstInvalid == 0) {
            firstInvalid = static_cast<int>(lines.size());
        }
        start = end + 1;
    }
    if (bom) {
        result.error = refusal(
            name, QStringLiteral("UTF-8 の印 (BOM) がありますが、%1 行目が正しい UTF-8 ではありま"
                                 "せん。")
                          .arg(firstInvalid) +
                      saveAgain());
        return result;
    }
    if (utf8Lines > 0) {
        return decodeMixed(body, lines, utf8Lines, otherLines, name);
    }

    cp932::Decoded sjis = cp932::decode(body);
    if (sjis.invalidBytes == 0) {
        result.ok = true;
        result.text = std::move(sjis.text);
        result.encoding = QStringLiteral("Shift_JIS");
        return result;
    }
    result.error = refusal(
        name, QStringLiteral("UTF-8 でも Shift_JIS でもありません（Shift_JIS として読むと %1 行"
                             "目に文字にならないバイトがあります）。")
                      .arg(lineOf(body, sjis.firstInvalidAt)) +
                  saveAgain());
    return result;
}

}  // namespace zukaro
