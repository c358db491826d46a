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

QString installedManualFromProgramDir() {
    return QStringLiteral(ZUKARO_MANUAL_FROM_BINDIR);
}

QUrl manualUrl() {
    // The source tree's copy serves a program run from its build folder.
    const QString path =
        findManual(QCoreApplication::applicationDirPath(), installedManualFromProgramDir(),
                   {QStringLiteral(ZUKARO_MANUAL_IN_SOURCE)});
    return QUrl::fromLocalFile(path);
}

}  // namespace zukaro
