#include "SafeFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <cerrno>
#include <optional>
#include <utility>

#include "RewriteJournal.h"
#include "SignalCleanup.h"
#include "SystemError.h"

namespace zukaro {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

bool hasNoWriteBit(mode_t mode) {
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Why a rewrite stopped halfway cannot be finished now, and where its new content waits.
QString unfinished(const JournalResult& finished) {
    return QStringLiteral("前回の保存が途中で止まったままで、その続きを書き込めません（%1）。")
               .arg(describeSystemError(finished.error)) +
           (finished.sidePath.isEmpty()
                ? QString()
                : QStringLiteral("新しい内容は「%1」にあります。").arg(shown(finished.sidePath)));
}

QString userName(uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    return user != nullptr ? QString::fromLocal8Bit(user->pw_name) : QString::number(uid);
}

}  // namespace

AtomicFile::AtomicFile(const QString& path, FileSystem& fs) : path_(path), fs_(fs), place_(fs) {}

AtomicFile::~AtomicFile() {
    discardTemporary();
}

FileResult AtomicFile::failure(const QString& reason) const {
    return {false, path_,
            QStringLiteral("「%1」に保存できませんでした。%2").arg(shown(path_), reason)};
}

FileResult AtomicFile::failureWithErrno(const QString& what, int errorNumber) const {
    return failure(QStringLiteral("%1（%2）。").arg(what, describeSystemError(errorNumber)));
}

FileResult AtomicFile::placeFailure() const {
    switch (place_.problem()) {
        case FilePlace::Problem::NoFolder:
            return failure(QStringLiteral("保存先のフォルダがありません。"));
        case FilePlace::Problem::LinksInACircle:
            return failureWithErrno(QStringLiteral("ファイルの場所をたどれません"), ELOOP);
        case FilePlace::Problem::ForeignLink:
            return failure(
                QStringLiteral("「%1」は、だれでも書き込めるフォルダ「%2」に置かれた、ほかの"
                               "ユーザー（%3）のシンボリックリンクです。リンクの先のファイルを"
                               "書き換えることになるため、たどりません。")
                    .arg(shown(place_.linkPath()), shown(place_.folderPath()),
                         userName(place_.linkOwner())));
        default:
            return failureWithErrno(QStringLiteral("保存先のフォルダを開けません"), place_.error());
    }
}

void AtomicFile::discardTemporary() {
    if (fd_ >= 0) {
        fs_.close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        fs_.unlinkat(place_.folder(), encoded(place_.hiddenName(suffix_)).constData());
        temporary_.clear();
    }
    removeOnSignal_.reset();
}

FileResult AtomicFile::begin() {
    if (!place_.open(path_)) {
        return placeFailure();
    }
    // A rewrite of this file that was stopped halfway is finished before it is looked at.
    if (const JournalResult finished = finishRewrite(fs_, place_); !finished.ok) {
        return failure(unfinished(finished));
    }
    const int folder = place_.folder();
    const QByteArray name = place_.encodedName();
    existed_ =
        !name.isEmpty() && fs_.fstatat(folder, name.constData(), &old_, AT_SYMLINK_NOFOLLOW) == 0;
    if (name.isEmpty() || (existed_ && S_ISDIR(old_.st_mode))) {
        return failure(QStringLiteral("同じ名前のフォルダがあります。"));
    }
    if (existed_ && !S_ISREG(old_.st_mode)) {
        return failure(QStringLiteral("そこにあるのは%1で、普通のファイルではありません。"
                                      "上書きしません。")
                           .arg(describeFileKind(old_.st_mode)));
    }
    // Checked by the mode bits too: an administrator would otherwise replace the file.
    if (existed_ &&
        (fs_.faccessat(folder, name.constData(), W_OK, 0) != 0 || hasNoWriteBit(old_.st_mode))) {
        return failure(QStringLiteral("読み取り専用のファイルです。"));
    }

    // The same for the folder the file goes into: the temporary file is made there.
    struct stat folderInfo {};
    if (fs_.fstat(folder, &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
        return failure(QStringLiteral("保存先のフォルダがありません。"));
    }
    if (fs_.faccessat(folder, ".", W_OK, 0) != 0 || hasNoWriteBit(folderInfo.st_mode)) {
        return failure(QStringLiteral("保存先のフォルダは読み取り専用です。"));
    }

    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString suffix = QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8,
                                                        16, QLatin1Char('0'));
        const QString candidate = place_.hiddenName(suffix);
        // Claimed before the file exists, so that no moment leaves it behind on a signal.
        removeOnSignal_.emplace(encoded(place_.folderPath() + QLatin1Char('/') + candidate));
        // 0666 lets the user's umask decide a new file's mode, as for any new file.
        fd_ = fs_.openat(folder, encoded(candidate).constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            suffix_ = suffix;
            temporary_ = place_.folderPath() + QLatin1Char('/') + candidate;
            return {true, path_, {}};
        }
        const int error = errno;
        removeOnSignal_.reset();
        if (error != EEXIST) {
            return failureWithErrno(QStringLiteral("保存先のフォルダに書き込めません"), error);
        }
    }
    return failure(QStringLiteral("保存先のフォルダに一時ファイルを作れません。"));
}

