#pragma once

#include <fcntl.h>

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <map>

#include "FailingFileSystem.h"

// The file system of FailingFileSystem (the real one, with chosen calls failing), recording in
// order each call that puts content on the disk or makes it stay there, with the file it went
// to by its name in its folder ("folder/" for a folder opened to be synced): "write NAME"
// (once for a run of writes), "fsync NAME", "ftruncate NAME", "fchown NAME UID:GID",
// "rename FROM TO". A call that failed gets " failed".
class RecordingFileSystem : public FailingFileSystem {
public:
    using FailingFileSystem::FailingFileSystem;
    RecordingFileSystem() : FailingFileSystem(std::vector<Failure>{}) {}

    const QStringList& calls() const { return calls_; }

    int openat(int dir, const char* name, int flags, mode_t mode) override {
        const int fd = FailingFileSystem::openat(dir, name, flags, mode);
        names_[fd] = (flags & O_DIRECTORY) != 0 ? QStringLiteral("folder/")
                                                : QFileInfo(QFile::decodeName(name)).fileName();
        return fd;
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        const ssize_t done = FailingFileSystem::write(fd, data, size);
        if (calls_.isEmpty() || calls_.last() != "write " + names_[fd] || done < 0) {
            note("write " + names_[fd], done >= 0);
        }
        return done;
    }
    int fsync(int fd) override {
        return note("fsync " + names_[fd], FailingFileSystem::fsync(fd) == 0);
    }
    int ftruncate(int fd, off_t length) override {
        return note("ftruncate " + names_[fd], FailingFileSystem::ftruncate(fd, length) == 0);
    }
    int fchown(int fd, uid_t owner, gid_t group) override {
        const bool done = FailingFileSystem::fchown(fd, owner, group) == 0;
        return note(QString("fchown %1 %2:%3").arg(names_[fd]).arg(owner).arg(group), done);
    }
    int renameat(int fromDir, const char* from, int toDir, const char* to) override {
        return note(QString("rename %1 %2").arg(QFile::decodeName(from), QFile::decodeName(to)),
                    FailingFileSystem::renameat(fromDir, from, toDir, to) == 0);
    }

private:
    // The call's line; -1 for a failure, as the call returns it (errno stays as it set it).
    int note(const QString& call, bool done) {
        const int error = errno;
        calls_ << call + (done ? "" : " failed");
        errno = error;
        return done ? 0 : -1;
    }

    std::map<int, QString> names_;
    QStringList calls_;
};
