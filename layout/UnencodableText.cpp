#include "UnencodableText.h"

#include <QStringList>

#include "Cp932.h"

namespace zukaro {

void findUnencodable(const QString& text, int label, const QString& item,
                     std::vector<UnencodableText>& found) {
    for (const cp932::Unencodable& u : cp932::findUnencodable(text)) {
        found.push_back({label, item, u.index + 1, u.character});
    }
}

std::vector<UnencodableText> findUnencodable(const Layout& layout) {
    std::vector<UnencodableText> found;
    const auto check = [&found](const QString& text, const QString& item) {
        findUnencodable(text, 0, item, found);
    };
    check(layout.x座標調整, QStringLiteral("x座標調整"));
    check(layout.y座標調整, QStringLiteral("y座標調整"));
    check(layout.縁取, QStringLiteral("縁取のボタン表示"));
    const struct {
        const char16_t* name;
        const FontSpec* font;
        const QString* shown;
        const QString* underline;
    } items[] = {
        {u"JAN", &layout.janFont, &layout.jan表示, nullptr},
        {u"メーカー", &layout.makerFont, &layout.メーカー表示, &layout.メーカーU表示},
        {u"品名", &layout.productFont, &layout.品名表示, &layout.品名U表示},
        {u"規格", &layout.specFont, &layout.規格表示, &layout.規格U表示},
        {u"ロット", &layout.lotFont, &layout.ロット表示, &layout.ロットU表示},
        {u"売価", &layout.priceFont, &layout.単価表示, nullptr},
        {u"円", &layout.yenFont, &layout.円表示, nullptr},
    };
    for (const auto& item : items) {
        const QString name = QString::fromUtf16(item.name);
        check(item.font->Name, name + QStringLiteral("のフォント名"));
        check(*item.shown, name + QStringLiteral("の表示ボタン"));
        if (item.underline) {
            check(*item.underline, name + QStringLiteral("のアンダーラインボタン"));
        }
    }
    return found;
}

QString describeUnencodable(const std::vector<UnencodableText>& found, int maxLines) {
    QStringList lines;
    for (const UnencodableText& u : found) {
        if (lines.size() == maxLines) {
            lines << QStringLiteral("ほか %1 文字")
                         .arg(found.size() - static_cast<std::size_t>(maxLines));
            break;
        }
        const QString where =
            u.label > 0 ? QStringLiteral("ラベル %1 の%2").arg(QString::number(u.label), u.item)
                        : QStringLiteral("レイアウトの%1").arg(u.item);
        const char32_t c = u.character;
        const QString hex =
            QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0');
        lines << QStringLiteral("%1、%2 文字目「%3」(U+%4)")
                     .arg(where, QString::number(u.position), QString::fromUcs4(&c, 1), hex);
    }
    return lines.join(u'\n');
}

}  // namespace zukaro