FileResult AtomicFile::write(QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = fs_.write(fd_, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            discardTemporary();
            return failureWithErrno(QStringLiteral("書き込みの途中でエラーが起きました"), error);
        }
        data += written;
        left -= written;
    }
    return {true, path_, {}};
}

bool AtomicFile::keepOwnerAndMode() {
    if (old_.st_nlink > 1) {
        return false;  // a rename would split the file from its other names
    }
    struct stat now {};
    if (fs_.fstat(fd_, &now) != 0) {
        return false;
    }
    if ((now.st_uid != old_.st_uid || now.st_gid != old_.st_gid) &&
        fs_.fchown(fd_, old_.st_uid, old_.st_gid) != 0) {
        return false;
    }
    const mode_t mode = old_.st_mode & 07777;
    if (fs_.fchmod(fd_, mode) != 0 || fs_.fstat(fd_, &now) != 0) {
        return false;
    }
    // The system quietly drops a setgid bit whose group the user is not in.
    return now.st_uid == old_.st_uid && now.st_gid == old_.st_gid && (now.st_mode & 07777) == mode;
}

FileResult AtomicFile::commit() {
    const bool renameKeepsOwner = !existed_ || keepOwnerAndMode();
    if (fs_.fsync(fd_) != 0) {
        const int error = errno;
        discardTemporary();
        return failureWithErrno(QStringLiteral("ディスクに書き込めませんでした"), error);
    }
    const int closing = fs_.close(fd_);
    const int closeError = errno;
    fd_ = -1;
    if (closing != 0) {
        discardTemporary();
        return failureWithErrno(QStringLiteral("ファイルを書き終えられませんでした"), closeError);
    }
    return renameKeepsOwner ? replaceByRename() : rewriteInPlace();
}

FileResult AtomicFile::replaceByRename() {
    const int folder = place_.folder();
    const QByteArray name = place_.encodedName();
    const QByteArray temporary = encoded(place_.hiddenName(suffix_));
    // A second name for the old file, so that it can be put back if the folder cannot be
    // synced after the rename. File systems without hard links go on without it.
    QByteArray backup;
    std::optional<RemovedOnSignal> backupOnSignal;
    if (existed_) {
        const QString backupName = place_.hiddenName(suffix_ + QStringLiteral(".old"));
        backup = encoded(backupName);
        backupOnSignal.emplace(encoded(place_.folderPath() + QLatin1Char('/') + backupName));
        if (fs_.linkat(folder, name.constData(), folder, backup.constData()) != 0) {
            backup.clear();
        }
    }
    const auto dropBackup = [&] {
        if (!backup.isEmpty()) {
            fs_.unlinkat(folder, backup.constData());
        }
        backupOnSignal.reset();
    };
    if (fs_.renameat(folder, temporary.constData(), folder, name.constData()) != 0) {
        const int error = errno;
        dropBackup();
        discardTemporary();
        return failureWithErrno(QStringLiteral("ファイルを置き換えられませんでした"), error);
    }
    temporary_.clear();
    removeOnSignal_.reset();
    if (fs_.fsync(folder) != 0) {
        const int error = errno;
        if (!backup.isEmpty() &&
            fs_.renameat(folder, backup.constData(), folder, name.constData()) == 0) {
            return failureWithErrno(
                QStringLiteral("保存先のフォルダをディスクに書き込めなかったため、元のファイルに"
                               "戻しました"),
                error);
        }
        dropBackup();
        return failureWithErrno(
            QStringLiteral("ファイルは置き換えましたが、ディスクに書き込めたかを確かめられません"
                           "でした"),
            error);
    }
    dropBackup();
    return {true, path_, {}};
}

