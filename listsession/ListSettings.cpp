#include "ListSettings.h"

#include <QFileInfo>
#include <QSettings>

#include "IniFile.h"
#include "SheetState.h"

namespace zukaro {
namespace {

const QString kNextStartKey = QStringLiteral("NextStart/label");
const QString kNextStartTimeKey = QStringLiteral("NextStart/printedAt");
// The next ファイルを開く starts in its folder.
const QString kLastListKey = QStringLiteral("LastList/file");

}  // namespace

NextStart nextStartAfter(int start, qint64 labels, const QDateTime& now) {
    // Where the last label of the job fell on its sheet.
    const qint64 last = (start - 1 + labels - 1) % kLabelCount + 1;
    return {last < kLabelCount ? static_cast<int>(last) + 1 : 0, now};
}

NextStart keptNextStart(const QString& file, QString& error) {
    const IniFile kept = openIniFile(file);
    error = kept.error;
    const int label = kept.settings ? kept.settings->value(kNextStartKey).toInt() : 0;
    if (label > 1 && label <= kLabelCount) {
        return {label, kept.settings->value(kNextStartTimeKey).toDateTime()};
    }
    return {};
}

bool keepNextStart(const QString& file, const NextStart& next, QString& error) {
    const IniFile kept = openIniFile(file);
    error = kept.error;
    if (!kept.settings) {
        return false;
    }
    QSettings& settings = *kept.settings;
    if (next.label > 0) {
        settings.setValue(kNextStartKey, next.label);
        settings.setValue(kNextStartTimeKey, next.after);
    } else {
        settings.remove(QStringLiteral("NextStart"));
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString lastListOpened(const QString& file) {
    const IniFile kept = openIniFile(file);
    return kept.settings ? kept.settings->value(kLastListKey).toString() : QString();
}

void keepLastListOpened(const QString& file, const QString& list) {
    const IniFile kept = openIniFile(file);
    if (kept.settings) {
        kept.settings->setValue(kLastListKey, QFileInfo(list).absoluteFilePath());
    }
}

}  // namespace zukaro
