#include "SafeFile.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <optional>
#include <utility>

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

// Follows symbolic links to the file they name, which need not exist yet. ELOOP in `error`
// when the links go round in circles.
QString followLinks(const QString& path, int& error) {
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(encoded(current).constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            error = 0;
            return current;
        }
        const QString link = QFile::symLinkTarget(current);
        if (link.isEmpty()) {
            break;
        }
        current = QFileInfo(link).absoluteFilePath();
    }
    error = ELOOP;
    return current;
}

// What the temporary and backup names add to the file's own: "." before it, ".zukaro-" and
// eight hex digits after it, and ".old" for the backup.
constexpr qsizetype kTemporaryNameExtra = 1 + 8 + 8 + 4;

// The file's name as far as it fits into the temporary name in `folder`: cut, never in the
// middle of a character, when the name is near the longest the folder allows.
QString nameForTemporary(const QString& folder, const QString& name) {
    const long limit = ::pathconf(encoded(folder).constData(), _PC_NAME_MAX);
    const qsizetype room = (limit > 0 ? limit : 255) - kTemporaryNameExtra;
    qsizetype length = name.size();
    while (length > 0 && encoded(name.first(length)).size() > room) {
        --length;
        if (length > 0 && name[length - 1].isHighSurrogate()) {
            --length;
        }
    }
    return name.first(length);
}

}  // namespace

AtomicFile::AtomicFile(const QString& path, FileSystem& fs) : path_(path), fs_(fs) {}

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

void AtomicFile::discardTemporary() {
    if (fd_ >= 0) {
        fs_.close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        fs_.unlink(encoded(temporary_).constData());
        temporary_.clear();
    }
    removeOnSignal_.reset();
}

