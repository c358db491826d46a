#include "FileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace zukaro {

int FileSystem::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
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
int FileSystem::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}
int FileSystem::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int FileSystem::ftruncate(int fd, off_t length) {
    return ::ftruncate(fd, length);
}
int FileSystem::link(const char* from, const char* to) {
    return ::link(from, to);
}
int FileSystem::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int FileSystem::unlink(const char* path) {
    return ::unlink(path);
}

FileSystem& FileSystem::real() {
    static FileSystem fs;
    return fs;
}

}  // namespace zukaro
