#include "MasterStatements.h"

#include "CellValues.h"
#include "MasterMessages.h"
#include "ShownText.h"
#include "SourceTable.h"

namespace zukaro {
namespace {

// Why the master cannot keep `text` in either engine alike; empty when it can: a character
// that is none, or more than a cell of a list holds (a list's reader cuts such a cell).
QString unstorable(const QString& text) {
    if (const QString bad = unstorableCharacter(text); !bad.isEmpty()) {
        return QStringLiteral("に文字でないもの（%1）があります").arg(bad);
    }
    if (text.size() > kMaxCellLength) {
        return QStringLiteral("が %1 文字を超えています（全 %2 文字）")
            .arg(countText(kMaxCellLength), countText(text.size()));
    }
    return {};
}

}  // namespace

QString firstUnstorable(const QString& row,
                        std::initializer_list<std::pair<const QString*, ProductColumn>> texts) {
    for (const auto& [text, column] : texts) {
        if (const QString why = unstorable(*text); !why.isEmpty()) {
            return master::unstorable(row, displayName(column), why);
        }
    }
    return {};
}

}  // namespace zukaro
