#include "UnencodableText.h"

#include <QDir>
#include <QStringList>

#include "Cp932.h"
#include "Items.h"

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
    for (const ItemDescription& item : items()) {
        const QString name = QString::fromUtf16(item.name);
        check((layout.*item.font).Name, name + QStringLiteral("のフォント名"));
        if (item.shown != nullptr) {
            check(layout.*item.shown, name + QStringLiteral("の表示ボタン"));
        }
        if (item.underline) {
            check(layout.*item.underline, name + QStringLiteral("のアンダーラインボタン"));
        }
    }
    return found;
}

FileResult unencodableRefusal(const QString& path, const std::vector<UnencodableText>& found) {
    return {false, path,
            QStringLiteral("「%1」に保存できませんでした。シフトJISで書けない文字があります。\n%2")
                .arg(QDir::toNativeSeparators(path), describeUnencodable(found))};
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
