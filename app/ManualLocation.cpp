#include "ManualLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zukaro {

QString findManual(const QString& programDir, const QString& installedFromProgramDir,
                   const QStringList& fallbacks) {
    const QString installed =
        QDir::cleanPath(QDir(programDir).absoluteFilePath(installedFromProgramDir));
    if (QFileInfo(installed).isFile()) {
        return installed;
    }
    for (const QString& candidate : fallbacks) {
        if (QFileInfo(candidate).isFile()) {
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
        }
    }
    return installed;
}

QUrl manualUrl() {
    // Both paths come from the build: where the install puts the manual relative to the
    // program, and where the manual sits in the source tree.
    const QString path = findManual(QCoreApplication::applicationDirPath(),
                                    QStringLiteral(ZUKARO_MANUAL_FROM_BINDIR),
                                    {QStringLiteral(ZUKARO_MANUAL_IN_SOURCE)});
    return QUrl::fromLocalFile(path);
}

}  // namespace zukaro
