#include "ScratchFile.h"

#include <fcntl.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>

#include "SystemError.h"

namespace zukaro {

ScratchFile::~ScratchFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!named_.isEmpty()) {
        QFile::remove(named_);
    }
}

bool ScratchFile::create(QString& error) {
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("zukaro-XXXXXX")));
    file.setAutoRemove(false);
    if (!file.open()) {
        error = QStringLiteral("一時フォルダー「%1」にファイルを作れません（%2）。")
                    .arg(QDir::toNativeSeparators(QDir::tempPath()), file.errorString());
        return false;
    }
    named_ = file.fileName();
    fd_ = ::open(QFile::encodeName(named_).constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        error = QStringLiteral("一時フォルダー「%1」のファイルを開けません（%2）。")
                    .arg(QDir::toNativeSeparators(QDir::tempPath()), describeSystemError(errno));
        return false;
    }
    const QString byDescriptor = QStringLiteral("/proc/self/fd/%1").arg(fd_);
    if (QFileInfo::exists(byDescriptor) && QFile::remove(named_)) {
        named_.clear();
        path_ = byDescriptor;
    } else {
        path_ = named_;
    }
    return true;
}

QByteArray ScratchFile::readAll() const {
    QByteArray bytes;
    char chunk[65536];
    off_t offset = 0;
    ssize_t got = 0;
    while ((got = ::pread(fd_, chunk, sizeof chunk, offset)) > 0) {
        bytes.append(chunk, got);
        offset += got;
    }
    return bytes;
}

}  // namespace zukaro
