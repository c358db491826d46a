#include <QtTest>

#include "RunProgram.h"

using zukaro::testing::run;

// Builds the Debian package into a temporary folder and checks it as Debian would: lintian,
// and the manual page it carries against the program's own --help.
namespace {

// The maintainer address is a placeholder for now (cmake/ZukaroPackaging.cmake); this is the
// one complaint lintian may make.
const QString kAllowed = QStringLiteral("E: zukaro: bogus-mail-host Maintainer zukaro@localhost");

}  // namespace

class PackageTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString deb_;

private slots:
    void initTestCase() {
        for (const char* tool : {LINTIAN, DPKG_DEB, MAN}) {
            QVERIFY2(QFileInfo(tool).isExecutable(),
                     "lintian, dpkg-deb or man missing: run scripts/deps.sh");
        }
        const auto [code, output] =
            run(CPACK_COMMAND,
                {"-G", "DEB", "--config", BUILD_DIR "/CPackConfig.cmake", "-B", dir_.path()});
        QVERIFY2(code == 0, qPrintable(output));
        const QStringList debs = QDir(dir_.path()).entryList({"*.deb"}, QDir::Files);
        QVERIFY2(debs.size() == 1, qPrintable(output));
        deb_ = dir_.filePath(debs.first());
    }

    void lintianFindsNothingButTheMaintainerAddress() {
        const auto [code, output] = run(LINTIAN, {"--info", "--fail-on", "none", deb_});
        QVERIFY2(code == 0, qPrintable(output));  // it read and checked the package
        QStringList found;
        for (const QString& line : output.split(u'\n')) {
            if ((line.startsWith("E:") || line.startsWith("W:")) && line != kAllowed) {
                found << line;
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(output));
    }

    // Every usage line and every entry of the option table of --help shows in the page as it
    // reads, and the page names the program's version: it was written from this program.
    void manualPageShowsTheCommandLine() {
        const QString root = dir_.filePath("root");
        const auto [unpacked, unpackOutput] = run(DPKG_DEB, {"-x", deb_, root});
        QVERIFY2(unpacked == 0, qPrintable(unpackOutput));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MANWIDTH", "200");  // no usage line wrapped
        const auto [shown, page] = run(MAN, {"-l", root + "/usr/share/man/man1/zukaro.1.gz"}, env);
        QVERIFY2(shown == 0, qPrintable(page));
        QStringList pageLines;
        for (const QString& line : page.split(u'\n')) {
            pageLines << line.simplified();
        }

        const auto [helped, help] = run(PROGRAM, {"--help"});
        QCOMPARE(helped, 0);
        QStringList expected;
        const QStringList helpLines = help.split(u'\n');
        const qsizetype usage = helpLines.indexOf("使い方:");
        QVERIFY2(usage >= 0, qPrintable(help));
        for (qsizetype i = usage + 1; i < helpLines.size() && !helpLines[i].isEmpty(); ++i) {
            expected << helpLines[i].simplified();
        }
        static const QRegularExpression entry(QStringLiteral("^  (\\S.*?)  +\\S"));
        for (const QString& line : helpLines) {
            if (const auto match = entry.match(line); match.hasMatch()) {
                expected << match.captured(1);
            }
        }
        QVERIFY2(expected.size() > 10, qPrintable(help));  // the usage and the option table
        for (const QString& line : expected) {
            QVERIFY2(pageLines.contains(line), qPrintable(line + "\n\n" + page));
        }

        const auto [versioned, version] = run(PROGRAM, {"--version"});
        QCOMPARE(versioned, 0);
        QVERIFY2(page.contains(version.trimmed()), qPrintable(version + "\n\n" + page));
    }
};

QTEST_GUILESS_MAIN(PackageTest)
#include "tst_package.moc"
