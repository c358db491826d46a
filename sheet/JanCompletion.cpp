#include "JanCompletion.h"

namespace zukaro {
namespace {

int digitValue(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
}

// Weights 1, 3, 1, ... counted from the right end of the data, so the same rule gives the
// EAN-13 weights for 12 data characters and the EAN-8 ones for 7.
QChar checkDigitOf(QStringView data) {
    int sum = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const bool tripled = (data.size() - i) % 2 == 1;
        sum += digitValue(data[i]) * (tripled ? 3 : 1);
    }
    return QLatin1Char(static_cast<char>('0' + (10 - sum % 10) % 10));
}

}  // namespace

QString janBarsProblem(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return {};
    }
    if (text.size() != 13 && text.size() != 8) {
        return QStringLiteral("8 桁か 13 桁ではありません");
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return QStringLiteral("数字でない文字があります");
        }
    }
    if (completeJanCheckDigit(text) != text) {
        return QStringLiteral("チェックデジットが合いません");
    }
    return {};
}

QString completeJanCheckDigit(const QString& text) {
    if (text.size() != 13 && text.size() != 8) {
        return text;
    }
    const QStringView data = QStringView(text).left(text.size() - 1);
    return data.toString() + checkDigitOf(data);
}

}  // namespace zukaro
