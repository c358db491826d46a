#include "RewriteJournal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QFile>
#include <QScopeGuard>
#include <algorithm>
#include <cerrno>
#include <optional>

namespace zukaro {
namespace {

const QString kJournalSuffix = QStringLiteral("journal");

QByteArray encoded(const QString& name) {
    return QFile::encodeName(name);
}

// "zukaro-journal 1 SUFFIX DEVICE INODE SIZE\n": all the journal says, in one short line.
QByteArray journalLine(const QString& sideSuffix, const struct stat& info, off_t size) {
    return QStringLiteral("zukaro-journal 1 %1 %2 %3 %4\n")
        .arg(sideSuffix)
        .arg(static_cast<qulonglong>(info.st_dev))
        .arg(static_cast<qulonglong>(info.st_ino))
        .arg(static_cast<qlonglong>(size))
        .toLatin1();
}

struct JournalLine {
    QString sideSuffix;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
};

// A whole line, or nothing: a journal cut short is no journal.
std::optional<JournalLine> readJournalLine(const QByteArray& bytes) {
    const QList<QByteArray> words = bytes.chopped(bytes.endsWith('\n') ? 1 : 0).split(' ');
    if (!bytes.endsWith('\n') || bytes.count('\n') != 1 || words.size() != 6 ||
        words[0] != "zukaro-journal" || words[1] != "1" || words[2].size() != 8) {
        return std::nullopt;
    }
    JournalLine line{QString::fromLatin1(words[2])};
    bool device = false, inode = false, size = false;
    line.device = static_cast<dev_t>(words[3].toULongLong(&device));
    line.inode = static_cast<ino_t>(words[4].toULongLong(&inode));
    line.size = static_cast<off_t>(words[5].toLongLong(&size));
    bool hex = false;
    words[2].toUInt(&hex, 16);
    if (!device || !inode || !size || !hex || line.size < 0) {
        return std::nullopt;
    }
    return line;
}

// The whole of `bytes` to `fd`; 0 or the error.
int writeAll(FileSystem& fs, int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = fs.write(fd, data, static_cast<size_t>(size));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : ENOSPC;
        }
        data += written;
        size -= written;
    }
    return 0;
}

int writeJournal(FileSystem& fs, const FilePlace& place, const QByteArray& line) {
    const QByteArray journal = encoded(place.hiddenName(kJournalSuffix));
    fs.unlinkat(place.folder(), journal.constData());  // a dropped one of a stopped save
    const int fd = fs.openat(place.folder(), journal.constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    int error = writeAll(fs, fd, line.constData(), line.size());
    if (error == 0 && fs.fsync(fd) != 0) {
        error = errno;
    }
    if (fs.close(fd) != 0 && error == 0) {
        error = errno;
    }
    // The journal's name must be on the disk before the file's first byte changes.
    if (error == 0 && fs.fsync(place.folder()) != 0) {
        error = errno;
    }
    if (error != 0) {
        fs.unlinkat(place.folder(), journal.constData());
    }
    return error;
}

// The side file's `size` bytes over `target`, cut to them and synced.
int copySide(FileSystem& fs, const FilePlace& place, const QString& sideSuffix, int target,
             off_t size) {
    const int in = fs.openat(place.folder(), encoded(place.hiddenName(sideSuffix)).constData(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
    if (in < 0) {
        return errno;
    }
    struct stat info {};
    int error = fs.fstat(in, &info) != 0 ? errno : 0;
    if (error == 0 && (!S_ISREG(info.st_mode) || info.st_size != size)) {
        error = EIO;  // not the side file the journal wrote down
    }
    char chunk[65536];
    for (off_t copied = 0; error == 0 && copied < size;) {
        const ssize_t got = fs.read(in, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? errno : EIO;
            break;
        }
        error = writeAll(fs, target, chunk, got);
        copied += got;
    }
    fs.close(in);
    if (error == 0 && fs.ftruncate(target, size) != 0) {
        error = errno;
    }
    if (error == 0 && fs.fsync(target) != 0) {
        error = errno;
    }
    return error;
}

// The journal first: once it is gone the rewrite is over, whatever else is left.
void dropJournal(FileSystem& fs, const FilePlace& place, const QString& sideSuffix) {
    fs.unlinkat(place.folder(), encoded(place.hiddenName(kJournalSuffix)).constData());
    if (!sideSuffix.isEmpty()) {
        fs.unlinkat(place.folder(), encoded(place.hiddenName(sideSuffix)).constData());
    }
    fs.fsync(place.folder());
}

}  // namespace

bool lockForRewrite(FileSystem& fs, int fd) {
    for (int tries = 0; tries < 250; ++tries) {
        if (fs.flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return false;
        }
        ::usleep(20000);
    }
    errno = EWOULDBLOCK;
    return false;
}

RewriteResult rewriteWithJournal(FileSystem& fs, const FilePlace& place, int target,
                                 const struct stat& info, const QString& sideSuffix, off_t size) {
    if (const int error = writeJournal(fs, place, journalLine(sideSuffix, info, size));
        error != 0) {
        return {error, false};
    }
    if (const int error = copySide(fs, place, sideSuffix, target, size); error != 0) {
        return {error, true};
    }
    dropJournal(fs, place, sideSuffix);
    return {};
}

JournalResult finishRewrite(FileSystem& fs, const FilePlace& place) {
    const QByteArray journal = encoded(place.hiddenName(kJournalSuffix));
    struct stat info {};
    if (fs.fstatat(place.folder(), journal.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return {};  // the plain case: no rewrite was stopped
    }
    const int target = fs.openat(place.folder(), place.encodedName().constData(),
                                 O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0);
    if (target < 0 && errno != ENOENT) {
        return {false, errno, {}};
    }
    const auto closeTarget = qScopeGuard([&] {
        if (target >= 0) {
            fs.close(target);
        }
    });
    struct stat now {};
    if (target >= 0 && (fs.fstat(target, &now) != 0 || !lockForRewrite(fs, target))) {
        return {false, errno, {}};
    }
    // Read under the lock: a rewrite that was still running has finished by now.
    const int fd =
        fs.openat(place.folder(), journal.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK, 0);
    if (fd < 0) {
        return {};
    }
    QByteArray bytes(128, '\0');
    const ssize_t got = fs.read(fd, bytes.data(), bytes.size());
    fs.close(fd);
    bytes.truncate(std::max<ssize_t>(got, 0));
    const std::optional<JournalLine> line = readJournalLine(bytes);
    if (!line || target < 0 || now.st_dev != line->device || now.st_ino != line->inode) {
        // Cut short (the file was never touched), or for a file no longer there.
        dropJournal(fs, place, line ? line->sideSuffix : QString());
        return {};
    }
    if (const int error = copySide(fs, place, line->sideSuffix, target, line->size); error != 0) {
        return {false, error,
                place.folderPath() + QLatin1Char('/') + place.hiddenName(line->sideSuffix)};
    }
    dropJournal(fs, place, line->sideSuffix);
    return {};
}

}  // namespace zukaro
