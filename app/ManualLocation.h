#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace zukaro {

// The user manual's page: the copy installed with the program, found relative to the
// program's folder so that any install prefix works, or else the page in the source tree
// for a program run from its build folder. When neither exists the installed place is
// returned anyway, so the address shown is where the manual belongs.
QString findManual(const QString& programDir, const QString& installedFromProgramDir,
                   const QStringList& fallbacks);

// Where the install puts the manual, relative to the program's folder.
QString installedManualFromProgramDir();

// The manual for this build of the program, as a file URL.
QUrl manualUrl();

}  // namespace zukaro
