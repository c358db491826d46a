// Saving through every way a disk can fail: each failed step leaves the old file as it was,
// and says why in Japanese. The calls of a save are recorded: the order in which content
// reaches the disk is what makes a save safe, and the end state alone cannot show it.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
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

// The real file system, for a child process that is killed (SIGKILL, by itself) at its n-th
// call, before or after making it; writes go a page at a time. n = 0: counts the calls only.
class KillingFileSystem : public FileSystem {
    int calls_ = 0;
    int killAt_;
    bool before_;

    template <class Call>
    auto step(Call call) {
        const bool last = ++calls_ == killAt_;
        if (last && before_) {
            ::raise(SIGKILL);
        }
        const auto result = call();
        if (last) {
            ::raise(SIGKILL);
        }
        return result;
    }

public:
    KillingFileSystem(int killAt, bool before) : killAt_(killAt), before_(before) {}
    int calls() const { return calls_; }

    int openat(int d, const char* n, int f, mode_t m) override {
        return step([&] { return FileSystem::openat(d, n, f, m); });
    }
    ssize_t read(int fd, void* b, size_t s) override {
        return step([&] { return FileSystem::read(fd, b, std::min<size_t>(s, 4096)); });
    }
    ssize_t write(int fd, const void* d, size_t s) override {
        return step([&] { return FileSystem::write(fd, d, std::min<size_t>(s, 4096)); });
    }
    int fsync(int fd) override {
        return step([&] { return FileSystem::fsync(fd); });
    }
    int close(int fd) override {
        return step([&] { return FileSystem::close(fd); });
    }
    int fstat(int fd, struct stat* i) override {
        return step([&] { return FileSystem::fstat(fd, i); });
    }
    int fstatat(int d, const char* n, struct stat* i, int f) override {
        return step([&] { return FileSystem::fstatat(d, n, i, f); });
    }
    int fchown(int fd, uid_t u, gid_t g) override {
        return step([&] { return FileSystem::fchown(fd, u, g); });
    }
    int fchmod(int fd, mode_t m) override {
        return step([&] { return FileSystem::fchmod(fd, m); });
    }
    int ftruncate(int fd, off_t l) override {
        return step([&] { return FileSystem::ftruncate(fd, l); });
    }
    int flock(int fd, int o) override {
        return step([&] { return FileSystem::flock(fd, o); });
    }
    int linkat(int fd, const char* f, int td, const char* t) override {
        return step([&] { return FileSystem::linkat(fd, f, td, t); });
    }
    int renameat(int fd, const char* f, int td, const char* t) override {
        return step([&] { return FileSystem::renameat(fd, f, td, t); });
    }
    int unlinkat(int d, const char* n) override {
        return step([&] { return FileSystem::unlinkat(d, n); });
    }
};

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
        QTest::newRow("folder") << Call::Open << 1 << EACCES
                                << "保存先のフォルダを開けません（権限がありません）";
        QTest::newRow("temporary file")
            << Call::Open << 2 << EACCES << "保存先のフォルダに書き込めません（権限がありません）";
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
    // same inode, its owner, mode and other names kept) that starts only once its journal and
    // the journal's name are on the disk.
    void callsReachTheDiskInOrder_data() {
        QTest::addColumn<QString>("before");  // none, a file, another user's, ...
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("newInode");
        const QStringList renamed{"write temp", "fsync temp", "rename temp sheet.csv",
                                  "fsync folder/"};
        const QStringList inPlace{"write temp",          "fsync temp",      "write journal",
                                  "fsync journal",       "fsync folder/",   "write sheet.csv",
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
            call.replace(QRegularExpression("\\.sheet\\.csv\\.zukaro-[0-9a-f]{8}"), "temp")
                .replace(".sheet.csv.zukaro-journal", "journal");
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

    // A rewrite in place that fails halfway (the disk fills up during the copy) keeps the whole
    // new content beside the file and names it; the next read of the file finishes the rewrite.
    void failedRewriteKeepsTheNewContent() {
        const QByteArray content = kNew.repeated(100);
        // The temporary file and the journal (one short line) go through; the copy stops about
        // 900 bytes into the file.
        FailingFileSystem disk(
            {{Call::Fchmod, 1, EPERM}, {Call::Write, int(content.size()) + 1000, ENOSPC}});
        const FileResult saved = writeFileAtomically(path_, content, disk);
        QVERIFY(!saved.ok);
        const QStringList left =
            entries().filter(QRegularExpression("^\\.sheet\\.csv\\.zukaro-[0-9a-f]{8}$"));
        QCOMPARE(left.size(), 1);
        QVERIFY2(
            saved.error.contains("新しい内容は「" + dir_->filePath(left[0]) + "」に残してあります"),
            qPrintable(saved.error));
        QCOMPARE(readBytes(dir_->filePath(left[0])), content);
        const QByteArray torn = readBytes(path_);
        QVERIFY(torn != kOld && torn != content);
        const ReadResult read = readFileBounded(path_);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.bytes, content);
        QCOMPARE(entries(), QStringList{"sheet.csv"});
    }

    // What a stopped rewrite leaves, as the next read finds it: a journal whose copy is to be
    // finished; one cut short, written before the file was touched (dropped, the file kept);
    // one for a file since replaced by another (dropped with its side file, the other file
    // kept); one whose side file is gone (the read refused, naming the file, nothing changed).
    void journalsLeftBehind_data() {
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("reads");  // old, new, other, or refused
        QTest::newRow("finished") << "nothing"
                                  << "new";
        QTest::newRow("journal cut short") << "cut journal"
                                           << "old";
        QTest::newRow("file replaced since") << "replace file"
                                             << "other";
        QTest::newRow("side file gone") << "remove side"
                                        << "refused";
    }

    void journalsLeftBehind() {
        QFETCH(QString, then);
        QFETCH(QString, reads);
        const QByteArray before = kNew.repeated(3);  // the new content is shorter: cut at the end
        QVERIFY(writeBytes(path_, before));
        // In place (the mode cannot be set), stopped after the copy, before the cut.
        FailingFileSystem disk({{Call::Fchmod, 1, EPERM}, {Call::Ftruncate, 1, EIO}});
        QVERIFY(!writeFileAtomically(path_, kOld, disk).ok);
        const QString journal = dir_->filePath(".sheet.csv.zukaro-journal");
        const QStringList sides =
            entries().filter(QRegularExpression("^\\.sheet\\.csv\\.zukaro-[0-9a-f]{8}$"));
        QVERIFY(QFile::exists(journal) && sides.size() == 1);
        QVERIFY(readBytes(path_) != before && readBytes(path_) != kOld);
        const QByteArray other = "another program's file\r\n";
        if (then == "cut journal") {
            QVERIFY(QFile::resize(journal, 20) && writeBytes(path_, before));
        } else if (then == "replace file") {
            QVERIFY(writeBytes(dir_->filePath("other.csv"), other));
            QCOMPARE(::rename(QFile::encodeName(dir_->filePath("other.csv")).constData(),
                              QFile::encodeName(path_).constData()),
                     0);
        } else if (then == "remove side") {
            QVERIFY(QFile::remove(dir_->filePath(sides[0])));
        }
        const QByteArray left = readBytes(path_);
        const ReadResult read = readFileBounded(path_);
        if (reads == "refused") {
            QCOMPARE(read.error, "「" + path_ +
                                     "」は、前回の保存が途中で止まったままで、その続きを書き込め"
                                     "ません（見つかりません）。新しい内容は「" +
                                     dir_->filePath(sides[0]) + "」にあります。");
            QCOMPARE(readBytes(path_), left);
            QVERIFY(QFile::exists(journal));
            return;
        }
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.bytes, reads == "new" ? kOld : reads == "old" ? before : other);
        // (A journal cut short no longer says which side file was its own: that one stays.)
        QCOMPARE(entries(), (reads == "old" ? sides : QStringList()) + QStringList{"sheet.csv"});
    }

    // Killed at any moment of a rewrite in place (kill -9, the power gone), the file reads back
    // old or new, never torn: 200 saves in a child process, each killed by SIGKILL at one of its
    // system calls drawn at random, before or after the call. The copy goes a page per call, so
    // that kills land inside it too; that some left the file torn until it was read again shows
    // they did.
    void killedRewriteReadsOldOrNew() {
        const QString other = dir_->filePath("other-name.csv");  // a second name: in place
        QCOMPARE(::link(QFile::encodeName(path_).constData(), QFile::encodeName(other).constData()),
                 0);
        const QByteArray longer = QByteArray("4901234567894,ポテトチップス,398\r\n").repeated(1500);
        const QByteArray shorter = QByteArray("4912345678904,アタック,1280\r\n").repeated(900);
        KillingFileSystem counting(0, false);
        QVERIFY(writeFileAtomically(path_, longer, counting).ok);
        const int calls = counting.calls();
        QVERIFY2(calls > 20, qPrintable(QString::number(calls)));
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        int torn = 0;
        for (int kill = 0; kill < 200; ++kill) {
            const QByteArray before = kill % 2 == 0 ? shorter : longer;
            const QByteArray after = kill % 2 == 0 ? longer : shorter;
            QVERIFY(writeBytes(path_, before));  // the same inode, both names
            KillingFileSystem dying(1 + int(random.bounded(calls)), random.bounded(2) == 0);
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                writeFileAtomically(path_, after, dying);
                ::_exit(0);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            const QByteArray left = readBytes(path_);
            torn += left != before && left != after;
            const ReadResult read = readFileBounded(path_);
            const QString where = QString("kill %1 of seed %2").arg(kill).arg(seed);
            QVERIFY2(read.ok(), qPrintable(where + ": " + read.error));
            QVERIFY2(read.bytes == before || read.bytes == after, qPrintable(where));
            QCOMPARE(readBytes(other), read.bytes);
            QVERIFY2(!entries().contains(".sheet.csv.zukaro-journal"), qPrintable(where));
            for (const QString& name : entries().filter(".sheet.csv.zukaro-")) {
                QVERIFY(QFile::remove(dir_->filePath(name)));  // a temporary file of a kill
            }
        }
        QVERIFY2(torn > 0, "no kill landed inside the copy");
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

    // As root, a link that another user planted in a sticky folder everyone may write (as /tmp)
    // is not followed, as the kernel's protected_symlinks rule has it (whatever the system's
    // setting): neither to replace the file it points to nor, dangling, to create it, and
    // nothing is written. A link of the follower's own, or of the folder's owner, or in a
    // folder that is not sticky, is followed as before: the file it points to is replaced in
    // its own folder.
    void foreignLinkInStickyFolder_data() {
        QTest::addColumn<QString>("linkOwner");    // who plants the link
        QTest::addColumn<QString>("folderOwner");  // of the sticky folder
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<bool>("dangling");
        QTest::addColumn<bool>("followed");
        QTest::newRow("nobody's link to root's file") << "nobody"
                                                      << "root" << 01777 << false << false;
        QTest::newRow("nobody's dangling link") << "nobody"
                                                << "root" << 01777 << true << false;
        QTest::newRow("root's own link") << "root"
                                         << "root" << 01777 << false << true;
        QTest::newRow("the folder owner's link") << "nobody"
                                                 << "nobody" << 01777 << false << true;
        QTest::newRow("folder not sticky") << "nobody"
                                           << "root" << 0777 << true << true;
    }

    void foreignLinkInStickyFolder() {
        QFETCH(QString, linkOwner);
        QFETCH(QString, folderOwner);
        QFETCH(int, folderMode);
        QFETCH(bool, dangling);
        QFETCH(bool, followed);
        if (::geteuid() != 0) {
            QSKIP("planting a link as another user needs root (CI runs as root)");
        }
        const uid_t nobody = 65534;
        const QString shared = dir_->filePath("shared");
        const QString target = dir_->filePath(dangling ? "new-secret.txt" : "secret.txt");
        const QString link = shared + "/out.pdf";
        QVERIFY(QDir().mkdir(shared));
        QCOMPARE(::chmod(QFile::encodeName(dir_->path()).constData(), 0755), 0);
        QCOMPARE(
            ::chown(QFile::encodeName(shared).constData(), folderOwner == "nobody" ? nobody : 0, 0),
            0);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), mode_t(folderMode)), 0);
        if (!dangling) {
            QVERIFY(writeBytes(target, kOld));
        }
        // Planted by a real process of the user, as it would be.
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            const bool asNobody = linkOwner == "nobody";
            const bool planted = (!asNobody || (::setgid(nobody) == 0 && ::setuid(nobody) == 0)) &&
                                 ::symlink(QFile::encodeName(target).constData(),
                                           QFile::encodeName(link).constData()) == 0;
            ::_exit(planted ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(statOf(link).st_uid, linkOwner == "nobody" ? nobody : 0u);

        RecordingFileSystem disk;
        const FileResult saved = writeFileAtomically(link, kNew, disk);
        QCOMPARE(saved.ok, followed);
        QVERIFY(S_ISLNK(statOf(link).st_mode));
        if (followed) {
            QCOMPARE(readBytes(target), kNew);
            const QString name = QFileInfo(target).fileName();
            QStringList made = disk.calls();
            made.replaceInStrings(QRegularExpression("\\.[^ ]*\\.zukaro-[0-9a-f]{8}"), "temp");
            QCOMPARE(made, (QStringList{"write temp", "fsync temp", "rename temp " + name,
                                        "fsync folder/"}));
            return;
        }
        QVERIFY2(saved.error == "「" + link + "」に保存できませんでした。「" + link +
                                    "」は、だれでも書き込めるフォルダ「" + shared +
                                    "」に置かれた、ほかのユーザー（nobody）のシンボリックリンク"
                                    "です。リンクの先のファイルを書き換えることになるため、"
                                    "たどりません。",
                 qPrintable(saved.error));
        QCOMPARE(disk.calls(), QStringList());
        QCOMPARE(readBytes(target), dangling ? QByteArray("(unreadable)") : kOld);
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                        QDir::NoDotAndDotDot),
                 QStringList{"out.pdf"});
    }

    // The save works in the folder it opened: a folder renamed, and a link to another put in
    // its place, while the PDF is being made does not send the file there.
    void folderSwappedDuringSave() {
        const QString folder = dir_->filePath("reports");
        const QString elsewhere = dir_->filePath("elsewhere");
        QVERIFY(QDir().mkdir(folder) && QDir().mkdir(elsewhere));
        RecordingFileSystem disk;
        AtomicFile file(folder + "/sheet.pdf", disk);
        QVERIFY(file.begin().ok);
        QVERIFY(file.write(kNew).ok);
        QVERIFY(QDir().rename(folder, dir_->filePath("reports-moved")));
        QVERIFY(QFile::link(elsewhere, folder));
        const FileResult saved = file.commit();
        QVERIFY2(saved.ok, qPrintable(saved.error));
        QCOMPARE(readBytes(dir_->filePath("reports-moved/sheet.pdf")), kNew);
        QCOMPARE(QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
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
