// Build tool: writes the program icon as PNG files of the given sizes for installation,
// one folder per size in the hicolor theme's layout.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "AppIcon.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: %s OUTDIR ICON-NAME SIZE...\n", argv[0]);
        return 2;
    }
    const QDir out(args[1]);
    for (const QString& sizeText : args.mid(3)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file =
            out.filePath(folder + QLatin1Char('/') + args[2] + QStringLiteral(".png"));
        if (!ok || size <= 0 || !out.mkpath(folder) || !zukaro::appIconImage(size).save(file)) {
            std::fprintf(stderr, "cannot write the %s icon to %s\n", qPrintable(sizeText),
                         qPrintable(file));
            return 1;
        }
    }
    return 0;
}
