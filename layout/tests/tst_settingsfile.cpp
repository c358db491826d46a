#include <sys/resource.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "BuiltInValues.h"
#include "FailAfterDevice.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

Layout changedLayout() {
    Layout l;
    applyFirstStartValues(l);
    l.makerY = -3;
    l.メーカー表示 = caption::hidden;
    l.縁取 = caption::outlineOn;
    l.borderColor = 0xFF00;
    l.x座標調整 = u"10"_qs;
    return l;
}

// A program folder, a user folder and the two data.txt paths in a fresh temporary folder.
struct Folders {
    QTemporaryDir root;
    SettingsLocations locations;

    Folders() {
        QDir(root.path()).mkdir(u"program"_qs);
        locations = {root.filePath(u"program"_qs), root.filePath(u"config/zukaro"_qs)};
    }
    // Makes the program folder impossible to write into: its path names a regular file.
    void blockProgramFolder() {
        locations.programDir = root.filePath(u"program-is-a-file"_qs);
        writeBytes(locations.programDir, "x");
    }
    QStringList leftovers(const QString& dir) const {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
};

}  // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void missingFileGivesFirstStartValuesWithoutError();
    void saveThenLoadGivesTheLayoutBack();
    void userCopyIsReadFirst();
    void saveFallsBackToUserFolder();
    void saveGoesWhereStartUpReads();
    void readOnlyProgramCopyIsNotReplaced();
    void failureInBothPlacesNamesBothAndChangesNothing();
    void failedWriteLeavesOldFileByteIdentical_data();
    void failedWriteLeavesOldFileByteIdentical();
    void fullDiskAtCommitLeavesOldFile();
    void unencodableFontNameIsRefusedUnlessAllowed();
    void unreadableFiles_data();
    void unreadableFiles();
};

void TestSettingsFile::missingFileGivesFirstStartValuesWithoutError() {
    Folders f;
    const SettingsLoad load = loadSettings(f.locations);
    Layout expected;
    applyFirstStartValues(expected);
    QVERIFY(load.layout == expected);
    QVERIFY(load.path.isEmpty());
    QVERIFY(load.error.isEmpty());
    QVERIFY(!load.damaged());
}

void TestSettingsFile::saveThenLoadGivesTheLayoutBack() {
    Folders f;
    const FileResult saved = saveSettings(f.locations, changedLayout(), UnencodablePolicy::Refuse);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(saved.path, f.locations.programFile());
    QVERIFY(!QFile::exists(f.locations.userFile()));
    QCOMPARE(readBytes(saved.path), settingsBytes(changedLayout()));

    const SettingsLoad load = loadSettings(f.locations);
    QVERIFY(load.layout == changedLayout());
    QCOMPARE(load.path, f.locations.programFile());
    QVERIFY(!load.damaged());
    QCOMPARE(f.leftovers(f.locations.programDir), QStringList{u"data.txt"_qs});
}

void TestSettingsFile::userCopyIsReadFirst() {
    Folders f;
    QVERIFY(saveSettings(f.locations, changedLayout(), UnencodablePolicy::Refuse).ok);
    QDir().mkpath(f.locations.userDir);
    Layout user = changedLayout();
    user.makerY = 7;
    writeBytes(f.locations.userFile(), settingsBytes(user));
    const SettingsLoad load = loadSettings(f.locations);
    QCOMPARE(load.path, f.locations.userFile());
    QCOMPARE(load.layout.makerY, std::int16_t{7});
}

void TestSettingsFile::saveFallsBackToUserFolder() {
    Folders f;
    f.blockProgramFolder();
    const FileResult saved = saveSettings(f.locations, changedLayout(), UnencodablePolicy::Refuse);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(saved.path, f.locations.userFile());
    QCOMPARE(readBytes(f.locations.userFile()), settingsBytes(changedLayout()));
    QVERIFY(loadSettings(f.locations).layout == changedLayout());
}

void TestSettingsFile::saveGoesWhereStartUpReads() {
    Folders f;
    QDir().mkpath(f.locations.userDir);
    writeBytes(f.locations.userFile(), settingsBytes(Layout{}));
    const FileResult saved = saveSettings(f.locations, changedLayout(), UnencodablePolicy::Refuse);
    QVERIFY(saved.ok);
    QCOMPARE(saved.path, f.locations.userFile());
    QVERIFY(!QFile::exists(f.locations.programFile()));
    QVERIFY(loadSettings(f.locations).layout == changedLayout());
}

void TestSettingsFile::readOnlyProgramCopyIsNotReplaced() {
    Folders f;
    const QByteArray old = settingsBytes(Layout{});
    writeBytes(f.locations.programFile(), old);
    QVERIFY(QFile::setPermissions(f.locations.programFile(), QFileDevice::ReadOwner));

    const FileResult saved = saveSettings(f.locations, changedLayout(), UnencodablePolicy::Refuse);
    QVERIFY(saved.ok);
    QCOMPARE(saved.path, f.locations.userFile());
    QCOMPARE(readBytes(f.locations.programFile()), old);
    QCOMPARE(QFileInfo(f.locations.programFile()).permissions() & QFileDevice::WriteOwner,
             QFileDevice::Permissions{});
    QVERIFY(loadSettings(f.locations).layout == changedLayout());
}

