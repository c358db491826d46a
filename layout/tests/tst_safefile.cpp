// Saving through every way a disk can fail: each failed step leaves the old file as it was,
// and says why in Japanese; owner, group and mode survive a save.
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "FailingFileSystem.h"
#include "SafeFile.h"

using namespace zukaro;
using Call = FailingFileSystem::Call;

Q_DECLARE_METATYPE(Call)

namespace {

const QByteArray kOld = "old contents\r\n";
const QByteArray kNew = "the new contents, longer than the old ones\r\n";

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct stat statOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

}  // namespace

class TestSafeFile : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;
    QString path_;

    QStringList entries() const {
        return QDir(dir_->path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void init() {
        path_ = dir_.emplace().filePath("sheet.csv");
        QVERIFY(writeBytes(path_, kOld));
    }

    void failedStepLeavesOldFile_data() {
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("says");
        QTest::newRow("temporary file")
            << Call::Open << 1 << EACCES << "保存先のフォルダに書き込めません（権限がありません）";
        QTest::newRow("disk full halfway") << Call::Write << 10 << ENOSPC
                                           << "書き込みの途中でエラーが起きました（ディスクの空きが"
                                              "ありません）";
        QTest::newRow("fsync") << Call::Fsync << 1 << EIO
                               << "ディスクに書き込めませんでした（ディスクの読み書きでエラーが"
                                  "起きました）";
        QTest::newRow("close") << Call::Close << 1 << EDQUOT
                               << "ファイルを書き終えられませんでした（ディスクの使用量の上限";
        QTest::newRow("rename") << Call::Rename << 1 << EBUSY
                                << "ファイルを置き換えられませんでした（ほかのプログラムが";
        QTest::newRow("folder fsync after the rename")
            << Call::Fsync << 2 << EIO << "元のファイルに戻しました";
    }

    void failedStepLeavesOldFile() {
        QFETCH(Call, call);
        QFETCH(int, nth);
        QFETCH(int, error);
        QFETCH(QString, says);
        FailingFileSystem disk(call, nth, error);
        const FileResult saved = writeFileAtomically(path_, kNew, disk);
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.startsWith("「" + path_ + "」に保存できませんでした。") &&
                     saved.error.contains(says),
                 qPrintable(saved.error));
        QCOMPARE(readBytes(path_), kOld);
        QCOMPARE(entries(), QStringList{"sheet.csv"});
    }

    // What stands at the path and is not a file is never replaced.
    void refusesWhatIsNotAFile_data() {
        QTest::addColumn<QString>("says");
        QTest::newRow("named pipe")
            << "そこにあるのは名前付きパイプで、普通のファイルではありません";
        QTest::newRow("folder") << "同じ名前のフォルダがあります";
    }

    void refusesWhatIsNotAFile() {
        QFETCH(QString, says);
        QVERIFY(QFile::remove(path_));
        const bool pipe = says.contains("パイプ");
        QVERIFY(pipe ? ::mkfifo(QFile::encodeName(path_).constData(), 0600) == 0
                     : QDir().mkdir(path_));
        const FileResult saved = writeFileAtomically(path_, kNew);
        QVERIFY2(!saved.ok && saved.error.contains(says), qPrintable(saved.error));
        QCOMPARE(S_ISFIFO(statOf(path_).st_mode), pipe);
        QCOMPARE(entries(), QStringList{"sheet.csv"});
    }

    void ownerGroupAndModeAreKept() {
        if (::geteuid() != 0) {
            QSKIP("giving a file to another user needs root (CI runs as root)");
        }
        const QByteArray name = QFile::encodeName(path_);
        QCOMPARE(::chown(name.constData(), 12345, 23456), 0);
        QCOMPARE(::chmod(name.constData(), 02664), 0);
        QVERIFY(writeFileAtomically(path_, kNew).ok);
        const struct stat after = statOf(path_);
        QCOMPARE(after.st_uid, uid_t(12345));
        QCOMPARE(after.st_gid, gid_t(23456));
        QCOMPARE(after.st_mode & 07777, mode_t(02664));
        QCOMPARE(readBytes(path_), kNew);
    }

    // Where the new file cannot be the old one's twin, the old file is rewritten in place.
    void rewritesInPlaceWhenTheOwnerCannotBeKept_data() {
        QTest::addColumn<bool>("secondName");
        QTest::newRow("mode cannot be set") << false;
        QTest::newRow("second hard link") << true;
    }

    void rewritesInPlaceWhenTheOwnerCannotBeKept() {
        QFETCH(bool, secondName);
        const QString other = dir_->filePath("other-name.csv");
        if (secondName) {
            QCOMPARE(
                ::link(QFile::encodeName(path_).constData(), QFile::encodeName(other).constData()),
                0);
        }
        const ino_t inode = statOf(path_).st_ino;
        FailingFileSystem disk(Call::Fchmod, secondName ? 99 : 1, EPERM);
        const FileResult saved = writeFileAtomically(path_, kNew, disk);
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QCOMPARE(statOf(path_).st_ino, inode);
        QCOMPARE(readBytes(path_), kNew);
        QCOMPARE(readBytes(other), secondName ? kNew : QByteArray("(unreadable)"));
        QCOMPARE(entries().size(), secondName ? 2 : 1);
    }

    // A rewrite in place that fails halfway keeps the whole new content beside the file.
    void failedRewriteKeepsTheNewContent() {
        FailingFileSystem disk(
            {{Call::Fchmod, 1, EPERM}, {Call::Write, int(kNew.size()) + 5, ENOSPC}});
        const FileResult saved = writeFileAtomically(path_, kNew, disk);
        QVERIFY(!saved.ok);
        const QStringList left = entries().filter(".sheet.csv.zukaro-");
        QCOMPARE(left.size(), 1);
        QVERIFY2(
            saved.error.contains("新しい内容は「" + dir_->filePath(left[0]) + "」に残してあります"),
            qPrintable(saved.error));
        QCOMPARE(readBytes(dir_->filePath(left[0])), kNew);
    }

    void symbolicLinks_data() {
        QTest::addColumn<bool>("loop");
        QTest::newRow("followed") << false;
        QTest::newRow("in a circle") << true;
    }

    void symbolicLinks() {
        QFETCH(bool, loop);
        const QString link = dir_->filePath("link.csv");
        QVERIFY(QFile::link(loop ? link : path_, link));
        const FileResult saved = writeFileAtomically(link, kNew);
        QCOMPARE(saved.ok, !loop);
        QVERIFY2(!loop || saved.error.contains("シンボリックリンクが循環しています"),
                 qPrintable(saved.error));
        QVERIFY(S_ISLNK(statOf(link).st_mode));
        QCOMPARE(readBytes(path_), loop ? kOld : kNew);
    }

    // Names as long as a folder allows (255 bytes): the hidden temporary and backup names are
    // cut to fit, never inside a character, and the old file is replaced as any other.
    void longestNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("255 bytes of ASCII") << QString(251, 'a') + ".csv";
        QTest::newRow("255 bytes of Japanese") << QString("棚").repeated(83) + "ab.csv";
    }

    void longestNames() {
        QFETCH(QString, name);
        QCOMPARE(QFile::encodeName(name).size(), 255);
        const QString path = dir_->filePath(name);
        QVERIFY(writeBytes(path, kOld) && QFile::remove(path_));
        const FileResult saved = writeFileAtomically(path, kNew);
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QCOMPARE(readBytes(path), kNew);
        QCOMPARE(entries(), QStringList{name});
    }
};

QTEST_APPLESS_MAIN(TestSafeFile)
#include "tst_safefile.moc"
