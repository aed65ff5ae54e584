#include "FaultySys.h"

#include <fcntl.h>

#include <cerrno>

namespace zanfeld::test {

void FaultySys::failOn(SysOp op, int error, int nth) {
    m_rules.push_back(Rule{op, nth, error, false, {}});
}

void FaultySys::failAfterPartial(SysOp op, int error, int nth) {
    m_rules.push_back(Rule{op, nth, error, true, {}});
}

void FaultySys::beforeCall(SysOp op, std::function<void()> action, int nth) {
    m_rules.push_back(Rule{op, nth, 0, false, std::move(action)});
}

void FaultySys::reset() {
    m_rules.clear();
    m_noUnnamedFiles = false;
    m_opened.clear();
    m_crossDevice = false;
    m_noRenameFlags = false;
    m_refused = 0;
    m_calls.fill(0);
    m_pending.fill(0);
}

int FaultySys::enter(SysOp op, size_t* count) {
    const size_t i = Index(op);
    const int n = ++m_calls[i];
    if (const int pending = m_pending[i]) {
        m_pending[i] = 0;
        return pending;
    }
    for (const Rule& rule : m_rules) {
        if (rule.op != op || (rule.nth != 0 && rule.nth != n)) continue;
        if (rule.action) rule.action();
        if (rule.partial && count && *count > 1) {
            *count /= 2;
            m_pending[i] = rule.error;
        } else if (rule.error != 0) {
            return rule.error;
        }
    }
    return 0;
}

// Fails the call when a rule says so.
#define ZANFELD_FAULT(op, count)          \
    if (const int e = enter(op, count)) { \
        errno = e;                        \
        return -1;                        \
    }

int FaultySys::open(const char* path, int flags, mode_t mode) {
    m_opened.emplace_back(path);
    ZANFELD_FAULT(SysOp::Open, nullptr);
    if (m_noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        ++m_refused;
        errno = EOPNOTSUPP;
        return -1;
    }
    return Sys::open(path, flags, mode);
}

int FaultySys::close(int fd) {
    // A close that fails still releases the descriptor, as on Linux.
    if (const int e = enter(SysOp::Close)) {
        Sys::close(fd);
        errno = e;
        return -1;
    }
    return Sys::close(fd);
}

ssize_t FaultySys::read(int fd, void* buf, size_t count) {
    ZANFELD_FAULT(SysOp::Read, &count);
    return Sys::read(fd, buf, count);
}

ssize_t FaultySys::pread(int fd, void* buf, size_t count, off_t offset) {
    ZANFELD_FAULT(SysOp::Read, &count);
    return Sys::pread(fd, buf, count, offset);
}

ssize_t FaultySys::write(int fd, const void* buf, size_t count) {
    ZANFELD_FAULT(SysOp::Write, &count);
    return Sys::write(fd, buf, count);
}

ssize_t FaultySys::copyFileRange(int inFd, int outFd, size_t count) {
    ZANFELD_FAULT(SysOp::CopyFileRange, &count);
    return Sys::copyFileRange(inFd, outFd, count);
}

ssize_t FaultySys::sendfile(int outFd, int inFd, size_t count) {
    ZANFELD_FAULT(SysOp::Sendfile, &count);
    return Sys::sendfile(outFd, inFd, count);
}

int FaultySys::fstat(int fd, struct stat* st) {
    ZANFELD_FAULT(SysOp::Fstat, nullptr);
    return Sys::fstat(fd, st);
}

int FaultySys::stat(const char* path, struct stat* st) {
    ZANFELD_FAULT(SysOp::Stat, nullptr);
    return Sys::stat(path, st);
}

int FaultySys::lstat(const char* path, struct stat* st) {
    ZANFELD_FAULT(SysOp::Lstat, nullptr);
    return Sys::lstat(path, st);
}

ssize_t FaultySys::readlink(const char* path, char* buf, size_t size) {
    ZANFELD_FAULT(SysOp::Readlink, nullptr);
    return Sys::readlink(path, buf, size);
}

int FaultySys::fdatasync(int fd) {
    ZANFELD_FAULT(SysOp::Fdatasync, nullptr);
    return Sys::fdatasync(fd);
}

int FaultySys::futimens(int fd, const struct timespec times[2]) {
    ZANFELD_FAULT(SysOp::Futimens, nullptr);
    return Sys::futimens(fd, times);
}

int FaultySys::fchmod(int fd, mode_t mode) {
    ZANFELD_FAULT(SysOp::Fchmod, nullptr);
    return Sys::fchmod(fd, mode);
}

int FaultySys::mkdir(const char* path, mode_t mode) {
    ZANFELD_FAULT(SysOp::Mkdir, nullptr);
    return Sys::mkdir(path, mode);
}

int FaultySys::rename(const char* from, const char* to, unsigned int flags) {
    ZANFELD_FAULT(SysOp::Rename, nullptr);
    if (m_noRenameFlags && flags != 0) {
        ++m_refused;
        errno = EINVAL;
        return -1;
    }
    return Sys::rename(from, to, flags);
}

int FaultySys::link(const char* from, const char* to, int flags) {
    ZANFELD_FAULT(SysOp::Link, nullptr);
    return Sys::link(from, to, flags);
}

int FaultySys::linkFd(int fd, int toDir, const char* to) {
    ZANFELD_FAULT(SysOp::Link, nullptr);
    return Sys::linkFd(fd, toDir, to);
}

int FaultySys::unlink(const char* path) {
    ZANFELD_FAULT(SysOp::Unlink, nullptr);
    return Sys::unlink(path);
}

int FaultySys::openAt(int dirFd, const char* path, int flags, mode_t mode) {
    m_opened.emplace_back(path);
    ZANFELD_FAULT(SysOp::Open, nullptr);
    if (m_noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        ++m_refused;
        errno = EOPNOTSUPP;
        return -1;
    }
    return Sys::openAt(dirFd, path, flags, mode);
}

int FaultySys::statAt(int dirFd, const char* path, struct stat* st, int flags) {
    ZANFELD_FAULT((flags & AT_SYMLINK_NOFOLLOW) ? SysOp::Lstat : SysOp::Stat, nullptr);
    return Sys::statAt(dirFd, path, st, flags);
}

int FaultySys::mkdirAt(int dirFd, const char* path, mode_t mode) {
    ZANFELD_FAULT(SysOp::Mkdir, nullptr);
    return Sys::mkdirAt(dirFd, path, mode);
}

int FaultySys::renameAt(int fromDir, const char* from, int toDir, const char* to,
                        unsigned int flags) {
    ZANFELD_FAULT(SysOp::Rename, nullptr);
    if (m_crossDevice && fromDir != toDir) {
        errno = EXDEV;
        return -1;
    }
    if (m_noRenameFlags && flags != 0) {
        ++m_refused;
        errno = EINVAL;
        return -1;
    }
    return Sys::renameAt(fromDir, from, toDir, to, flags);
}

int FaultySys::linkAt(int fromDir, const char* from, int toDir, const char* to, int flags) {
    ZANFELD_FAULT(SysOp::Link, nullptr);
    return Sys::linkAt(fromDir, from, toDir, to, flags);
}

int FaultySys::unlinkAt(int dirFd, const char* path, int flags) {
    ZANFELD_FAULT(SysOp::Unlink, nullptr);
    return Sys::unlinkAt(dirFd, path, flags);
}

int FaultySys::symlinkAt(const char* text, int dirFd, const char* path) {
    ZANFELD_FAULT(SysOp::Symlink, nullptr);
    return Sys::symlinkAt(text, dirFd, path);
}

int FaultySys::statxAt(int dirFd, const char* path, int flags, unsigned int mask,
                       struct statx* out) {
    ZANFELD_FAULT((flags & AT_SYMLINK_NOFOLLOW) ? SysOp::Lstat : SysOp::Stat, nullptr);
    return Sys::statxAt(dirFd, path, flags, mask, out);
}

ssize_t FaultySys::readlinkAt(int dirFd, const char* path, char* buf, size_t size) {
    ZANFELD_FAULT(SysOp::Readlink, nullptr);
    return Sys::readlinkAt(dirFd, path, buf, size);
}

#undef ZANFELD_FAULT

}  // namespace zanfeld::test
