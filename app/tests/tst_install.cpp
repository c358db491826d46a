#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "ManualLocation.h"

// Installs the build into a temporary prefix and checks the result as a desktop would see
// it: the files in their places, the desktop entry and AppStream data accepted by the
// freedesktop validators and agreeing with each other, and the installed program starting.
namespace {

const QString kId = QStringLiteral(APP_ID);

struct Run {
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("%1 did not finish: %2").arg(program, p.errorString())};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

QMap<QString, QString> desktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return keys;
    }
    bool inEntry = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
        } else if (inEntry && line.contains(QLatin1Char('='))) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            keys.insert(line.left(eq), line.mid(eq + 1));
        }
    }
    return keys;
}

}  // namespace

class InstallTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir prefix_;

    QString installed(const QString& relative) const { return prefix_.filePath(relative); }
    QString desktopFile() const {
        return installed(QStringLiteral(DATADIR "/applications/") + kId +
                         QStringLiteral(".desktop"));
    }
    QString metainfoFile() const {
        return installed(QStringLiteral(DATADIR "/metainfo/") + kId +
                         QStringLiteral(".metainfo.xml"));
    }

private slots:
    void initTestCase() {
        QVERIFY(prefix_.isValid());
        const Run r = run(QStringLiteral(CMAKE_COMMAND),
                          {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                           QStringLiteral("--prefix"), prefix_.path()});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }

    void filesAreInTheirPlaces_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("iconSize");  // 0: not an icon
        QTest::newRow("program") << QStringLiteral(BINDIR "/zukaro") << 0;
        QTest::newRow("manual") << QStringLiteral(DATADIR "/zukaro/manual/index.html") << 0;
        QTest::newRow("desktop entry")
            << QStringLiteral(DATADIR "/applications/%1.desktop").arg(kId) << 0;
        QTest::newRow("metainfo") << QStringLiteral(DATADIR "/metainfo/%1.metainfo.xml").arg(kId)
                                  << 0;
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {
            QTest::addRow("icon %d", size)
                << QStringLiteral(DATADIR "/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId)
                << size;
        }
    }

    void filesAreInTheirPlaces() {
        QFETCH(QString, path);
        QFETCH(int, iconSize);
        const QFileInfo file(installed(path));
        QVERIFY2(file.isFile(), qPrintable(path));
        if (iconSize > 0) {
            const QImage icon(file.filePath());
            QCOMPARE(icon.size(), QSize(iconSize, iconSize));
            QVERIFY(icon.hasAlphaChannel());
            // Painted, not empty: the centre of the icon is covered.
            QVERIFY(icon.pixelColor(iconSize / 2, iconSize / 2).alpha() > 0);
        }
    }

    void validatorsAccept_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("desktop");
        QTest::newRow("desktop-file-validate")
            << QStringLiteral(DESKTOP_FILE_VALIDATE) << QStringList{} << true;
        QTest::newRow("appstreamcli validate")
            << QStringLiteral(APPSTREAMCLI)
            << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net")} << false;
    }

    void validatorsAccept() {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        QFETCH(bool, desktop);
        QVERIFY2(QFileInfo(tool).isExecutable(), "validator missing: run scripts/deps.sh");
        const Run r = run(tool, args << (desktop ? desktopFile() : metainfoFile()));
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        // Warnings and hints do not fail the tools' exit code; they fail this test.
        for (const char* word : {"error", "warning", "hint", "W:", "E:"}) {
            QVERIFY2(!r.output.contains(QLatin1String(word)), qPrintable(r.output));
        }
    }

    // The desktop entry starts the installed program with a file and names the installed
    // icon; the AppStream data names the same entry, program and file type.
    void entriesAgree() {
        const auto keys = desktopEntry(desktopFile());
        QCOMPARE(keys.value(QStringLiteral("Exec")), QStringLiteral("zukaro %f"));
        QCOMPARE(keys.value(QStringLiteral("MimeType")), QStringLiteral("text/csv;"));
        QCOMPARE(keys.value(QStringLiteral("Icon")), kId);
        QVERIFY(keys.value(QStringLiteral("Name")).contains(QStringLiteral("ズカロ")));

        QFile file(metainfoFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QMap<QString, QString> found;
        while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
            const QString tag = xml.name().toString();
            if (xml.isStartElement() &&
                QStringList{"id", "launchable", "binary", "mediatype"}.contains(tag)) {
                found.insert(tag, xml.readElementText());
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(found.value(QStringLiteral("id")), kId);
        QCOMPARE(found.value(QStringLiteral("launchable")), QFileInfo(desktopFile()).fileName());
        QCOMPARE(found.value(QStringLiteral("binary")), QStringLiteral("zukaro"));
        QCOMPARE(found.value(QStringLiteral("mediatype")), QStringLiteral("text/csv"));
    }

    // The program finds its manual relative to itself, wherever the prefix is.
    void installedProgramFindsItsManualAndStarts() {
        const QString bin = installed(QStringLiteral(BINDIR));
        QCOMPARE(zukaro::findManual(bin, zukaro::installedManualFromProgramDir(), {}),
                 installed(QStringLiteral(DATADIR "/zukaro/manual/index.html")));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const Run r =
            run(bin + QStringLiteral("/zukaro"), {QStringLiteral("--quit-when-shown")}, env);
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