FileResult AtomicFile::begin() {
    int linkError = 0;
    target_ = followLinks(path_, linkError);
    if (linkError != 0) {
        return failureWithErrno(QStringLiteral("ファイルの場所をたどれません"), linkError);
    }
    existed_ = ::stat(encoded(target_).constData(), &old_) == 0;
    if (existed_ && S_ISDIR(old_.st_mode)) {
        return failure(QStringLiteral("同じ名前のフォルダがあります。"));
    }
    if (existed_ && !S_ISREG(old_.st_mode)) {
        return failure(QStringLiteral("そこにあるのは%1で、普通のファイルではありません。"
                                      "上書きしません。")
                           .arg(describeFileKind(old_.st_mode)));
    }
    // Checked by the mode bits too: an administrator would otherwise replace the file.
    if (existed_ &&
        (::access(encoded(target_).constData(), W_OK) != 0 || hasNoWriteBit(old_.st_mode))) {
        return failure(QStringLiteral("読み取り専用のファイルです。"));
    }

    // The same for the folder the file goes into: the temporary file is made there.
    const QFileInfo target(target_);
    const QString folder = target.absolutePath();
    struct stat folderInfo {};
    if (::stat(encoded(folder).constData(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
        return failure(QStringLiteral("保存先のフォルダがありません。"));
    }
    if (::access(encoded(folder).constData(), W_OK) != 0 || hasNoWriteBit(folderInfo.st_mode)) {
        return failure(QStringLiteral("保存先のフォルダは読み取り専用です。"));
    }

    const QString name = nameForTemporary(folder, target.fileName());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate =
            folder + QStringLiteral("/.%1.zukaro-%2")
                         .arg(name)
                         .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        // Claimed before the file exists, so that no moment leaves it behind on a signal.
        removeOnSignal_.emplace(encoded(candidate));
        // 0666 lets the user's umask decide a new file's mode, as for any new file.
        fd_ =
            fs_.open(encoded(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporary_ = candidate;
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

bool AtomicFile::syncFolder() {
    const int dir = fs_.open(encoded(QFileInfo(target_).absolutePath()).constData(),
                             O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (dir < 0) {
        return false;
    }
    const bool synced = fs_.fsync(dir) == 0;
    const int error = errno;
    fs_.close(dir);
    errno = error;
    return synced;
}

FileResult AtomicFile::replaceByRename() {
    // A second name for the old file, so that it can be put back if the folder cannot be
    // synced after the rename. File systems without hard links go on without it.
    QString backup;
    std::optional<RemovedOnSignal> backupOnSignal;
    if (existed_) {
        backup = temporary_ + QStringLiteral(".old");
        backupOnSignal.emplace(encoded(backup));
        if (fs_.link(encoded(target_).constData(), encoded(backup).constData()) != 0) {
            backup.clear();
        }
    }
    const auto dropBackup = [&] {
        if (!backup.isEmpty()) {
            fs_.unlink(encoded(backup).constData());
        }
        backupOnSignal.reset();
    };
    if (fs_.rename(encoded(temporary_).constData(), encoded(target_).constData()) != 0) {
        const int error = errno;
        dropBackup();
        discardTemporary();
        return failureWithErrno(QStringLiteral("ファイルを置き換えられませんでした"), error);
    }
    temporary_.clear();
    removeOnSignal_.reset();
    if (!syncFolder()) {
        const int error = errno;
        if (!backup.isEmpty() &&
            fs_.rename(encoded(backup).constData(), encoded(target_).constData()) == 0) {
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
    const int in = fs_.open(encoded(temporary_).constData(), O_RDONLY | O_CLOEXEC, 0);
    const int out = in < 0 ? -1 : fs_.open(encoded(target_).constData(), O_WRONLY | O_CLOEXEC, 0);
    if (out < 0) {
        const int error = errno;
        if (in >= 0) {
            fs_.close(in);
        }
        discardTemporary();
        return failureWithErrno(QStringLiteral("ファイルを開けませんでした"), error);
    }
    // From here on the old file changes: should anything fail, or the program be stopped, the
    // new content stays beside it.
    removeOnSignal_.reset();
    off_t total = 0;
    int error = 0;
    char chunk[65536];
    for (;;) {
        const ssize_t got = fs_.read(in, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            break;
        }
        for (ssize_t done = 0; done < got && error == 0;) {
            const ssize_t written = fs_.write(out, chunk + done, static_cast<size_t>(got - done));
            if (written < 0 && errno == EINTR) {
                continue;
            }
            error = written > 0 ? 0 : (written < 0 ? errno : ENOSPC);
            done += written > 0 ? written : 0;
        }
        if (error != 0) {
            break;
        }
        total += got;
    }
    if (error == 0 && fs_.ftruncate(out, total) != 0) {
        error = errno;
    }
    if (error == 0 && fs_.fsync(out) != 0) {
        error = errno;
    }
    fs_.close(in);
    if (fs_.close(out) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        const QString kept = shown(std::exchange(temporary_, QString()));
        return failure(QStringLiteral("ファイルを書き換えている途中でエラーが起きました（%1）。"
                                      "新しい内容は「%2」に残してあります。")
                           .arg(describeSystemError(error), kept));
    }
    discardTemporary();
    syncFolder();
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

ReadResult readFileBounded(const QString& path, qint64 maxBytes) {
    ReadResult result;
    const auto fail = [&](ReadResult::Status status, const QString& error) {
        result.status = status;
        result.error = error;
        return result;
    };
    const QByteArray name = encoded(path);
    struct stat info {};
    // Looked at before it is opened: opening a device may already do something to it.
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT) {
            return fail(ReadResult::Status::Missing,
                        QStringLiteral("「%1」が見つかりません。").arg(shown(path)));
        }
        return fail(ReadResult::Status::Unreadable,
                    QStringLiteral("「%1」を開けません（%2）。")
                        .arg(shown(path), describeSystemError(errno)));
    }
    const auto notRegular = [&](mode_t mode) {
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
    // Non-blocking, so that a pipe put there since the look cannot hang the program.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(ReadResult::Status::Unreadable,
                    QStringLiteral("「%1」を開けません（%2）。")
                        .arg(shown(path), describeSystemError(errno)));
    }
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return notRegular(info.st_mode);
    }
    // Read in pieces so that a file that grew since it was looked at still stops at the cap.
    QByteArray data;
    data.reserve(info.st_size);
    char chunk[65536];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0) {
        data.append(chunk, got);
        if (data.size() > maxBytes) {
            return fail(ReadResult::Status::TooLarge, tooLarge);
        }
    }
    if (got < 0) {
        return fail(
            ReadResult::Status::Unreadable,
            QStringLiteral("「%1」を読めません（%2）。").arg(shown(path), file.errorString()));
    }
    result.bytes = std::move(data);
    result.status = ReadResult::Status::Ok;
    return result;
}

}  // namespace zukaro
