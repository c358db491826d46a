#pragma once

#include <QProcess>
#include <QString>

// What the command-line tests share: the fixture files and running zukaro.
namespace zukaro::fixture {

inline QString path(const char* name) {
    return QStringLiteral(FIXTURES "/") + QLatin1String(name);
}

struct Run {
    int exitCode = -1;  // -1 when it crashed or hung (then killed)
    QString out, err;
};

inline Run runZukaro(const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZUKARO_BINARY), args);
    const bool finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return {finished ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace zukaro::fixture
