#include "SystemError.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>

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
    return QStringLiteral("%1 (errno %2)")
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

}  // namespace zukaro
