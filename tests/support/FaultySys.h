#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "Sys.h"

namespace zanfeld::test {

// The operations of Sys, one per method.
enum class SysOp {
    Open,
    Close,
    Read,
    Write,
    CopyFileRange,
    Sendfile,
    Fstat,
    Stat,
    Lstat,
    Readlink,
    Fdatasync,
    Futimens,
    Fchmod,
    Mkdir,
    Rename,
    Link,
    Unlink,
    Symlink,
    Count
};

// A Sys that passes every call to the real one, counts calls per operation
// and fails chosen calls. Install it with ScopedSys.
class FaultySys : public Sys {
  public:
    // Fails the nth call of op (1-based, counted from construction or reset())
    // with error; nth 0 fails every call.
    void failOn(SysOp op, int error, int nth = 1);
    // Lets the nth call of a data operation (Write, CopyFileRange, Sendfile,
    // Read) move only half of the bytes asked for, as a disk filling up does,
    // and fails the next call of that operation with error.
    void failAfterPartial(SysOp op, int error, int nth = 1);
    // Runs action just before the nth call of op reaches the system (nth 0:
    // before every call), e.g. to create a file in a race.
    void beforeCall(SysOp op, std::function<void()> action, int nth = 1);

    // Refuses every unnamed file (O_TMPFILE) as file systems without them do,
    // so that copies take a hidden name instead.
    void refuseUnnamedFiles() { m_noUnnamedFiles = true; }
    // Every rename from one folder to another (not one inside a folder)
    // says "cross-device", as a move to another file system does.
    void moveAcrossDevices() { m_crossDevice = true; }
    // Refuses every rename with a flag (RENAME_NOREPLACE, RENAME_EXCHANGE)
    // with EINVAL, as FUSE and older file systems without them do.
    void refuseRenameFlags() { m_noRenameFlags = true; }
    // How often the refusals above were given (not counting failOn rules).
    int refused() const { return m_refused; }

    int calls(SysOp op) const { return m_calls[Index(op)]; }
    // Every path handed to open, in order (relative ones as given).
    const std::vector<std::string>& opened() const { return m_opened; }
    // Forgets all rules and counts.
    void reset();

    int open(const char* path, int flags, mode_t mode) override;
    int close(int fd) override;
    ssize_t read(int fd, void* buf, size_t count) override;
    // Counted and failed as Read: the same step, made at an offset.
    ssize_t pread(int fd, void* buf, size_t count, off_t offset) override;
    ssize_t write(int fd, const void* buf, size_t count) override;
    ssize_t copyFileRange(int inFd, int outFd, size_t count) override;
    ssize_t sendfile(int outFd, int inFd, size_t count) override;
    int fstat(int fd, struct stat* st) override;
    int stat(const char* path, struct stat* st) override;
    int lstat(const char* path, struct stat* st) override;
    ssize_t readlink(const char* path, char* buf, size_t size) override;
    int fdatasync(int fd) override;
    int futimens(int fd, const struct timespec times[2]) override;
    int fchmod(int fd, mode_t mode) override;
    int mkdir(const char* path, mode_t mode) override;
    int rename(const char* from, const char* to, unsigned int flags) override;
    int link(const char* from, const char* to, int flags) override;
    // Counted and failed as Link: the same step, made by descriptor.
    int linkFd(int fd, int toDir, const char* to) override;
    int unlink(const char* path) override;
    // The folder-relative forms count and fail as their path forms.
    int openAt(int dirFd, const char* path, int flags, mode_t mode) override;
    int statAt(int dirFd, const char* path, struct stat* st, int flags) override;
    int mkdirAt(int dirFd, const char* path, mode_t mode) override;
    int renameAt(int fromDir, const char* from, int toDir, const char* to,
                 unsigned int flags) override;
    int linkAt(int fromDir, const char* from, int toDir, const char* to, int flags) override;
    int unlinkAt(int dirFd, const char* path, int flags) override;
    int symlinkAt(const char* text, int dirFd, const char* path) override;
    ssize_t readlinkAt(int dirFd, const char* path, char* buf, size_t size) override;
    int statxAt(int dirFd, const char* path, int flags, unsigned int mask,
                struct statx* out) override;

  private:
    struct Rule {
        SysOp op;
        int nth;
        int error;
        bool partial;
        std::function<void()> action;
    };

    static constexpr size_t Index(SysOp op) { return static_cast<size_t>(op); }

    // Counts the call and applies the rules; returns the errno to fail with,
    // or 0 to go ahead. count, for data operations, may be cut down.
    int enter(SysOp op, size_t* count = nullptr);

    std::vector<Rule> m_rules;
    std::vector<std::string> m_opened;
    bool m_noUnnamedFiles = false;
    bool m_crossDevice = false;
    bool m_noRenameFlags = false;
    int m_refused = 0;
    std::array<int, static_cast<size_t>(SysOp::Count)> m_calls{};
    std::array<int, static_cast<size_t>(SysOp::Count)> m_pending{};
};

}  // namespace zanfeld::test
