#include "CellValues.h"

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

TaxRateCell parseTaxRate(QStringView cell) {
    QString text = normalised(cell);
    if (text.isEmpty()) {
        return {true, std::nullopt};
    }
    if (text == u"軽減") {
        return {true, 8};
    }
    if (text.endsWith(u'%')) {
        text.chop(1);
        text = text.trimmed();
    }
    if (text == u"8" || text == u"10") {
        return {true, text.toInt()};
    }
    return {};
}

std::optional<QString> listPrice(QStringView cell) {
    QString text = normalised(cell);  // ￥ becomes ¥, full-width digits and commas half-width
    bool yenSign = false;
    if (text.startsWith(u'¥') || text.startsWith(u'\\')) {
        text = text.mid(1).trimmed();
        yenSign = true;
    }
    if (text.endsWith(u'円')) {
        text = text.chopped(1).trimmed();
    } else if (yenSign && text.endsWith(u'-')) {  // "¥1,280-", as written on receipts
        text = text.chopped(1).trimmed();
    }
    const std::optional<std::int64_t> yen = wholeYen(text);
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