void TestSettingsFile::failureInBothPlacesNamesBothAndChangesNothing() {
    Folders f;
    f.blockProgramFolder();
    f.locations.userDir = f.locations.programDir + u"/sub"_qs;  // under a file: cannot exist
    const FileResult saved = saveSettings(f.locations, changedLayout(), UnencodablePolicy::Refuse);
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(QDir::toNativeSeparators(f.locations.programFile())),
             qPrintable(saved.error));
    QVERIFY2(saved.error.contains(QDir::toNativeSeparators(f.locations.userFile())),
             qPrintable(saved.error));
    QVERIFY(saved.error.contains(u"保存できませんでした"_qs));
    QCOMPARE(readBytes(f.locations.programDir), QByteArray("x"));
}

void TestSettingsFile::failedWriteLeavesOldFileByteIdentical_data() {
    QTest::addColumn<qint64>("failAfter");
    QTest::newRow("at once") << qint64{0};
    QTest::newRow("inside a double-byte character") << qint64{1};
    QTest::newRow("after the first line") << qint64{41};
    QTest::newRow("one byte short") << qint64{settingsBytes(changedLayout()).size() - 1};
}

void TestSettingsFile::failedWriteLeavesOldFileByteIdentical() {
    QFETCH(qint64, failAfter);
    Folders f;
    const QByteArray old = settingsBytes(Layout{});
    writeBytes(f.locations.programFile(), old);
    const auto wrap = [failAfter](QIODevice& file) -> std::unique_ptr<QIODevice> {
        return std::make_unique<FailAfterDevice>(file, failAfter);
    };
    const FileResult saved =
        writeFileAtomically(f.locations.programFile(), settingsBytes(changedLayout()), wrap);
    QVERIFY(!saved.ok);
    QVERIFY(saved.error.contains(QDir::toNativeSeparators(f.locations.programFile())));
    QCOMPARE(readBytes(f.locations.programFile()), old);
    QCOMPARE(f.leftovers(f.locations.programDir), QStringList{u"data.txt"_qs});
}

void TestSettingsFile::fullDiskAtCommitLeavesOldFile() {
    // A real write error from the kernel: the file size limit stands in for a full disk.
    Folders f;
    const QByteArray old = settingsBytes(Layout{});
    writeBytes(f.locations.programFile(), old);
    Layout big = changedLayout();
    big.makerFont.Name = QString(3000, QChar(u'漢'));

    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult result = writeFileAtomically(f.locations.programFile(), settingsBytes(big));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(readBytes(f.locations.programFile()), old);
    QCOMPARE(f.leftovers(f.locations.programDir), QStringList{u"data.txt"_qs});
}

void TestSettingsFile::unencodableFontNameIsRefusedUnlessAllowed() {
    Folders f;
    Layout layout = changedLayout();
    layout.productFont.Name = u"Malgun 맑은 고딕"_qs;  // Hangul is not in code page 932

    const std::vector<UnencodableText> found = findUnencodable(layout);
    QCOMPARE(found.size(), std::size_t{4});
    QCOMPARE(found[0], (UnencodableText{0, u"品名のフォント名"_qs, 8, U'맑'}));
    QCOMPARE(found[3], (UnencodableText{0, u"品名のフォント名"_qs, 12, U'딕'}));

    const FileResult refused = saveSettings(f.locations, layout, UnencodablePolicy::Refuse);
    QVERIFY(!refused.ok);
    QVERIFY2(refused.error.contains(u"レイアウトの品名のフォント名、8 文字目「맑」(U+B9D1)"_qs),
             qPrintable(refused.error));
    QVERIFY(!QFile::exists(f.locations.programFile()));

    const FileResult written =
        saveSettings(f.locations, layout, UnencodablePolicy::WriteQuestionMark);
    QVERIFY(written.ok);
    QCOMPARE(loadSettings(f.locations).layout.productFont.Name, u"Malgun ?? ??"_qs);
}

void TestSettingsFile::unreadableFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder") << u"folder"_qs << u"普通のファイルではありません"_qs;
    QTest::newRow("named pipe") << u"fifo"_qs << u"普通のファイルではありません"_qs;
    QTest::newRow("over 16 MiB") << u"big"_qs << u"大きすぎます"_qs;
    QTest::newRow("exactly 16 MiB is read") << u"cap"_qs << QString();
}

void TestSettingsFile::unreadableFiles() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    Folders f;
    const QString path = f.locations.programFile();
    if (kind == u"folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray start = settingsBytes(changedLayout());
        file.write(start);
        QVERIFY(file.resize(kMaxFileSize + (kind == u"big" ? 1 : 0)));
    }
    const SettingsLoad load = loadSettings(f.locations);
    QCOMPARE(load.path, path);
    if (reason.isEmpty()) {
        QVERIFY(load.error.isEmpty());
        QVERIFY(load.layout == changedLayout());
        return;
    }
    QVERIFY2(load.error.contains(reason), qPrintable(load.error));
    QVERIFY(load.error.contains(QDir::toNativeSeparators(path)));
    Layout expected;
    applyFirstStartValues(expected);
    QVERIFY(load.layout == expected);
}

QTEST_APPLESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
