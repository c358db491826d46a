#include "SystemError.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "ShownText.h"

namespace zukaro {

QString describeSystemError(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
            return QStringLiteral("ディスクの空きがありません");
        case EDQUOT:
            return QStringLiteral("ディスクの使用量の上限に達しています");
        case EFBIG:
            return QStringLiteral("ファイルの大きさの上限を超えました");
        case EACCES:
        case EPERM:
            return QStringLiteral("権限がありません");
        case EROFS:
            return QStringLiteral("読み取り専用のディスクです");
        case EIO:
            return QStringLiteral("ディスクの読み書きでエラーが起きました");
        case ELOOP:
            return QStringLiteral("シンボリックリンクが循環しています");
        case ENOENT:
            return QStringLiteral("見つかりません");
        case ENOTDIR:
            return QStringLiteral("途中のフォルダーがありません");
        case EISDIR:
            return QStringLiteral("フォルダーです");
        case ENAMETOOLONG:
            return QStringLiteral("名前が長すぎます");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("開いているファイルが多すぎます");
        case EBUSY:
        case ETXTBSY:
            return QStringLiteral("ほかのプログラムが使っています");
        case EXDEV:
            return QStringLiteral("別のディスクにあります");
        default:
            break;
    }
    return QStringLiteral("システムのエラーです。原文: %1 (errno %2)")
        .arg(QString::fromLocal8Bit(std::strerror(errorNumber)))
        .arg(errorNumber);
}

QString describeFileKind(unsigned mode) {
    switch (mode & S_IFMT) {
        case S_IFIFO:
            return QStringLiteral("名前付きパイプ");
        case S_IFCHR:
        case S_IFBLK:
            return QStringLiteral("デバイス");
        case S_IFSOCK:
            return QStringLiteral("ソケット");
        case S_IFDIR:
            return QStringLiteral("フォルダー");
        default:
            return QStringLiteral("普通のファイルではないもの");
    }
}

QString whyCutShort(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    struct stat info {};
    struct statvfs disk {};
    const bool known = ::fstat(fd, &info) == 0 && ::fstatvfs(fd, &disk) == 0;
    ::close(fd);
    if (!known) {
        return {};
    }
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(info.st_size) >= limit.rlim_cur) {
        return QStringLiteral("ファイルの大きさの上限 %1 バイトに達しました")
            .arg(countText(static_cast<qint64>(limit.rlim_cur)));
    }
    // A full disk leaves a few blocks, at most, that a write could not use.
    const unsigned long long free =
        static_cast<unsigned long long>(::geteuid() == 0 ? disk.f_bfree : disk.f_bavail) *
        disk.f_frsize;
    if (free < 64 * 1024) {
        return describeSystemError(ENOSPC);
    }
    return {};
}

}  // namespace zukaro
