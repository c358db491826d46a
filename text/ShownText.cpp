#include "ShownText.h"

namespace zukaro {
namespace {

// C0 and C1 controls, DEL, the line and paragraph separators, and the bidirectional marks and
// embeddings that can make a line read differently from what it holds.
bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void appendEscaped(QString& out, char16_t c) {
    switch (c) {
        case u'\n':
            out += QStringLiteral("\\n");
            return;
        case u'\r':
            out += QStringLiteral("\\r");
            return;
        case u'\t':
            out += QStringLiteral("\\t");
            return;
        default:
            break;
    }
    const QString hex = QString::number(c, 16).toUpper();
    out += c < 0x80 ? QStringLiteral("\\x") + hex.rightJustified(2, u'0')
                    : QStringLiteral("\\u") + hex.rightJustified(4, u'0');
}

QString escaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (isControl(c.unicode()) || c.isSurrogate() || c.unicode() >= 0xFFFE) {
            // Half a pair, U+FFFE and U+FFFF are no characters: a terminal would show them as
            // anything.
            appendEscaped(out, c.unicode());
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

QString shownText(QStringView text, qsizetype maxChars) {
    if (text.size() <= maxChars) {
        return escaped(text);
    }
    qsizetype cut = maxChars;
    if (cut > 0 && text[cut - 1].isHighSurrogate()) {
        --cut;  // never half a character
    }
    return escaped(text.first(cut)) + QStringLiteral("…（全 %1 文字）").arg(countText(text.size()));
}

QString withoutControls(QStringView text) {
    return escaped(text);
}

QString countText(qint64 count) {
    QString digits = QString::number(count < 0 ? -count : count);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) {
        digits.insert(i, u',');
    }
    return count < 0 ? u'-' + digits : digits;
}

}  // namespace zukaro
