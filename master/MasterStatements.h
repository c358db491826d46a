#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <utility>

#include "ProductColumn.h"

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

// The first of `texts` (with their columns) the master cannot keep alike in both engines (a
// NUL, half a surrogate pair, more than a list's cell holds), as the reason naming `row`
// (MasterMessages.h); empty when all can be kept.
QString firstUnstorable(const QString& row,
                        std::initializer_list<std::pair<const QString*, ProductColumn>> texts);

}  // namespace zukaro
