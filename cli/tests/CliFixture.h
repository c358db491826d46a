#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

#include "SampleSheet.h"

// What the command-line tests share: the fixture files, the sheet full_sheet.csv holds, and
// running the program itself.
namespace zukaro::fixture {

inline QString path(const char* name) {
    return QStringLiteral(FIXTURES "/") + QLatin1String(name);
}

// The label data file fixtures of datafile/tests.
inline QString datafile(const char* name) {
    return QStringLiteral(DATAFILE_FIXTURES "/") + QLatin1String(name);
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Run {
    int exitCode = -1;  // -1 when it crashed or hung
    QString out;
    QString err;
};

inline Run runZukaro(const QStringList& args, const QProcessEnvironment& env,
                     const QString& workingDir = {}) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingDir);
    p.start(QStringLiteral(ZUKARO_BINARY), args);
    Run run;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit) {
        run.exitCode = p.exitCode();
    } else {
        p.kill();
        p.waitForFinished();
    }
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

// full_sheet.csv: the sample sheet's 21 labels with a layout of its own (sizes, offsets, the
// outline, box texts that must not move the sheet), as a fresh start prints it: sheet offsets
// 2.7 / 12.6 mm.

inline Layout fullSheetLayout() {
    Layout l;
    l.x座標調整 = QStringLiteral("3");
    l.y座標調整 = QStringLiteral("-2");
    l.縁取 = caption::outlineOn;
    l.borderColor = 255;
    l.janFont.Size = 10;
    l.janX = 1;
    l.barX = 1;
    l.makerFont.Size = 9;
    l.makerX = -1;
    l.productFont.Size = 12;
    l.productY = 1;
    l.specFont.Size = 9;
    l.specY = -1;
    l.lotFont.Size = 9;
    l.lotX = 1;
    l.priceFont.Size = 40;
    l.priceX = 2;
    l.yenFont.Size = 14;
    l.yenX = -2;
    return l;
}

inline SheetState fullSheet() {
    SheetState sheet = sample::fullSheet();
    sheet.layout = fullSheetLayout();
    sheet.sheetX = 2.7;
    sheet.sheetY = 12.6;
    return sheet;
}

}  // namespace zukaro::fixture
