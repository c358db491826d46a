#include "FileFilter.h"

#include <QRegularExpression>

namespace zukaro {
namespace {

// A description that already ends in a parenthesised pattern list, as in "名前 (*.csv)".
const QRegularExpression& trailingPatterns() {
    static const QRegularExpression re(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    return re;
}

QString qtPatterns(const QString& patterns) {
    QStringList out;
    for (QString p : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p == QStringLiteral("*.*")) {
            p = QStringLiteral("*");
        }
        if (!p.isEmpty() && !out.contains(p)) {
            out << p;
        }
    }
    return out.join(QLatin1Char(' '));
}

}  // namespace

QStringList toNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts[i + 1]);
        if (patterns.isEmpty()) {
            continue;
        }
        QString name = parts[i];
        // Qt reads the patterns from the last parentheses, so the description keeps its
        // wording but the parentheses always hold the real patterns.
        name.remove(trailingPatterns());
        name = name.trimmed();
        if (name.isEmpty()) {
            name = patterns;
        }
        filters << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return filters;
}

QString defaultSuffixOf(const QString& nameFilter) {
    static const QRegularExpression re(QStringLiteral("\\(\\*\\.([^ *?.()\\[\\]]+)[ )]"));
    const QRegularExpressionMatch m = re.match(nameFilter);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace zukaro
