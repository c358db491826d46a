#include "JanCompletion.h"

#include <string>

#include "JanEncoder.h"

namespace zukaro {
namespace {

bool allDigits(const QString& text) {
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool lacksCheckDigit(const QString& text) {
    return (text.size() == 12 || text.size() == 7) && allDigits(text);
}

QString janBarsProblem(const QString& text) {
    if (text.trimmed().isEmpty()) {
        return {};
    }
    if (lacksCheckDigit(text)) {
        return QStringLiteral("チェックデジットがありません");
    }
    if (text.size() != 13 && text.size() != 8) {
        return QStringLiteral("8 桁か 13 桁ではありません");
    }
    if (!allDigits(text)) {
        return QStringLiteral("数字でない文字があります");
    }
    if (completeJanCheckDigit(text) != text) {
        return QStringLiteral("チェックデジットが合いません");
    }
    return {};
}

QString completeJanCheckDigit(const QString& text) {
    if (lacksCheckDigit(text)) {
        return completeJanCheckDigit(text + QLatin1Char('0'));
    }
    if (text.size() != 13 && text.size() != 8) {
        return text;
    }
    // The encoder's own check digit; characters outside ASCII count as 0 there as well.
    std::string code;
    for (QChar c : text) {
        code += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '?';
    }
    std::int16_t checkDigit = 0;
    Module1::janCheckDigit(code, checkDigit);
    return text.left(text.size() - 1) + QChar(u'0' + checkDigit);
}

QString checkDigitNote(const QString& typed, const QString& completed) {
    if (completed == typed) {
        return {};
    }
    if (completed.size() > typed.size()) {
        return QStringLiteral("チェックデジット %1 を付けました。").arg(completed.back());
    }
    return QStringLiteral("チェックデジットを %1 から %2 に直しました。")
        .arg(QString(typed.back()), QString(completed.back()));
}

}  // namespace zukaro