FileResult AtomicFile::rewriteInPlace() {
    // Opened without following a link, and only if it is still the file that was looked at.
    const int out = fs_.openat(place_.folder(), place_.encodedName().constData(),
                               O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
    if (out < 0) {
        const int error = errno;
        discardTemporary();
        return failureWithErrno(QStringLiteral("ファイルを開けませんでした"), error);
    }
    const auto closeOut = qScopeGuard([&] { fs_.close(out); });
    struct stat now {};
    struct stat side {};
    if (fs_.fstat(out, &now) != 0 || now.st_dev != old_.st_dev || now.st_ino != old_.st_ino ||
        fs_.fstatat(place_.folder(), encoded(place_.hiddenName(suffix_)).constData(), &side,
                    AT_SYMLINK_NOFOLLOW) != 0) {
        discardTemporary();
        return failure(
            QStringLiteral("保存している間に、ファイルがほかのものに置き換えられました。"
                           "書き換えていません。"));
    }
    if (!lockForRewrite(fs_, out)) {
        discardTemporary();
        return failure(
            QStringLiteral("ほかのプログラムがこのファイルを書き換えています。"
                           "しばらくしてから、もう一度保存してください。"));
    }
    // From here on the old file may change: should anything fail, or the program be stopped,
    // the new content and the journal stay beside it, and the next read finishes the rewrite.
    removeOnSignal_.reset();
    const RewriteResult rewritten =
        rewriteWithJournal(fs_, place_, out, now, suffix_, side.st_size);
    if (rewritten.error != 0 && !rewritten.started) {
        discardTemporary();
        return failureWithErrno(QStringLiteral("ディスクに書き込めませんでした"), rewritten.error);
    }
    const QString kept = shown(std::exchange(temporary_, QString()));
    if (rewritten.error != 0) {
        return failure(QStringLiteral("ファイルを書き換えている途中でエラーが起きました（%1）。"
                                      "新しい内容は「%2」に残してあります。次にこのファイルを"
                                      "開くか保存するとき、その内容で書き換えを終えます。")
                           .arg(describeSystemError(rewritten.error), kept));
    }
    return {true, path_, {}};
}

FileResult writeFileAtomically(const QString& path, QByteArrayView bytes, FileSystem& fs) {
    AtomicFile file(path, fs);
    FileResult result = file.begin();
    if (result.ok) {
        result = file.write(bytes);
    }
    if (result.ok) {
        result = file.commit();
    }
    return result;
}

FileResult finishInterruptedRewrite(const QString& path, FileSystem& fs) {
    FilePlace place(fs);
    if (!place.open(path)) {
        return {true, path, {}};  // no folder to look in, or no link to follow: nothing to finish
    }
    const JournalResult finished = finishRewrite(fs, place);
    if (finished.ok) {
        return {true, path, {}};
    }
    return {false, path, QStringLiteral("「%1」は、").arg(shown(path)) + unfinished(finished)};
}

namespace {

// Opens `path` for reading without waiting and without side effects: looked at before it is
// opened (opening a device may already do something to it), opened non-blocking (a pipe put
// there since cannot hold the program) and looked at again. `fd` is open when Ok.
ReadResult openRegularFile(const QString& path, qint64 maxBytes, int& fd, struct stat& info) {
    ReadResult result;
    fd = -1;
    const auto fail = [&](ReadResult::Status status, const QString& error) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
        result.status = status;
        result.error = error;
        return result;
    };
    const QByteArray name = encoded(path);
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return fail(ReadResult::Status::Missing,
                        QStringLiteral("「%1」が見つかりません。").arg(shown(path)));
        }
        return fail(ReadResult::Status::Unreadable,
                    QStringLiteral("「%1」を開けません（%2）。")
                        .arg(shown(path), describeSystemError(errno)));
    }
    const auto notRegular = [&](mode_t mode) {
        result.kind = mode;
        return fail(ReadResult::Status::NotRegular,
                    QStringLiteral("「%1」は普通のファイルではありません（%2）。")
                        .arg(shown(path), describeFileKind(mode)));
    };
    if (!S_ISREG(info.st_mode)) {
        return notRegular(info.st_mode);
    }
    const QString tooLarge =
        QStringLiteral("「%1」は大きすぎます（%2 バイトまで）。").arg(shown(path)).arg(maxBytes);
    if (info.st_size > maxBytes) {
        return fail(ReadResult::Status::TooLarge, tooLarge);
    }
    fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return fail(ReadResult::Status::Unreadable,
                    QStringLiteral("「%1」を開けません（%2）。")
                        .arg(shown(path), describeSystemError(errno)));
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return notRegular(info.st_mode);
    }
    if (info.st_size > maxBytes) {
        return fail(ReadResult::Status::TooLarge, tooLarge);
    }
    result.status = ReadResult::Status::Ok;
    return result;
}

}  // namespace

ReadResult checkRegularFile(const QString& path, qint64 maxBytes) {
    int fd = -1;
    struct stat info {};
    ReadResult result = openRegularFile(path, maxBytes, fd, info);
    if (fd >= 0) {
        ::close(fd);
    }
    return result;
}

ReadResult readFileBounded(const QString& path, qint64 maxBytes) {
    if (const FileResult finished = finishInterruptedRewrite(path); !finished.ok) {
        return {ReadResult::Status::Unreadable, {}, finished.error};
    }
    int fd = -1;
    struct stat info {};
    ReadResult result = openRegularFile(path, maxBytes, fd, info);
    if (!result.ok()) {
        return result;
    }
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    // Read in pieces so that a file that grew since it was looked at still stops at the cap.
    QByteArray data;
    data.reserve(info.st_size);
    char chunk[65536];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0) {
        data.append(chunk, got);
        if (data.size() > maxBytes) {
            return {ReadResult::Status::TooLarge,
                    {},
                    QStringLiteral("「%1」は大きすぎます（%2 バイトまで）。")
                        .arg(shown(path))
                        .arg(maxBytes)};
        }
    }
    if (got < 0) {
        return {ReadResult::Status::Unreadable,
                {},
                QStringLiteral("「%1」を読めません（%2）。").arg(shown(path), file.errorString())};
    }
    result.bytes = std::move(data);
    return result;
}

}  // namespace zukaro
