#pragma once

#include <QString>
#include <QStringList>

namespace zukaro {

// Turns a dialog filter of the "name|pattern|name|pattern|" form into Qt name filters:
// "テキスト ファイル (*.csv)|*.csv|" becomes "テキスト ファイル (*.csv)". Patterns separated by
// ";" are listed with blanks, and "*.*" becomes "*" so that "all files" also lists files
// without an extension. A pair without a pattern is skipped.
QStringList toNameFilters(const QString& filter);

// The extension a name typed without one receives under a Qt name filter: the first pattern's
// extension ("csv" for "(*.csv)"), or empty for wildcard extensions.
QString defaultSuffixOf(const QString& nameFilter);

}  // namespace zukaro
