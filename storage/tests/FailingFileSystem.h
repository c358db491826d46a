#pragma once

#include <algorithm>
#include <cerrno>
#include <map>
#include <vector>

#include "FileSystem.h"

// The real file system, except that chosen calls fail with the errors a full, broken or
// read-only disk gives: the n-th call of a kind, or for writes every write once a number of
// bytes has gone through, as on a disk that fills up halfway.
class FailingFileSystem : public zukaro::FileSystem {
public:
    enum class Call { Open, Write, Fsync, Close, Fstat, Fchown, Fchmod, Ftruncate, Link, Rename };
    struct Failure {
        Call call;
        int nth;  // 1 for the first call of the kind; for Write, the bytes let through
        int error;
    };

    explicit FailingFileSystem(std::vector<Failure> failures) : failures_(std::move(failures)) {}
    FailingFileSystem(Call call, int nth, int error) : failures_{{call, nth, error}} {}

    int openat(int dir, const char* name, int flags, mode_t mode) override {
        return fails(Call::Open) ? -1 : FileSystem::openat(dir, name, flags, mode);
    }
    ssize_t write(int fd, const void* data, size_t size) override {
        for (const Failure& f : failures_) {
            if (f.call == Call::Write) {
                const long left = std::max(0L, f.nth - written_);
                if (left == 0) {
                    errno = f.error;
                    return -1;
                }
                size = std::min<size_t>(size, static_cast<size_t>(left));
            }
        }
        const ssize_t done = FileSystem::write(fd, data, size);
        written_ += done > 0 ? done : 0;
        return done;
    }
    int fsync(int fd) override { return fails(Call::Fsync) ? -1 : FileSystem::fsync(fd); }
    int close(int fd) override {
        // The descriptor is released even when closing reports an error, as on Linux.
        const int closed = FileSystem::close(fd);
        return fails(Call::Close) ? -1 : closed;
    }
    int fstat(int fd, struct stat* info) override {
        return fails(Call::Fstat) ? -1 : FileSystem::fstat(fd, info);
    }
    int fchown(int fd, uid_t owner, gid_t group) override {
        return fails(Call::Fchown) ? -1 : FileSystem::fchown(fd, owner, group);
    }
    int fchmod(int fd, mode_t mode) override {
        return fails(Call::Fchmod) ? -1 : FileSystem::fchmod(fd, mode);
    }
    int ftruncate(int fd, off_t length) override {
        return fails(Call::Ftruncate) ? -1 : FileSystem::ftruncate(fd, length);
    }
    int linkat(int fromDir, const char* from, int toDir, const char* to) override {
        return fails(Call::Link) ? -1 : FileSystem::linkat(fromDir, from, toDir, to);
    }
    int renameat(int fromDir, const char* from, int toDir, const char* to) override {
        return fails(Call::Rename) ? -1 : FileSystem::renameat(fromDir, from, toDir, to);
    }

private:
    bool fails(Call call) {
        const int count = ++calls_[call];
        for (const Failure& f : failures_) {
            if (f.call == call && f.nth == count) {
                errno = f.error;
                return true;
            }
        }
        return false;
    }

    std::vector<Failure> failures_;
    std::map<Call, int> calls_;
    long written_ = 0;
};
