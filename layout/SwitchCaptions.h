#pragma once

#include <QString>

// The words the layout's on/off switches are kept in files and shown on their buttons as. Each
// is a button's caption and names what the next click does, so it reads as the opposite of the
// state: 「表示しない」 on an item that is drawn. Files keep the captions; the layout keeps the
// switches.
namespace zukaro::caption {

inline const QString shown = QStringLiteral("表示しない");        // item is drawn
inline const QString hidden = QStringLiteral("表示する");         // item is not drawn
inline const QString plain = QStringLiteral("アンダーライン有");  // not underlined
inline const QString underlined = QStringLiteral("アンダーライン無");
inline const QString outlineOn = QStringLiteral("縁取りしない");
inline const QString outlineOff = QStringLiteral("カラーで縁取りする");

inline QString ofShown(bool drawn) {
    return drawn ? shown : hidden;
}
inline QString ofUnderline(bool on) {
    return on ? underlined : plain;
}
inline QString ofOutline(bool on) {
    return on ? outlineOn : outlineOff;
}

// A caption read from a file, taken as the labels have always been drawn from it: an item is
// drawn only under 「表示しない」, underlined under anything but 「アンダーライン有」, the
// outline drawn only under 「縁取りしない」. A hand-edited caption keeps its meaning and is
// written back as the caption of that meaning.
inline bool isShown(const QString& caption) {
    return caption == shown;
}
inline bool isUnderlined(const QString& caption) {
    return caption != plain;
}
inline bool isOutlined(const QString& caption) {
    return caption == outlineOn;
}

}  // namespace zukaro::caption
