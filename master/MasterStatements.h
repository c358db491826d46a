#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace zukaro {

// Pieces of the statements that write the product master and its print history.

// A null QString binds as SQL NULL; the columns want text.
inline QVariant boundText(const QString& text) {
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

// "?, ?, …" for `count` values, or rows of them.
inline QString placeholders(int count, const QString& one) {
    QStringList all;
    all.reserve(count);
    for (int i = 0; i < count; ++i) {
        all << one;
    }
    return all.join(QStringLiteral(", "));
}

}  // namespace zukaro
