#include "Sys.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>

namespace zanfeld {

int Sys::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

int Sys::close(int fd) { return ::close(fd); }

ssize_t Sys::read(int fd, void* buf, size_t count) { return ::read(fd, buf, count); }

ssize_t Sys::pread(int fd, void* buf, size_t count, off_t offset) {
    return ::pread(fd, buf, count, offset);
}

ssize_t Sys::write(int fd, const void* buf, size_t count) { return ::write(fd, buf, count); }

ssize_t Sys::copyFileRange(int inFd, int outFd, size_t count) {
    return ::copy_file_range(inFd, nullptr, outFd, nullptr, count, 0);
}

ssize_t Sys::sendfile(int outFd, int inFd, size_t count) {
    return ::sendfile(outFd, inFd, nullptr, count);
}

int Sys::fstat(int fd, struct stat* st) { return ::fstat(fd, st); }

int Sys::stat(const char* path, struct stat* st) { return ::stat(path, st); }

int Sys::lstat(const char* path, struct stat* st) { return ::lstat(path, st); }

ssize_t Sys::readlink(const char* path, char* buf, size_t size) {
    return ::readlink(path, buf, size);
}

int Sys::fdatasync(int fd) { return ::fdatasync(fd); }

int Sys::futimens(int fd, const struct timespec times[2]) { return ::futimens(fd, times); }

int Sys::fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }

int Sys::mkdir(const char* path, mode_t mode) { return ::mkdir(path, mode); }

int Sys::rename(const char* from, const char* to, unsigned int flags) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}

int Sys::link(const char* from, const char* to, int flags) {
    return ::linkat(AT_FDCWD, from, AT_FDCWD, to, flags);
}

int Sys::linkFd(int fd, int toDir, const char* to) {
    return ::linkat(fd, "", toDir, to, AT_EMPTY_PATH);
}

int Sys::unlink(const char* path) { return ::unlink(path); }

int Sys::openAt(int dirFd, const char* path, int flags, mode_t mode) {
    return ::openat(dirFd, path, flags, mode);
}

int Sys::statAt(int dirFd, const char* path, struct stat* st, int flags) {
    return ::fstatat(dirFd, path, st, flags);
}

int Sys::mkdirAt(int dirFd, const char* path, mode_t mode) { return ::mkdirat(dirFd, path, mode); }

int Sys::renameAt(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    return ::renameat2(fromDir, from, toDir, to, flags);
}

int Sys::linkAt(int fromDir, const char* from, int toDir, const char* to, int flags) {
    return ::linkat(fromDir, from, toDir, to, flags);
}

int Sys::unlinkAt(int dirFd, const char* path, int flags) { return ::unlinkat(dirFd, path, flags); }

int Sys::symlinkAt(const char* text, int dirFd, const char* path) {
    return ::symlinkat(text, dirFd, path);
}

int Sys::statxAt(int dirFd, const char* path, int flags, unsigned int mask, struct statx* out) {
    return ::statx(dirFd, path, flags, mask, out);
}

ssize_t Sys::readlinkAt(int dirFd, const char* path, char* buf, size_t size) {
    return ::readlinkat(dirFd, path, buf, size);
}

namespace {

// Constant-initialised, so sys() works even from other static initialisers.
constinit Sys g_realSys;
constinit Sys* g_currentSys = &g_realSys;

}  // namespace

Sys& sys() { return *g_currentSys; }

ScopedSys::ScopedSys(Sys& replacement) : m_previous(g_currentSys) { g_currentSys = &replacement; }

ScopedSys::~ScopedSys() { g_currentSys = m_previous; }

int WriteAll(int fd, const char* data, size_t count) {
    while (count > 0) {
        const ssize_t n = sys().write(fd, data, count);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;  // no progress and no reason given
        data += n;
        count -= static_cast<size_t>(n);
    }
    return 0;
}

}  // namespace zanfeld
