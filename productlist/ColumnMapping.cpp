#include "ColumnMapping.h"

#include <QCryptographicHash>

#include "HeaderNames.h"

namespace zukaro {

namespace {

int knownNameCount(const QStringList& cells) {
    int count = 0;
    for (const QString& cell : cells) {
        count += columnForHeader(cell) ? 1 : 0;
    }
    return count;
}

// Blanks are gone from normalised cells, so a tab joins them without ambiguity.
QString normalisedHeader(const QStringList& header) {
    QStringList cells;
    cells.reserve(header.size());
    for (const QString& cell : header) {
        cells.append(normaliseHeader(cell));
    }
    return cells.join(u'\t');
}

// A header may hold '/' or '\', which QSettings reads as groups: the group is a digest, and
// the header itself is stored inside to be compared.
QString groupFor(const QString& normalised) {
    return QStringLiteral("productListColumns/") +
           QString::fromLatin1(
               QCryptographicHash::hash(normalised.toUtf8(), QCryptographicHash::Sha1).toHex());
}

}  // namespace

ColumnMapping ColumnMapping::positional() {
    ColumnMapping m;
    const ProductColumn order[] = {ProductColumn::Jan,     ProductColumn::Maker,
                                   ProductColumn::Product, ProductColumn::Spec,
                                   ProductColumn::Lot,     ProductColumn::Price};
    int index = 0;
    for (const ProductColumn what : order) {
        m.setColumn(what, index++);
    }
    return m;
}

std::optional<ColumnMapping> ColumnMapping::fromHeader(const QStringList& cells) {
    ColumnMapping m;
    bool any = false;
    for (int i = 0; i < cells.size(); ++i) {
        const std::optional<ProductColumn> what = columnForHeader(cells[i]);
        if (!what) {
            continue;
        }
        const int taken = m.column(*what);
        if (taken < 0 || headerRank(cells[i]) < headerRank(cells[taken])) {
            m.setColumn(*what, i);
            any = true;
        }
    }
    if (!any) {
        return std::nullopt;
    }
    return m;
}

ColumnMapping ColumnMapping::detect(const SourceTable& table, QSettings* remembered) {
    const int rows = std::min<int>(kHeaderSearchRows, static_cast<int>(table.rows.size()));
    for (int row = 0; row < rows; ++row) {
        const QStringList& cells = table.rows[static_cast<std::size_t>(row)].cells;
        if (knownNameCount(cells) < (row == 0 ? 1 : 2)) {
            continue;
        }
        ColumnMapping m = *fromHeader(cells);
        if (remembered) {
            if (std::optional<ColumnMapping> stored = recall(*remembered, cells, &m)) {
                m = *stored;
            }
        }
        m.setHeaderRow(row);
        m.headerWidth_ = static_cast<int>(cells.size());
        return m;
    }
    return positional();
}

void ColumnMapping::remember(QSettings& settings, const QStringList& header) const {
    const QString normalised = normalisedHeader(header);
    settings.beginGroup(groupFor(normalised));
    settings.setValue(QStringLiteral("header"), normalised);
    for (const ProductColumn what : kProductColumns) {
        settings.setValue(settingsKey(what), column(what));
    }
    settings.endGroup();
}

std::optional<ColumnMapping> ColumnMapping::recall(QSettings& settings, const QStringList& header,
                                                   const ColumnMapping* unsaid) {
    const QString normalised = normalisedHeader(header);
    settings.beginGroup(groupFor(normalised));
    std::optional<ColumnMapping> result;
    if (settings.value(QStringLiteral("header")).toString() == normalised) {
        result.emplace();
        for (const ProductColumn what : kProductColumns) {
            if (unsaid != nullptr && !settings.contains(settingsKey(what))) {
                result->setColumn(what, unsaid->column(what));
                continue;
            }
            bool ok = false;
            const int index = settings.value(settingsKey(what), -1).toInt(&ok);
            if (!ok || index < -1 || index >= header.size()) {
                result.reset();
                break;
            }
            result->setColumn(what, index);
        }
    }
    settings.endGroup();
    return result;
}

}  // namespace zukaro
