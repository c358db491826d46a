#include "NumberText.h"

#include "HalfEven.h"

#include <cmath>

namespace zukaro {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Length of the longest number at `from`: [sign] digits [. digits] [E [sign] digits], with at
// least one digit in the mantissa. 0 when there is none.
qsizetype numberLength(QStringView s, qsizetype from) {
    qsizetype i = from;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        ++i;
    }
    qsizetype digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e' || s[i] == u'D' || s[i] == u'd')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) {
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i - from;
}

double toDouble(QStringView number) {
    QString ascii = number.toString();
    // The old format also wrote exponents with D.
    ascii.replace(u'D', u'E').replace(u'd', u'e');
    bool ok = false;
    const double value = ascii.toDouble(&ok);
    if (ok) {
        return value;
    }
    // Out of double range: QString::toDouble refuses, the number is still that big.
    return ascii.startsWith(u'-') ? -HUGE_VAL : HUGE_VAL;
}

}  // namespace

double leadingNumber(QStringView text) {
    qsizetype from = 0;
    while (from < text.size() && isBlank(text[from])) {
        ++from;
    }
    const qsizetype length = numberLength(text, from);
    return length == 0 ? 0.0 : toDouble(text.mid(from, length));
}

std::optional<double> parseNumber(QStringView text) {
    const QStringView trimmed = text.trimmed();
    const qsizetype length = numberLength(trimmed, 0);
    if (length == 0 || length != trimmed.size()) {
        return std::nullopt;
    }
    return toDouble(trimmed);
}

QString decimalText(QStringView token) {
    const QStringView t = token.trimmed();
    qsizetype i = 0;
    const bool negative = !t.isEmpty() && t[0] == u'-';
    if (!t.isEmpty() && (t[0] == u'-' || t[0] == u'+')) {
        i = 1;
    }
    bool allDigits = i < t.size();
    for (qsizetype j = i; j < t.size(); ++j) {
        allDigits = allDigits && isDigit(t[j]);
    }
    if (allDigits) {
        while (i + 1 < t.size() && t[i] == u'0') {
            ++i;
        }
        const QStringView digits = t.mid(i);
        return (negative && digits != u"0") ? u'-' + digits.toString() : digits.toString();
    }
    const double value = toDouble(t);
    if (std::isinf(value)) {
        return t.toString();
    }
    return QString::number(value, 'g', 15).toUpper();
}

}  // namespace zukaro
