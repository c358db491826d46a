#pragma once

#include <sys/stat.h>
#include <sys/types.h>

namespace zukaro {

// The system calls that reading and saving files make, one virtual function each, so that a
// test can make any single step fail the way a full, broken or read-only disk would. The
// base class makes the real calls; errors come back as -1 with errno set, as from the system.
// Names are taken relative to an opened folder (AT_FDCWD for the current one): a save works on
// the folder it opened, whatever is renamed or linked meanwhile.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual int openat(int dir, const char* name, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int fstat(int fd, struct stat* info);
    virtual int fstatat(int dir, const char* name, struct stat* info, int flags);
    virtual ssize_t readlinkat(int dir, const char* name, char* buffer, size_t size);
    virtual int faccessat(int dir, const char* name, int mode, int flags);
    virtual long fpathconf(int fd, int name);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fchmod(int fd, mode_t mode);
    virtual int ftruncate(int fd, off_t length);
    virtual int flock(int fd, int operation);
    virtual int linkat(int fromDir, const char* from, int toDir, const char* to);
    virtual int renameat(int fromDir, const char* from, int toDir, const char* to);
    virtual int unlinkat(int dir, const char* name);

    // The real file system, for everything but tests.
    static FileSystem& real();
};

}  // namespace zukaro
