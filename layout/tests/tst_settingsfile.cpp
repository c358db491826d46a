#include <sys/resource.h>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "BuiltInValues.h"
#include "FailAfterDevice.h"
#include "SettingsFile.h"
#include "TestLayouts.h"

using namespace zukaro;
using namespace testlayouts;

namespace {

// A program folder and a user folder in a fresh temporary folder.
struct Folders {
    QTemporaryDir root;
    SettingsLocations at{root.filePath(u"program"_qs), root.filePath(u"config/zukaro"_qs)};

    Folders() { QDir(root.path()).mkdir(u"program"_qs); }
};

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void saveGoesWhereStartUpReads_data();
    void saveGoesWhereStartUpReads();
    void failedWriteLeavesOldFile_data();
    void failedWriteLeavesOldFile();
    void unencodableFontNameIsRefusedUnlessAllowed();
};

void TestSettingsFile::saveGoesWhereStartUpReads_data() {
    QTest::addColumn<QString>("before");   // copies and blocked folders before the save
    QTest::addColumn<QString>("savedTo");  // program or user; empty when nowhere can be written
    QTest::newRow("fresh install") << QString() << u"program"_qs;
    QTest::newRow("user copy only") << u"user"_qs << u"user"_qs;
    QTest::newRow("user copy is read first") << u"program user"_qs << u"user"_qs;
    QTest::newRow("program folder not writable") << u"unwritable"_qs << u"user"_qs;
    QTest::newRow("read-only program copy") << u"program read-only"_qs << u"user"_qs;
    QTest::newRow("nowhere writable") << u"unwritable nowhere"_qs << QString();
}

void TestSettingsFile::saveGoesWhereStartUpReads() {
    QFETCH(QString, before);
    QFETCH(QString, savedTo);
    Folders f;
    const QByteArray old = settingsBytes(Layout{});
    if (before.contains(u"program")) {
        writeBytes(f.at.programFile(), old);
    }
    if (before.contains(u"user")) {
        QVERIFY(QDir().mkpath(f.at.userDir));
        writeBytes(f.at.userFile(), old);
    }
    if (before.contains(u"read-only")) {
        QVERIFY(QFile::setPermissions(f.at.programFile(), QFileDevice::ReadOwner));
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
    if (savedTo.isEmpty()) {
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.contains(u"保存できませんでした"_qs) &&
                     saved.error.contains(QDir::toNativeSeparators(f.at.programFile())) &&
                     saved.error.contains(QDir::toNativeSeparators(f.at.userFile())),
                 qPrintable(saved.error));
        QCOMPARE(readBytes(f.at.programDir), QByteArray("x"));
        return;
    }
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(saved.path, savedTo == u"user" ? f.at.userFile() : f.at.programFile());
    if (saved.path != f.at.programFile()) {  // left as it was, or not there at all
        QCOMPARE(readBytes(f.at.programFile()),
                 before.contains(u"program") ? old : QByteArray("<unreadable>"));
    }
    const SettingsLoad load = loadSettings(f.at);
    QCOMPARE(load.path, saved.path);
    QVERIFY(load.layout == custom());
}

void TestSettingsFile::failedWriteLeavesOldFile_data() {
    QTest::addColumn<qint64>("failAfter");  // bytes a device lets through; -1: no such device
    QTest::addColumn<QString>("reason");
    QTest::newRow("device fails at once") << qint64{0} << QString();
    QTest::newRow("device fails one byte short") << settingsBytes(custom()).size() - 1 << QString();
    QTest::newRow("file size limit, as a full disk") << qint64{-1} << QString();
    QTest::newRow("read-only target") << qint64{-1} << u"読み取り専用"_qs;
}

void TestSettingsFile::failedWriteLeavesOldFile() {
    QFETCH(qint64, failAfter);
    QFETCH(QString, reason);
    Folders f;
    const QString path = f.at.programFile();
    const QByteArray old = settingsBytes(Layout{});
    writeBytes(path, old);
    FileResult saved;
    if (failAfter >= 0) {
        saved = writeFileAtomically(path, settingsBytes(custom()),
                                    [failAfter](QIODevice& file) -> std::unique_ptr<QIODevice> {
                                        return std::make_unique<FailAfterDevice>(file, failAfter);
                                    });
    } else if (!reason.isEmpty()) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        saved = writeFileAtomically(path, settingsBytes(custom()));
    } else {
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit original{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
        rlimit small = original;
        small.rlim_cur = 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        saved = writeFileAtomically(path, settingsBytes(custom()));
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previous);
    }
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(QDir::toNativeSeparators(path)) && saved.error.contains(reason),
             qPrintable(saved.error));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(bool(QFileInfo(path).permissions() & QFileDevice::WriteOwner), reason.isEmpty());
    QCOMPARE(QDir(f.at.programDir).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"data.txt"_qs});
}

void TestSettingsFile::unencodableFontNameIsRefusedUnlessAllowed() {
    Folders f;
    Layout layout = custom();
    layout.productFont.Name = u"Malgun 맑은 고딕"_qs;  // Hangul is not in code page 932
    const FileResult refused = saveSettings(f.at, layout, UnencodablePolicy::Refuse);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains(u"レイアウトの品名のフォント名、8 文字目「맑」(U+B9D1)"_qs),
             qPrintable(refused.error));
    QVERIFY(!QFile::exists(f.at.programFile()));
    QVERIFY(saveSettings(f.at, layout, UnencodablePolicy::WriteQuestionMark).ok);
    QCOMPARE(loadSettings(f.at).layout.productFont.Name, u"Malgun ?? ??"_qs);
}

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
