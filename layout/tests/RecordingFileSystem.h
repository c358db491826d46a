#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <map>

#include "FailingFileSystem.h"

// The file system of FailingFileSystem (the real one, with chosen calls failing), recording
// every call that puts something on the disk or makes it stay there, in order, with the file
// it went to: "write NAME", "fsync NAME", "rename FROM TO", "fchown NAME UID:GID", "ftruncate
// NAME", "link FROM TO", "unlink NAME". A name is the file's name in its folder; a folder
// opened for syncing is "folder/". A call that failed gets " failed".
class RecordingFileSystem : public FailingFileSystem {
public:
    using FailingFileSystem::FailingFileSystem;
    RecordingFileSystem() : FailingFileSystem(std::vector<Failure>{}) {}

    const QStringList& calls() const { return calls_; }

    int open(const char* path, int flags, mode_t mode) override {
        const int fd = FailingFileSystem::open(path, flags, mode);
        if (fd >= 0) {
            const QFileInfo info(QFile::decodeName(path));
            open_[fd] = info.isDir() ? QStringLiteral("folder/") : info.fileName();
        }
        return fd;
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        const ssize_t done = FailingFileSystem::write(fd, data, size);
        // One line for the writes of one file in a row, however the data was cut up.
        const QString line = "write " + open_[fd] + (done < 0 ? " failed" : "");
        if (calls_.isEmpty() || calls_.last() != line) {
            calls_ << line;
        }
        return done;
    }
    int fsync(int fd) override { return note(FailingFileSystem::fsync(fd), "fsync", fd); }
    int close(int fd) override {
        const int closed = FailingFileSystem::close(fd);
        open_.erase(fd);
        return closed;
    }
    int fchown(int fd, uid_t owner, gid_t group) override {
        const int done = FailingFileSystem::fchown(fd, owner, group);
        calls_ << QString("fchown %1 %2:%3%4")
                      .arg(open_[fd])
                      .arg(owner)
                      .arg(group)
                      .arg(done == 0 ? "" : " failed");
        return done;
    }
    int ftruncate(int fd, off_t length) override {
        return note(FailingFileSystem::ftruncate(fd, length), "ftruncate", fd);
    }
    int link(const char* from, const char* to) override {
        return note(FailingFileSystem::link(from, to), "link", from, to);
    }
    int rename(const char* from, const char* to) override {
        return note(FailingFileSystem::rename(from, to), "rename", from, to);
    }
    int unlink(const char* path) override {
        return note(FailingFileSystem::unlink(path), "unlink", path);
    }

private:
    static QString name(const char* path) { return QFileInfo(QFile::decodeName(path)).fileName(); }

    int note(int result, const char* call, int fd) {
        calls_ << QString("%1 %2%3").arg(call, open_[fd], result == 0 ? "" : " failed");
        return result;
    }
    int note(int result, const char* call, const char* path, const char* to = nullptr) {
        calls_ << QString("%1 %2%3%4")
                      .arg(call, name(path), to != nullptr ? " " + name(to) : QString(),
                           result == 0 ? "" : " failed");
        return result;
    }

    std::map<int, QString> open_;
    QStringList calls_;
};
