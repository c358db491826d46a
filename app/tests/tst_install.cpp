#include <sys/stat.h>

#include <QtTest>

#include "ManualLocation.h"
#include "RunProgram.h"

using zukaro::testing::run;

// Installs the build into a temporary prefix and checks the result as a desktop would see it.
namespace {

const QString kId = QStringLiteral(APP_ID);

}  // namespace

class InstallTest : public QObject {
    Q_OBJECT
    QTemporaryDir prefix_;

    QString installed(const QString& relative) const { return prefix_.filePath(relative); }

private slots:
    void initTestCase() {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // for the installed program
        // It starts as for a new user: a master or settings left in the machine user's folders
        // (by another version, say) would stop it with a question.
        qputenv("XDG_DATA_HOME", QFile::encodeName(prefix_.filePath("user-data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(prefix_.filePath("user-config")));
        const auto [code, output] =
            run(CMAKE_COMMAND, {"--install", BUILD_DIR, "--prefix", prefix_.path()});
        QVERIFY2(code == 0, qPrintable(output));
    }

    void validatorsAccept_data() {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("desktop-file-validate") << QStringList{
            DESKTOP_FILE_VALIDATE, installed(DATADIR "/applications/" + kId + ".desktop")};
        QTest::newRow("appstreamcli validate")
            << QStringList{APPSTREAMCLI, "validate", "--no-net",
                           installed(DATADIR "/metainfo/" + kId + ".metainfo.xml")};
    }

    void validatorsAccept() {
        QFETCH(QStringList, command);
        QVERIFY2(QFileInfo(command[0]).isExecutable(), "validator missing: run scripts/deps.sh");
        const auto [code, output] = run(command.takeFirst(), command);
        QVERIFY2(code == 0, qPrintable(output));
        // Warnings and hints do not fail the tools' exit code; they fail this test.
        for (const char* word : {"error", "warning", "hint", "W:", "E:"}) {
            QVERIFY2(!output.contains(QLatin1String(word)), qPrintable(output));
        }
    }

    // The desktop entry opens label files with the installed program and names its own icon.
    void desktopEntryOpensFilesWithItsIcon() {
        QFile file(installed(DATADIR "/applications/" + kId + ".desktop"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList entry = QString::fromUtf8(file.readAll()).split(u'\n');
        for (const QString& line :
             QStringList{"Name=ズカロ", "Exec=zukaro %f", "MimeType=text/csv;", "Icon=" + kId}) {
            QVERIFY2(entry.contains(line), qPrintable(line));
        }
        for (int size : {16, 24, 32, 48, 64, 128, 256}) {  // painted at least in the centre
            const QImage icon(
                installed(DATADIR "/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(icon.hasAlphaChannel() && icon.pixelColor(size / 2, size / 2).alpha() > 0);
        }
    }

    // The program finds its manual relative to itself, wherever the prefix is, and starts.
    void installedProgramFindsItsManualAndStarts() {
        const QString manual =
            zukaro::findManual(installed(BINDIR), zukaro::installedManualFromProgramDir(), {});
        QCOMPARE(manual, installed(DATADIR "/zukaro/manual/index.html"));
        QVERIFY(QFileInfo(manual).isFile());
        // The pictures it shows lie beside it.
        QVERIFY(QFileInfo(QFileInfo(manual).dir().filePath("calibration-sheet.png")).isFile());
        const auto [code, output] = run(installed(BINDIR "/zukaro"), {"--quit-when-shown"});
        QVERIFY2(code == 0, qPrintable(output));
    }

    // A master that cannot be opened (its folder is a file here), or a named pipe where
    // master.ini or columns.ini belongs, is told over the start screen; neither the box nor the
    // pipe holds the start itself.
    void startsWhenItsFilesCannotOpen_data() {
        QTest::addColumn<QString>("variable");  // pointed at the folder made for the row
        QTest::addColumn<QString>("pipe");      // in it; empty: the folder is a file
        QTest::newRow("the master's folder is a file") << "XDG_DATA_HOME" << QString();
        QTest::newRow("master.ini is a named pipe") << "XDG_CONFIG_HOME"
                                                    << "zukaro/master.ini";
        QTest::newRow("columns.ini is a named pipe") << "XDG_CONFIG_HOME"
                                                     << "zukaro/columns.ini";
    }

    void startsWhenItsFilesCannotOpen() {
        QFETCH(QString, variable);
        QFETCH(QString, pipe);
        const QString folder = prefix_.filePath(QString("start-") + QTest::currentDataTag());
        if (pipe.isEmpty()) {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(folder + '/' + pipe).path()));
            QCOMPARE(::mkfifo(QFile::encodeName(folder + '/' + pipe).constData(), 0600), 0);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(variable, folder);
        const auto [code, output] =
            run(installed(BINDIR "/zukaro"), {"--quit-when-shown"}, env, 30000);
        QVERIFY2(code == 0, qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
