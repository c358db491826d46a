#include "CellValues.h"

#include <QRegularExpression>
#include "ShownText.h"
#include "TaxPrice.h"

namespace zukaro {

namespace {

// Full-width digits and signs to half-width, blanks around removed.
QString normalised(QStringView cell) {
    return cell.toString().normalized(QString::NormalizationForm_KC).trimmed();
}

bool allDigits(QStringView text) {
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return !text.isEmpty();
}

}  // namespace

QString unstorableCharacter(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isNull() || c.isSurrogate() || c.unicode() >= 0xFFFE) {
            return shownText(text.sliced(i, 1));
        }
    }
    return {};
}

std::optional<int> parseCopies(QStringView cell) {
    const QString text = normalised(cell);
    if (text.isEmpty()) {
        return 1;
    }
    if (!allDigits(text)) {
        return std::nullopt;
    }
    bool ok = false;
    const int copies = text.toInt(&ok);
    if (!ok || copies > 999) {
        return std::nullopt;
    }
    return copies;
}

TaxCell parseTaxCell(QStringView cell) {
    static const QRegularExpression blanksAndBrackets(QStringLiteral("[\\s()\\[\\]【】]"));
    QString text = normalised(cell);
    text.remove(blanksAndBrackets);
    TaxCell out{true, {}, {}};
    if (text.isEmpty()) {
        return out;
    }
    struct Word {
        const char16_t* text;
        std::optional<int> rate;
        std::optional<PriceTax> kind;
    };
    // Longer words first, so that 標準税率 is not read as 標準 and a rest.
    static const Word words[] = {
        {u"標準税率", kStandardTaxRate, {}}, {u"軽減税率", kReducedTaxRate, {}},
        {u"非課税", {}, PriceTax::Exempt},   {u"不課税", {}, PriceTax::Exempt},
        {u"対象外", {}, PriceTax::Exempt},   {u"免税", {}, PriceTax::Exempt},
        {u"標準", kStandardTaxRate, {}},     {u"軽減", kReducedTaxRate, {}},
        {u"外税", {}, PriceTax::Exclusive},  {u"税抜", {}, PriceTax::Exclusive},
        {u"税別", {}, PriceTax::Exclusive},  {u"内税", {}, PriceTax::Inclusive},
        {u"税込", {}, PriceTax::Inclusive},  {u"10%", kStandardTaxRate, {}},
        {u"10", kStandardTaxRate, {}},       {u"8%", kReducedTaxRate, {}},
        {u"8", kReducedTaxRate, {}},         {u"0%", {}, PriceTax::Exempt},
        {u"0", {}, PriceTax::Exempt},
    };
    const auto agree = [](auto& into, const auto& value) {
        if (!value) {
            return true;
        }
        if (into && *into != *value) {
            return false;
        }
        into = value;
        return true;
    };
    QStringView rest(text);
    while (!rest.isEmpty()) {
        const Word* found = nullptr;
        for (const Word& word : words) {
            if (rest.startsWith(QStringView(word.text))) {
                found = &word;
                break;
            }
        }
        // "100" is no rate: a number must end where the word does.
        if (found == nullptr ||
            (rest.size() > QStringView(found->text).size() && found->text[0] >= u'0' &&
             found->text[0] <= u'9' && rest[QStringView(found->text).size()].isDigit()) ||
            !agree(out.rate, found->rate) || !agree(out.kind, found->kind)) {
            return {};
        }
        rest = rest.mid(QStringView(found->text).size());
    }
    if (out.kind == PriceTax::Exempt && out.rate) {
        return {};  // 非課税 at 10 % says two things
    }
    return out;
}

YesNoCell parseReducedCell(QStringView cell) {
    const QString text = normalised(cell).toCaseFolded();
    if (text.isEmpty()) {
        return {true, std::nullopt};
    }
    static const QStringList yes{
        QStringLiteral("○"),    QStringLiteral("〇"),   QStringLiteral("◯"),   QStringLiteral("1"),
        QStringLiteral("対象"), QStringLiteral("はい"), QStringLiteral("true")};
    static const QStringList no{QStringLiteral("×"),      QStringLiteral("x"),
                                QStringLiteral("✕"),      QStringLiteral("0"),
                                QStringLiteral("対象外"), QStringLiteral("非対象"),
                                QStringLiteral("いいえ"), QStringLiteral("false")};
    if (yes.contains(text)) {
        return {true, true};
    }
    if (no.contains(text)) {
        return {true, false};
    }
    return {};
}

std::optional<QString> listDate(QStringView cell, const QDate& printDay, bool days1904) {
    QString text = normalised(cell);
    if (text.isEmpty()) {
        return QString();
    }
    // A spreadsheet's day: days since 1899-12-30 (its calendar's false 1900-02-29 lies before
    // any day a sale can have), or since 1904-01-01 in an old Mac workbook; five digits, from
    // 1927 (1931) to 2173 (2177); a time of day after the point.
    static const QRegularExpression serial(QStringLiteral("^(\\d{5})(\\.\\d+)?$"));
    static const QRegularExpression full(
        QStringLiteral("^(\\d{4})(?:[/.-]|年)(\\d{1,2})(?:[/.-]|月)(\\d{1,2})日?"
                       "(?:[ T]\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    static const QRegularExpression packed(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression yearless(QStringLiteral("^(\\d{1,2})(?:/|月)(\\d{1,2})日?$"));
    QDate day;
    QRegularExpressionMatch m;
    if ((m = serial.match(text)).hasMatch()) {
        day = (days1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30)).addDays(m.captured(1).toInt());
    } else if ((m = full.match(text)).hasMatch() || (m = packed.match(text)).hasMatch()) {
        day = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else if ((m = yearless.match(text)).hasMatch()) {
        const QDate year = printDay.isValid() ? printDay : QDate::currentDate();
        day = QDate(year.year(), m.captured(1).toInt(), m.captured(2).toInt());
    }
    if (!day.isValid()) {
        return std::nullopt;
    }
    return day.toString(Qt::ISODate);
}

QString widenHalfWidthKatakana(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        // U+FF61 ｡ to U+FF9F ﾟ: the half-width punctuation and katakana.
        if (text[i] < u'\uFF61' || text[i] > u'\uFF9F') {
            out += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && text[end] >= u'\uFF61' && text[end] <= u'\uFF9F') {
            ++end;
        }
        // A voiced mark that joins no kana (ﾞ first, or after ｰ) stays a mark of its own,
        // 「゛」 or 「゜」, never a combining one that would join the letter before it.
        QString run = text.mid(i, end - i).normalized(QString::NormalizationForm_KC);
        run.replace(u'\u3099', u'\u309B').replace(u'\u309A', u'\u309C');
        out += run;
        i = end;
    }
    return out;
}

std::optional<QString> listPrice(QStringView cell) {
    const std::optional<std::int64_t> yen = wholeYen(cell.toString());
    if (!yen) {
        return std::nullopt;
    }
    return QString::number(*yen);
}

QString janText(QStringView cell) {
    QString jan = cell.trimmed().toString();
    for (QChar& c : jan) {
        if (c >= u'０' && c <= u'９') {
            c = QChar(c.unicode() - u'０' + u'0');
        }
    }
    return jan;
}

}  // namespace zukaro
