#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>

// Whole-file reads and writes for the settings and label data files. Writes go to a
// temporary file beside the target that replaces it only when everything was written, so a
// failure leaves the old file as it was. Reads take regular files of bounded size only.
namespace zukaro {

inline constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// The outcome of a write. `error` is a Japanese sentence that names the path and the reason.
struct FileResult {
    bool ok = false;
    QString path;
    QString error;
};

// Lets a test put a device between the writer and the temporary file (one that fails after
// N bytes, say). Production code passes nothing.
using DeviceWrapper = std::function<std::unique_ptr<QIODevice>(QIODevice& file)>;

// Replaces `path` with `bytes`. Refuses a read-only target (it is not replaced through the
// rename) and a folder.
FileResult writeFileAtomically(const QString& path, QByteArrayView bytes,
                               const DeviceWrapper& wrap = {});

struct ReadResult {
    enum class Status { Ok, Missing, NotRegular, TooLarge, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes;
    QString error;  // Japanese, names the path; empty when Ok

    bool ok() const { return status == Status::Ok; }
};

// Reads a whole regular file of at most `maxBytes` bytes. Never opens a device, pipe or
// folder.
ReadResult readFileBounded(const QString& path, qint64 maxBytes = kMaxFileSize);

}  // namespace zukaro
