#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <utility>

namespace zukaro::testing {

// The exit code (-1 when the program did not finish within four minutes, or `waitMs`) and the
// output, standard output and error together, of a program run.
inline std::pair<int, QString> run(
    const QString& program, const QStringList& args,
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
    int waitMs = 240000) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool finished = p.waitForFinished(waitMs) && p.exitStatus() == QProcess::NormalExit;
    return {finished ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

}  // namespace zukaro::testing
