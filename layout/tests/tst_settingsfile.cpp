#include <sys/resource.h>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "Cp932.h"
#include "SettingsFile.h"
#include "TestLayouts.h"

using namespace zukaro;
using namespace testlayouts;

namespace {

// A fresh temporary folder as the program folder, the user folder inside it.
struct Folders {
    QTemporaryDir root;
    SettingsLocations at{root.path(), root.filePath(u"config/zukaro"_qs)};
};

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void saveGoesWhereStartUpReads_data() {
        QTest::addColumn<QString>("before");   // copies and blocked folders before the save
        QTest::addColumn<QString>("savedTo");  // program or user; empty when nowhere can be written
        QTest::newRow("fresh install") << QString() << u"program"_qs;
        QTest::newRow("user copy is read first") << u"program user"_qs << u"user"_qs;
        QTest::newRow("program folder not writable") << u"unwritable"_qs << u"user"_qs;
        QTest::newRow("nowhere writable") << u"unwritable nowhere"_qs << QString();
    }

    void saveGoesWhereStartUpReads() {
        QFETCH(QString, before);
        QFETCH(QString, savedTo);
        Folders f;
        if (before.contains(u"program")) {
            writeBytes(f.at.programFile(), settingsBytes(Layout{}));
        }
        if (before.contains(u"user")) {
            QVERIFY(QDir().mkpath(f.at.userDir));
            writeBytes(f.at.userFile(), settingsBytes(Layout{}));
        }
        if (before.contains(u"unwritable")) {  // the program folder's path names a file
            f.at.programDir = f.root.filePath(u"program-is-a-file"_qs);
            writeBytes(f.at.programDir, "x");
        }
        if (before.contains(u"nowhere")) {  // under a file: cannot exist
            f.at.userDir = f.at.programDir + u"/sub"_qs;
        }
        if (before.isEmpty()) {  // no data.txt anywhere: first start, and no complaint
            const SettingsLoad none = loadSettings(f.at);
            Layout fitted = firstStart();
            fitted.fitPrice = true;
            QVERIFY(none.path.isEmpty() && none.error.isEmpty() && none.layout == fitted);
        }

        const FileResult saved = saveSettings(f.at, custom(), UnencodablePolicy::Refuse);
        QCOMPARE(saved.ok, !savedTo.isEmpty());
        if (!saved.ok) {
            QVERIFY(saved.error.contains(f.at.programFile()) &&
                    saved.error.contains(f.at.userFile()));
            return;
        }
        QCOMPARE(saved.path, savedTo == u"user" ? f.at.userFile() : f.at.programFile());
        const SettingsLoad load = loadSettings(f.at);
        QCOMPARE(load.path, saved.path);
        QVERIFY(load.layout == custom());
    }

    // 価格を枠内に収める is on for a new user and saved with the pattern after the ten lines; a
    // data.txt without the setting reads it as off and is saved again byte for byte as it was.
    void fittingAtFirstStart_data() {
        QTest::addColumn<QByteArray>("dataTxt");  // empty: none
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QByteArray>("saved");  // what 「パターンを保存」 then writes
        const QByteArray firstStart = fixture(u"first_start_data.txt"_qs);
        const QByteArray fitLines = cp932::encode(
                                        u"\"総額表示\",\"入力どおり\",10,\"切り捨て\","
                                        u"#FALSE#,#TRUE#,0,0,0,0\r\n"
                                        u"\"本体\",\"ＭＳ 明朝\",7,#FALSE#,#FALSE#,0,"
                                        u"\"表示しない\",0,0,0\r\n"
                                        u"\"税込\",\"ＭＳ 明朝\",9,#FALSE#,#FALSE#,255,"
                                        u"\"表示しない\",0,0,0\r\n"_qs)
                                        .bytes;
        QTest::newRow("no data.txt") << QByteArray() << true << firstStart + fitLines;
        QTest::newRow("saved at first start")
            << firstStart + fitLines << true << firstStart + fitLines;
        QTest::newRow("first-start values without the setting")
            << firstStart << false << firstStart;
        const QByteArray pattern = fixture(u"default_pattern_data.txt"_qs);
        QTest::newRow("デフォルト pattern without the setting") << pattern << false << pattern;
    }

    void fittingAtFirstStart() {
        QFETCH(QByteArray, dataTxt);
        QFETCH(bool, fits);
        QFETCH(QByteArray, saved);
        Folders f;
        if (!dataTxt.isEmpty()) {
            writeBytes(f.at.programFile(), dataTxt);
        }
        const SettingsLoad load = loadSettings(f.at);
        QVERIFY(load.warnings().isEmpty());
        QCOMPARE(load.layout.fitPrice, fits);
        QVERIFY(saveSettings(f.at, load.layout, UnencodablePolicy::Refuse).ok);
        QCOMPARE(readBytes(f.at.programFile()), saved);
        QVERIFY(loadSettings(f.at).layout == load.layout);
    }

    void failedWriteLeavesOldFile_data() {
        QTest::addColumn<QString>("reason");  // empty: a file size limit fails it as a full disk
        QTest::newRow("file size limit") << QString();
        QTest::newRow("read-only target") << u"読み取り専用"_qs;
    }

    void failedWriteLeavesOldFile() {
        QFETCH(QString, reason);
        Folders f;
        const QString path = f.at.programFile();
        const QByteArray old = settingsBytes(Layout{});
        writeBytes(path, old);
        QVERIFY(reason.isEmpty() || QFile::setPermissions(path, QFileDevice::ReadOwner));
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit original{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
        const rlimit small{reason.isEmpty() ? 100 : original.rlim_cur, original.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const FileResult saved = writeFileAtomically(path, settingsBytes(custom()));
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previous);
        QVERIFY2(!saved.ok && saved.error.contains(reason), qPrintable(saved.error));
        QCOMPARE(readBytes(path), old);
        QCOMPARE(bool(QFileInfo(path).permissions() & QFileDevice::WriteOwner), reason.isEmpty());
        QCOMPARE(QDir(f.at.programDir).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"data.txt"_qs});
    }
};

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
