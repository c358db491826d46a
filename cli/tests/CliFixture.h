#pragma once

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// What the command-line tests share: the fixture files and running zukaro.
namespace zukaro::fixture {

inline QString path(const char* name) {
    return QStringLiteral(FIXTURES "/") + QLatin1String(name);
}

// A file's SHA-256, empty when it cannot be read: to see that a run left a file as it was.
inline QByteArray digest(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

struct Run {
    int exitCode = -1;  // -1 when it crashed or hung (then killed)
    QString out, err;
};

// The zbar readings of the codes of a product list's first column (the header left out).
inline QStringList listedCodes(const QString& list) {
    QFile file(list);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList codes;
    for (const QByteArray& line : file.readAll().split('\n').mid(1)) {
        const QString code = QString::fromLatin1(line.split(',').value(0)).trimmed();
        if (!code.isEmpty()) {
            codes << (code.size() == 8 ? "EAN-8:" : "EAN-13:") + code;
        }
    }
    codes.sort();
    return codes;
}

// stderr without the notes on labels whose texts overprint: the 40-pt prices and the 12-pt
// names a millimetre lower of full_sheet.csv and tax_included_sheet.csv really touch. Those
// notes are checked where they are the subject.
inline QString withoutOverprintNotes(QString err) {
    static const QRegularExpression note(
        QStringLiteral("^zukaro: ラベル \\d+: [^\n]*重なって印刷されます。[^\n]*\n"),
        QRegularExpression::MultilineOption);
    return err.remove(note);
}

inline Run runZukaro(const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZUKARO_BINARY), args);
    const bool finished = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return {finished ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace zukaro::fixture
