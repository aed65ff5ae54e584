#include "PictureFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "Sys.h"

namespace zanfeld {

bool PictureFile::open(const std::string& path) {
    // Look before opening: opening a device can act on it (a tape rewinds, a
    // terminal becomes ours) and opening a FIFO can wait for a writer.
    struct stat named;
    if (sys().stat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode)) return false;
    // Should the name be swapped between the look and the open, O_NONBLOCK
    // and O_NOCTTY keep that open from waiting or taking a terminal, and the
    // check below turns the file down.
    m_fd.reset(sys().open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0));
    if (!m_fd.valid()) return false;
    struct stat opened;
    if (sys().fstat(m_fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) {
        m_fd.reset();
        return false;
    }
    m_size = opened.st_size;
    m_read = 0;
    m_windowLength = 0;
    return true;
}

int64_t PictureFile::readAt(int64_t offset, void* buffer, size_t count) {
    if (!m_fd.valid() || offset < 0) return -1;
    const int64_t left = m_budget - m_read;
    if (left <= 0) return count == 0 ? 0 : -1;
    count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), left));
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = sys().pread(m_fd.get(), out + done, count - done,
                                      static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (n < 0) {
            if (errno == EINTR) continue;
            m_read += static_cast<int64_t>(done);
            return -1;
        }
        if (n == 0) break;  // the end of the file
        done += static_cast<size_t>(n);
    }
    m_read += static_cast<int64_t>(done);
    return static_cast<int64_t>(done);
}

int PictureFile::refill(int64_t offset) {
    const int64_t windowEnd = m_windowStart + static_cast<int64_t>(m_windowLength);
    const size_t want = offset == windowEnd && m_windowLength > 0
                            ? std::min(2 * m_windowLength, kLargeWindow)
                            : kSmallWindow;
    m_windowLength = 0;
    const int64_t n = readAt(offset, m_window, want);
    if (n <= 0) return -1;
    m_windowStart = offset;
    m_windowLength = static_cast<size_t>(n);
    return m_window[0];
}

}  // namespace zanfeld
