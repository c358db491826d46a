#include "SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zukaro {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

FileResult failure(const QString& path, const QString& reason) {
    return {false, path,
            QStringLiteral("「%1」に保存できませんでした。%2").arg(shown(path), reason)};
}

FileResult interrupted(const QString& path, const QString& reason) {
    return failure(
        path, QStringLiteral(
                  "書き込みの途中でエラーが起きました。ディスクの空きを確かめてください（%1）。")
                  .arg(reason));
}

bool hasNoWriteBit(const QFileInfo& info) {
    return (info.permissions() &
            (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther)) == 0;
}

}  // namespace

FileResult writeFileAtomically(const QString& path, QByteArrayView bytes,
                               const DeviceWrapper& wrap) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return failure(path, QStringLiteral("同じ名前のフォルダがあります。"));
    }
    // Checked by the mode bits too: an administrator would otherwise replace the file.
    if (info.exists() && (!info.isWritable() || hasNoWriteBit(info))) {
        return failure(path, QStringLiteral("読み取り専用のファイルです。"));
    }

    // The same for the folder the file goes into: the temporary file is made there.
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir()) {
        return failure(path, QStringLiteral("保存先のフォルダがありません。"));
    }
    if (!folder.isWritable() || hasNoWriteBit(folder)) {
        return failure(path, QStringLiteral("保存先のフォルダは読み取り専用です。"));
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(path,
                       QStringLiteral("フォルダに書き込めません（%1）。").arg(file.errorString()));
    }
    std::unique_ptr<QIODevice> wrapper;
    QIODevice* device = &file;
    if (wrap) {
        wrapper = wrap(file);
        device = wrapper.get();
    }
    const qint64 written = device->write(bytes.data(), bytes.size());
    const QString writeError = device->errorString();
    wrapper.reset();
    if (written != bytes.size()) {
        file.cancelWriting();
        return interrupted(path, writeError);
    }
    // QSaveFile::commit() does not notice a failed flush of its buffer (a disk that filled
    // up), so flush first and look.
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return interrupted(path, reason);
    }
    if (!file.commit()) {
        return failure(
            path,
            QStringLiteral(
                "ファイルを書き終えられませんでした。ディスクの空きを確かめてください（%1）。")
                .arg(file.errorString()));
    }
    return {true, path, {}};
}

ReadResult readFileBounded(const QString& path, qint64 maxBytes) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = ReadResult::Status::Missing;
        result.error = QStringLiteral("「%1」が見つかりません。").arg(shown(path));
        return result;
    }
    if (!info.isFile()) {
        result.status = ReadResult::Status::NotRegular;
        result.error = QStringLiteral("「%1」は普通のファイルではありません。").arg(shown(path));
        return result;
    }
    if (info.size() > maxBytes) {
        result.status = ReadResult::Status::TooLarge;
        result.error = QStringLiteral("「%1」は大きすぎます（%2 バイトまで）。")
                           .arg(shown(path))
                           .arg(maxBytes);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ReadResult::Status::Unreadable;
        result.error =
            QStringLiteral("「%1」を開けません（%2）。").arg(shown(path), file.errorString());
        return result;
    }
    // Read in pieces so that a file that grew since it was looked at still stops at the cap.
    QByteArray data;
    data.reserve(info.size());
    char chunk[65536];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0) {
        data.append(chunk, got);
        if (data.size() > maxBytes) {
            result.status = ReadResult::Status::TooLarge;
            result.error = QStringLiteral("「%1」は大きすぎます（%2 バイトまで）。")
                               .arg(shown(path))
                               .arg(maxBytes);
            return result;
        }
    }
    if (got < 0) {
        result.status = ReadResult::Status::Unreadable;
        result.error =
            QStringLiteral("「%1」を読めません（%2）。").arg(shown(path), file.errorString());
        return result;
    }
    result.bytes = std::move(data);
    result.status = ReadResult::Status::Ok;
    return result;
}

}  // namespace zukaro
