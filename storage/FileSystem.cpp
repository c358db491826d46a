#include "FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

namespace zukaro {

int FileSystem::openat(int dir, const char* name, int flags, mode_t mode) {
    return ::openat(dir, name, flags, mode);
}
ssize_t FileSystem::read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t FileSystem::write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}
int FileSystem::fsync(int fd) {
    return ::fsync(fd);
}
int FileSystem::close(int fd) {
    return ::close(fd);
}
int FileSystem::fstat(int fd, struct stat* info) {
    return ::fstat(fd, info);
}
int FileSystem::fstatat(int dir, const char* name, struct stat* info, int flags) {
    return ::fstatat(dir, name, info, flags);
}
ssize_t FileSystem::readlinkat(int dir, const char* name, char* buffer, size_t size) {
    return ::readlinkat(dir, name, buffer, size);
}
int FileSystem::faccessat(int dir, const char* name, int mode, int flags) {
    return ::faccessat(dir, name, mode, flags);
}
long FileSystem::fpathconf(int fd, int name) {
    return ::fpathconf(fd, name);
}
int FileSystem::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}
int FileSystem::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int FileSystem::ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}
int FileSystem::flock(int fd, int operation) {
    return ::flock(fd, operation);
}
int FileSystem::linkat(int fromDir, const char* from, int toDir, const char* to) {
    return ::linkat(fromDir, from, toDir, to, 0);
}
int FileSystem::renameat(int fromDir, const char* from, int toDir, const char* to) {
    return ::renameat(fromDir, from, toDir, to);
}
int FileSystem::unlinkat(int dir, const char* name) {
    return ::unlinkat(dir, name, 0);
}

FileSystem& FileSystem::real() {
    static FileSystem fs;
    return fs;
}

}  // namespace zukaro
