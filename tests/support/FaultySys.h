#pragma once

#include <array>
#include <functional>
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
    Fdatasync,
    Futimens,
    Fchmod,
    Mkdir,
    Rename,
    Link,
    Unlink,
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

    int calls(SysOp op) const { return m_calls[Index(op)]; }
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
    int fdatasync(int fd) override;
    int futimens(int fd, const struct timespec times[2]) override;
    int fchmod(int fd, mode_t mode) override;
    int mkdir(const char* path, mode_t mode) override;
    int rename(const char* from, const char* to, unsigned int flags) override;
    int link(const char* from, const char* to, int flags) override;
    // Counted and failed as Link: the same step, made by descriptor.
    int linkFd(int fd, const char* to) override;
    int unlink(const char* path) override;

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
    std::array<int, static_cast<size_t>(SysOp::Count)> m_calls{};
    std::array<int, static_cast<size_t>(SysOp::Count)> m_pending{};
};

}  // namespace zanfeld::test
