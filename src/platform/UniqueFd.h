#pragma once

#include <cerrno>

#include "Sys.h"

namespace zanfeld {

// Owns a file descriptor and closes it through the seam when it goes out of
// scope, leaving errno as it was so that the caller's error survives.
class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

    void reset(int fd = -1) {
        if (m_fd >= 0) {
            const int saved = errno;
            sys().close(m_fd);
            errno = saved;
        }
        m_fd = fd;
    }

    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

    // Closes now and returns the error the close reported, or 0: a file
    // system may report a failed write-back only here (NFS, quotas).
    int closeNow() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && sys().close(fd) != 0 ? errno : 0;
    }

  private:
    int m_fd;
};

}  // namespace zanfeld
