#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace zukaro {

// The system calls that reading and saving files make, one virtual function each, so that a
// test can make any single step fail the way a full, broken or read-only disk would. The
// base class makes the real calls; errors come back as -1 with errno set, as from the system.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int fstat(int fd, struct stat* info);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fchmod(int fd, mode_t mode);
    virtual int ftruncate(int fd, off_t length);
    virtual int link(const char* from, const char* to);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);

    // The real file system, for everything but tests.
    static FileSystem& real();
};

}  // namespace zukaro
