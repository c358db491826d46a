#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

#include "FilePlace.h"
#include "FileSystem.h"
#include "SignalCleanup.h"

// Whole-file reads and writes for the settings and label data files and the printed outputs.
namespace zukaro {

inline constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

// The outcome of a write. `error` is a Japanese sentence that names the user's path and the
// reason.
struct FileResult {
    bool ok = false;
    QString path;
    QString error;
};

// Replaces a file so that nothing is ever half written. The new content goes into a temporary
// file beside the target; once it is complete and on the disk it takes the target's owner,
// group and mode, replaces the target in one rename, and the folder is synced. A failure at
// any step leaves the old file byte for byte as it was and says why.
//
// When the new file cannot be given the old one's owner, group or mode (a file of another
// user, a setgid group the user is not in), or the old file has further hard links, the file
// is rewritten in place instead, as careful editors do: only after the complete new content
// is synced beside it, and under a journal, so that a stop at any moment leaves the old or the
// new file (RewriteJournal.h). Should that rewrite fail halfway, the temporary file is kept,
// the message names it, and the next read or save of the file finishes the rewrite.
//
// The folder is opened once and everything after is done in it (FilePlace.h). A symbolic link
// is followed: the file it points to is replaced and the link stays; but not another user's
// link in a sticky folder everyone may write, as the kernel's protected_symlinks rule has it.
//
// The temporary file is ".NAME.zukaro-XXXXXXXX", NAME cut short when the whole would be longer
// than the folder allows; it is removed on SIGTERM, SIGINT and SIGHUP once the program has
// called removeTemporaryFilesOnSignals().
class AtomicFile {
public:
    explicit AtomicFile(const QString& path, FileSystem& fs = FileSystem::real());
    ~AtomicFile();  // an uncommitted temporary file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Checks the target and creates the temporary file. Refuses a folder, a named pipe, a
    // device or a socket at the path (they are never replaced), a read-only file and a
    // read-only folder.
    FileResult begin();
    // The temporary file, for a writer that opens its output by name (the PDF printer).
    QString temporaryPath() const { return temporary_; }
    FileResult write(QByteArrayView bytes);
    // Puts the temporary file in the target's place.
    FileResult commit();

private:
    FileResult failure(const QString& reason) const;
    FileResult failureWithErrno(const QString& what, int errorNumber) const;
    FileResult placeFailure() const;
    bool keepOwnerAndMode();
    FileResult replaceByRename();
    FileResult rewriteInPlace();
    void discardTemporary();

    QString path_;  // as the user named it
    FileSystem& fs_;
    FilePlace place_;    // its folder, opened, and its name there after symbolic links
    QString suffix_;     // the temporary file's: place_.hiddenName(suffix_)
    QString temporary_;  // its path; empty once it is no longer ours
    std::optional<RemovedOnSignal> removeOnSignal_;  // the temporary file, while it is ours
    int fd_ = -1;
    bool existed_ = false;
    struct stat old_ {};
};

// The whole of `bytes` into `path` through an AtomicFile.
FileResult writeFileAtomically(const QString& path, QByteArrayView bytes,
                               FileSystem& fs = FileSystem::real());

struct ReadResult {
    enum class Status { Ok, Missing, NotRegular, TooLarge, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes;
    QString error;      // Japanese, names the path; empty when Ok
    unsigned kind = 0;  // NotRegular: the st_mode of what stands there

    bool ok() const { return status == Status::Ok; }
};

// Whether `path` may be read as a configuration or database file, as readFileBounded would
// open it (never waiting on a pipe, never opening a device), without reading it: Missing when
// nothing is there, Ok for a regular file of at most `maxBytes` bytes, else the reason naming
// it. For files another reader (QSettings, SQLite) then opens by name.
ReadResult checkRegularFile(const QString& path, qint64 maxBytes = kMaxFileSize);

// Finishes a rewrite in place of `path` that was stopped halfway, from its journal, so that
// what is read next is the old or the new file, never a torn one. ok when nothing was left to
// finish; else `error` names the file, the reason and where the new content is.
FileResult finishInterruptedRewrite(const QString& path, FileSystem& fs = FileSystem::real());

// Reads a whole regular file of at most `maxBytes` bytes, after finishing a rewrite of it that
// was stopped. Never opens a device, pipe or folder.
ReadResult readFileBounded(const QString& path, qint64 maxBytes = kMaxFileSize);

}  // namespace zukaro
