#pragma once

#include <QDateTime>
#include <QString>

// What the list window keeps between runs in list.ini (kListSettingsFile) beside the printers'
// calibrations: the next start on a partly used sheet, and the last list opened.
namespace zukaro {

// The label after the last one a print used, when its sheet was left partly used.
struct NextStart {
    int label = 0;    // 2-21; 0 for none (the last sheet used up)
    QDateTime after;  // when the print that left it ended
};

// Where a job of `labels` labels from label `start` leaves its last sheet.
NextStart nextStartAfter(int start, qint64 labels, const QDateTime& now);

// The next start kept in `file`; none when there is none or it is out of range. `error` says
// why the file could not be read (empty when it could).
NextStart keptNextStart(const QString& file, QString& error);
// Keeps `next` in `file` (none removes it). False when it could not be written; `error` may
// then say why.
bool keepNextStart(const QString& file, const NextStart& next, QString& error);

// The last list opened (empty when none is kept or `file` cannot be read), and keeping it: only
// a convenience, a file refused is said at the next print.
QString lastListOpened(const QString& file);
void keepLastListOpened(const QString& file, const QString& list);

}  // namespace zukaro
