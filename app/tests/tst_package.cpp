#include <QtTest>

#include "RunProgram.h"

using zukaro::testing::run;

// Builds the Debian package into a temporary folder and checks it as Debian would: lintian,
// and the manual page it carries against the program's own --help.
namespace {

// The maintainer address is a placeholder for now (cmake/ZukaroPackaging.cmake); this is the
// one complaint lintian may make.
const QString kAllowed = QStringLiteral("E: zukaro: bogus-mail-host Maintainer zukaro@localhost");

// The Qt plugins a run loaded: with QT_DEBUG_PLUGINS Qt names each one as it loads it.
QSet<QString> loadedPlugins(const QString& output) {
    static const QRegularExpression loaded(
        QStringLiteral("\"([^\"]*/plugins/[^\"]*\\.so)\" loaded library"));
    QSet<QString> plugins;
    for (auto match = loaded.globalMatch(output); match.hasNext();) {
        plugins << match.next().captured(1);
    }
    return plugins;
}

// The packages named in control fields: "a (>= 1), b | c" gives a, b and c.
QSet<QString> packageNames(const QString& fields) {
    QSet<QString> names;
    for (QString entry : fields.split(QRegularExpression(QStringLiteral("[,|\n]")))) {
        entry = entry.section(u':', -1).section(u'(', 0, 0).trimmed();  // "Depends: a (>= 1)"
        if (!entry.isEmpty()) {
            names << entry;
        }
    }
    return names;
}

}  // namespace

class PackageTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString deb_;

private slots:
    void initTestCase() {
        for (const char* tool : {LINTIAN, DPKG_DEB, MAN, DPKG_QUERY}) {
            QVERIFY2(QFileInfo(tool).isExecutable(),
                     "lintian, dpkg-deb, dpkg-query or man missing: run scripts/deps.sh");
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

    // Every Qt plugin the program loads, as a clerk runs it, comes from a package the .deb
    // depends on or recommends: the platform and input plugins of a window on X, print support
    // and image formats of the editor, the SQL drivers of both kinds of product master. A
    // driver missing from the package would leave the master unable to open on a machine that
    // installed only zukaro.
    void packageBringsThePluginsTheProgramLoads() {
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_DEBUG_PLUGINS", "1");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        QFile list(home.filePath("list.csv"));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write("JAN,品名\n4901234567894,のり\n"));
        list.close();
        // The editor on a screen with a window manager, a sheet open, the shop's SQLite master.
        const auto [shown, window] =
            run("sh", {WITH_OPENBOX, "1366x768", PROGRAM, "--quit-when-shown", SAMPLE_SHEET}, env);
        QVERIFY2(shown == 0, qPrintable(window));
        // A chain's master, on a server that is not there: the driver is loaded all the same.
        const auto [imported, chain] =
            run(PROGRAM,
                {"--master", "postgresql:///zukaro?host=" + home.filePath("no-server"),
                 "--import-list", list.fileName()},
                env);
        QVERIFY2(imported == 1 && chain.contains("PostgreSQL"), qPrintable(chain));
        const QSet<QString> plugins = loadedPlugins(window) + loadedPlugins(chain);
        QStringList kinds;
        for (const QString& plugin : plugins) {
            kinds << plugin.section(u'/', -2);
        }
        kinds.sort();
        for (const char* expected :
             {"platforms/libqxcb.so", "printsupport/", "sqldrivers/libqsqlite.so",
              "sqldrivers/libqsqlpsql.so", "imageformats/"}) {
            QVERIFY2(kinds.join(' ').contains(expected), qPrintable(kinds.join(' ')));
        }

        const auto [read, fields] = run(DPKG_DEB, {"-f", deb_, "Depends", "Recommends"});
        QVERIFY2(read == 0, qPrintable(fields));
        const QSet<QString> named = packageNames(fields);
        QStringList missing;
        for (const QString& plugin : plugins) {
            const auto [found, owner] = run(DPKG_QUERY, {"-S", plugin});
            QVERIFY2(found == 0, qPrintable(owner));
            const QString package = owner.section(u':', 0, 0).trimmed();
            if (!named.contains(package)) {
                missing << QStringLiteral("%1 (%2)").arg(plugin, package);
            }
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable("not in Depends or Recommends: " + missing.join(", ") + "\n" + fields));
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
