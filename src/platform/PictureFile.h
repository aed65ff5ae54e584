#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "UniqueFd.h"

namespace zanfeld {

// A file opened for the picture size probe. It is only ever read, it is a
// regular file (a device, FIFO or socket is never opened), and all reads
// together stop at a budget, whatever the file holds and wherever it is read:
// a picture's size lies in its first bytes or in a directory that an offset
// near the start points to.
class PictureFile {
  public:
    static constexpr int64_t kReadBudget = int64_t{1} << 20;

    explicit PictureFile(int64_t budget = kReadBudget) : m_budget(budget) {}

    // Opens path (links followed) if it names a regular file and still names
    // the same file once open; false otherwise.
    bool open(const std::string& path);

    // The size the file had when it was opened.
    int64_t size() const { return m_size; }

    // Reads up to count bytes at offset: fewer at the end of the file, 0 past
    // it, -1 on a read error or once the budget is spent.
    int64_t readAt(int64_t offset, void* buffer, size_t count);

    // The byte at offset for walking a header, read through a window: small
    // after a jump (a walk that skips bodies reads little of each), growing
    // while the walk goes on from where the window ends. -1 past the end of the
    // file, on a read error or once the budget is spent.
    int byteAt(int64_t offset) {
        const int64_t i = offset - m_windowStart;
        if (i >= 0 && i < static_cast<int64_t>(m_windowLength)) return m_window[i];
        return refill(offset);
    }

    int64_t bytesRead() const { return m_read; }

  private:
    // Reads the window that starts at offset and gives its first byte.
    int refill(int64_t offset);

    static constexpr size_t kSmallWindow = 256;
    static constexpr size_t kLargeWindow = 16384;

    UniqueFd m_fd;
    int64_t m_size = 0;
    int64_t m_budget;
    int64_t m_read = 0;
    unsigned char m_window[kLargeWindow];
    int64_t m_windowStart = 0;
    size_t m_windowLength = 0;
};

}  // namespace zanfeld
