#include "FilePlace.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cerrno>

namespace zukaro {
namespace {

// Splits "a/b/c" into "a/b" and "c", "/c" into "" and "c" (the root), "c" into "." and "c".
void split(const QString& path, QString& folder, QString& name) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    folder = slash < 0 ? QStringLiteral(".") : path.first(slash);
    name = path.mid(slash + 1);
}

// Enough links for any real path; the kernel gives up at 40 too.
constexpr int kMaxLinks = 40;

}  // namespace

bool mayFollowLink(const struct stat& folder, uid_t linkOwner, uid_t follower) {
    const mode_t stickyAndOpen = S_ISVTX | S_IWOTH;
    return linkOwner == follower || (folder.st_mode & stickyAndOpen) != stickyAndOpen ||
           linkOwner == folder.st_uid;
}

bool FilePlace::fail(Problem problem, int error) {
    close();
    problem_ = problem;
    error_ = error;
    return false;
}

void FilePlace::close() {
    if (folder_ >= 0) {
        fs_.close(folder_);
        folder_ = -1;
    }
}

QByteArray FilePlace::encodedName() const {
    return QFile::encodeName(name_);
}

bool FilePlace::open(const QString& path) {
    close();
    problem_ = Problem::None;
    // Not cleaned: "a/../b" goes where the kernel goes when a is a link.
    QString current =
        path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
    for (int links = 0;; ++links) {
        split(current, folderPath_, name_);
        const QByteArray folder =
            QFile::encodeName(folderPath_.isEmpty() ? QStringLiteral("/") : folderPath_);
        // The folders on the way are the kernel's to follow (its own rule applies to them).
        folder_ = fs_.openat(AT_FDCWD, folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (folder_ < 0) {
            const int error = errno;
            return fail(
                error == ENOENT || error == ENOTDIR ? Problem::NoFolder : Problem::FolderNotOpen,
                error);
        }
        struct stat info {};
        if (name_.isEmpty() ||
            fs_.fstatat(folder_, encodedName().constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(info.st_mode)) {
            return true;  // the file, something else, or nothing yet: the caller looks
        }
        if (links == kMaxLinks) {
            return fail(Problem::LinksInACircle, ELOOP);
        }
        struct stat folderInfo {};
        if (fs_.fstat(folder_, &folderInfo) != 0) {
            return fail(Problem::FolderNotOpen, errno);
        }
        if (!mayFollowLink(folderInfo, info.st_uid, ::geteuid())) {
            linkPath_ = current;
            linkOwner_ = info.st_uid;
            return fail(Problem::ForeignLink);
        }
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length =
            fs_.readlinkat(folder_, encodedName().constData(), target.data(), target.size());
        if (length <= 0 || length >= target.size()) {
            return fail(Problem::FolderNotOpen, length < 0 ? errno : ENAMETOOLONG);
        }
        target.truncate(length);
        const QString next = QFile::decodeName(target);
        current = next.startsWith(QLatin1Char('/')) ? next : folderPath_ + QLatin1Char('/') + next;
        close();
    }
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &sb) == 0) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    FilePlace pa(FileSystem::real());
    FilePlace pb(FileSystem::real());
    if (pa.open(a) && pb.open(b) && FileSystem::real().fstat(pa.folder(), &sa) == 0 &&
        FileSystem::real().fstat(pb.folder(), &sb) == 0) {
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino && pa.name() == pb.name();
    }
    return QDir::cleanPath(QDir::current().absoluteFilePath(a)) ==
           QDir::cleanPath(QDir::current().absoluteFilePath(b));
}

QString FilePlace::hiddenName(const QString& suffix) const {
    // What a hidden name adds to the file's own: "." before it, ".zukaro-" and the suffix
    // (12 characters at most: eight hex digits and ".old") after it.
    constexpr qsizetype kExtra = 1 + 8 + 12;
    const long limit = folder_ >= 0 ? fs_.fpathconf(folder_, _PC_NAME_MAX) : -1;
    const qsizetype room = (limit > 0 ? limit : 255) - kExtra;
    qsizetype length = name_.size();
    while (length > 0 && QFile::encodeName(name_.first(length)).size() > room) {
        --length;
        if (length > 0 && name_[length - 1].isHighSurrogate()) {
            --length;
        }
    }
    return QStringLiteral(".%1.zukaro-%2").arg(name_.first(length), suffix);
}

}  // namespace zukaro
