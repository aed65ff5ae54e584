#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

namespace zanfeld {

// The narrow seam through which every file system call of the program goes.
// The real implementation calls the kernel; tests install a wrapper that fails
// a chosen call with a chosen errno. Each method returns what the system call
// returns and leaves its error in errno.
class Sys {
  public:
    virtual ~Sys() = default;

    virtual int open(const char* path, int flags, mode_t mode);
    virtual int close(int fd);
    virtual ssize_t read(int fd, void* buf, size_t count);
    // A read at an offset, leaving the file position alone.
    virtual ssize_t pread(int fd, void* buf, size_t count, off_t offset);
    virtual ssize_t write(int fd, const void* buf, size_t count);
    virtual ssize_t copyFileRange(int inFd, int outFd, size_t count);
    virtual ssize_t sendfile(int outFd, int inFd, size_t count);
    virtual int fstat(int fd, struct stat* st);
    virtual int stat(const char* path, struct stat* st);
    virtual int lstat(const char* path, struct stat* st);
    virtual ssize_t readlink(const char* path, char* buf, size_t size);
    virtual int fdatasync(int fd);
    virtual int futimens(int fd, const struct timespec times[2]);
    virtual int fchmod(int fd, mode_t mode);
    virtual int mkdir(const char* path, mode_t mode);
    // renameat2 on AT_FDCWD; flags 0 or RENAME_NOREPLACE.
    virtual int rename(const char* from, const char* to, unsigned int flags);
    // linkat on AT_FDCWD with the given flags (AT_SYMLINK_FOLLOW for /proc/self/fd links).
    virtual int link(const char* from, const char* to, int flags);
    // linkat of an open unnamed file (O_TMPFILE) by AT_EMPTY_PATH.
    virtual int linkFd(int fd, int toDir, const char* to);
    virtual int unlink(const char* path);

    // The same calls relative to an open folder (or AT_FDCWD), so that a
    // folder held open is the folder written into, whatever its path leads
    // to meanwhile. Each counts as its path form in tests.
    virtual int openAt(int dirFd, const char* path, int flags, mode_t mode);
    // fstatat: counts as lstat with AT_SYMLINK_NOFOLLOW, as stat otherwise.
    virtual int statAt(int dirFd, const char* path, struct stat* st, int flags);
    virtual int mkdirAt(int dirFd, const char* path, mode_t mode);
    // renameat2; flags 0, RENAME_NOREPLACE or RENAME_EXCHANGE.
    virtual int renameAt(int fromDir, const char* from, int toDir, const char* to,
                         unsigned int flags);
    virtual int linkAt(int fromDir, const char* from, int toDir, const char* to, int flags);
    virtual int unlinkAt(int dirFd, const char* path, int flags);
    virtual int symlinkAt(const char* text, int dirFd, const char* path);
    virtual ssize_t readlinkAt(int dirFd, const char* path, char* buf, size_t size);
    // statx: counts as lstat with AT_SYMLINK_NOFOLLOW, as stat otherwise.
    virtual int statxAt(int dirFd, const char* path, int flags, unsigned int mask,
                        struct statx* out);
};

// Writes all of data through the seam, going on after short writes and
// interruptions; returns 0 or the error.
int WriteAll(int fd, const char* data, size_t count);

// The Sys in force: the real one unless a test installed another.
Sys& sys();

// Installs a replacement for its lifetime (tests only; not thread-safe).
class ScopedSys {
  public:
    explicit ScopedSys(Sys& replacement);
    ~ScopedSys();
    ScopedSys(const ScopedSys&) = delete;
    ScopedSys& operator=(const ScopedSys&) = delete;

  private:
    Sys* m_previous;
};

}  // namespace zanfeld
