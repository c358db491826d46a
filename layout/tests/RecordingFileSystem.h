#pragma once

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

    int open(const char* path, int flags, mode_t mode) override {
        const int fd = FailingFileSystem::open(path, flags, mode);
        const QFileInfo info(QFile::decodeName(path));
        names_[fd] = info.isDir() ? QStringLiteral("folder/") : info.fileName();
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
    int rename(const char* from, const char* to) override {
        const auto name = [](const char* path) {
            return QFileInfo(QFile::decodeName(path)).fileName();
        };
        return note("rename " + name(from) + ' ' + name(to),
                    FailingFileSystem::rename(from, to) == 0);
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
