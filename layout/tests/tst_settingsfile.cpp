#include <sys/resource.h>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

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
            QVERIFY(none.path.isEmpty() && none.error.isEmpty() && none.layout == firstStart());
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
