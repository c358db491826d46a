#pragma once

#include <QFile>

#include "SheetState.h"

namespace zukaro::sample {

// 21 shop labels (names of 1 to 13 characters, prices of every width, EAN-8 on labels 5 and 17,
// every EAN-13 leading digit) from tests/data/full_sheet_labels.txt, on the start-up layout.
inline SheetState fullSheet() {
    QFile file(QStringLiteral(SAMPLE_LABELS));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", SAMPLE_LABELS);
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    SheetState sheet;
    for (int n = 1; n <= lines.size(); ++n) {
        const QStringList t = lines[n - 1].split(u',');
        sheet.setLabel(n, {t.value(0), t.value(1), t.value(2), t.value(3), t.value(4), t.value(5)});
    }
    return sheet;
}

}  // namespace zukaro::sample
