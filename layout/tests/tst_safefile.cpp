// Saving through every way a disk can fail: each failed step leaves the old file as it was,
// and says why in Japanese. The calls of a save are recorded: the order in which content
// reaches the disk is what makes a save safe, and the end state alone cannot show it.
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "RecordingFileSystem.h"
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

    // What stands at the path and is not a file, or is a file marked read-only, is never
    // replaced, also by an administrator (CI runs as root).
    void refusesWhatItMustNotReplace_data() {
        QTest::addColumn<QString>("there");
        QTest::addColumn<QString>("says");
        QTest::newRow("named pipe")
            << "pipe"
            << "そこにあるのは名前付きパイプで、普通のファイルではありません";
        QTest::newRow("folder") << "folder"
                                << "同じ名前のフォルダがあります";
        QTest::newRow("read-only file") << "read-only"
                                        << "読み取り専用のファイルです";
    }

    void refusesWhatItMustNotReplace() {
        QFETCH(QString, there);
        QFETCH(QString, says);
        const QByteArray name = QFile::encodeName(path_);
        if (there == "read-only") {
            QCOMPARE(::chmod(name.constData(), 0444), 0);
        } else {
            QVERIFY(QFile::remove(path_));
            QVERIFY(there == "pipe" ? ::mkfifo(name.constData(), 0600) == 0 : QDir().mkdir(path_));
        }
        const struct stat before = statOf(path_);
        const FileResult saved = writeFileAtomically(path_, kNew);
        QVERIFY2(!saved.ok && saved.error.contains(says), qPrintable(saved.error));
        const struct stat after = statOf(path_);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        if (there == "read-only") {  // (a pipe is never opened: that would wait for a writer)
            QCOMPARE(readBytes(path_), kOld);
        }
        QCOMPARE(entries(), QStringList{"sheet.csv"});
    }

    // What reaches the disk, call by call: the new content is complete and synced before it
    // takes the old file's place, and the folder is synced after that, by a rename (a new
    // inode) or, where the new file cannot be the old one's twin, by a rewrite in place (the
    // same inode, its owner, mode and other names kept).
    void callsReachTheDiskInOrder_data() {
        QTest::addColumn<QString>("before");  // none, a file, another user's, ...
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("newInode");
        const QStringList renamed{"write temp", "fsync temp", "rename temp sheet.csv",
                                  "fsync folder/"};
        const QStringList inPlace{"write temp",          "fsync temp",      "write sheet.csv",
                                  "ftruncate sheet.csv", "fsync sheet.csv", "fsync folder/"};
        QTest::newRow("new file") << "none" << renamed << true;
        QTest::newRow("replaced") << "file" << renamed << true;
        QTest::newRow("another user's file, setgid")
            << "owner"
            << QStringList{"write temp", "fchown temp 12345:23456", "fsync temp",
                           "rename temp sheet.csv", "fsync folder/"}
            << true;
        QTest::newRow("mode cannot be set: in place") << "fchmod refused" << inPlace << false;
        QTest::newRow("second hard link: in place") << "second name" << inPlace << false;
    }

    void callsReachTheDiskInOrder() {
        QFETCH(QString, before);
        QFETCH(QStringList, calls);
        QFETCH(bool, newInode);
        const QByteArray name = QFile::encodeName(path_);
        const QString other = dir_->filePath("other-name.csv");
        if (before == "none") {
            QVERIFY(QFile::remove(path_));
        } else if (before == "owner") {
            if (::geteuid() != 0) {
                QSKIP("giving a file to another user needs root (CI runs as root)");
            }
            QCOMPARE(::chown(name.constData(), 12345, 23456), 0);
            QCOMPARE(::chmod(name.constData(), 02664), 0);
        } else if (before == "second name") {
            QCOMPARE(::link(name.constData(), QFile::encodeName(other).constData()), 0);
        }
        const struct stat old = statOf(path_);
        // Shorter than the old content, so that a rewrite in place must cut the file.
        const QByteArray shorter = "short\r\n";
        RecordingFileSystem disk(Call::Fchmod, before == "fchmod refused" ? 1 : 99, EPERM);
        const FileResult saved = writeFileAtomically(path_, shorter, disk);
        QVERIFY2(saved.ok, qPrintable(saved.error));

        QStringList made;  // the calls that put or keep content, the temporary files named
        for (QString call : disk.calls()) {
            call.replace(QRegularExpression("\\.sheet\\.csv\\.zukaro-[0-9a-f]{8}"), "temp");
            if (QRegularExpression("^(write|fchown|fsync|rename|ftruncate) ")
                    .match(call)
                    .hasMatch()) {
                made << call;
            }
        }
        QCOMPARE(made, calls);
        const struct stat now = statOf(path_);
        QCOMPARE(before == "none" || now.st_ino != old.st_ino, newInode);
        QCOMPARE(readBytes(path_), shorter);
        if (before != "none") {
            QCOMPARE(now.st_uid, old.st_uid);
            QCOMPARE(now.st_gid, old.st_gid);
            QCOMPARE(now.st_mode & 07777, old.st_mode & 07777);
        }
        QCOMPARE(readBytes(other), before == "second name" ? shorter : "(unreadable)");
        QCOMPARE(entries().size(), before == "second name" ? 2 : 1);
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
