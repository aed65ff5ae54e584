#pragma once

#include <cstddef>
#include <string>

#include "RunLogRecord.h"

namespace zanfeld {

// Reads the records of a run log from an open file, in order, up to its end
// or to the first record that is cut short or damaged: what follows such a
// record is never trusted.
class RunLogReader {
  public:
    explicit RunLogReader(int fd) : m_fd(fd) {}

    // The next whole record; false when there is none.
    bool next(RunLogRecord& record);
    // After next() returned false: whether the file could not be read (an
    // I/O error), as against its end or a damaged tail.
    int readError() const { return m_readError; }
    // Whether bytes were left over that did not make a whole, sound record.
    bool damagedTail() const { return m_damaged; }

  private:
    bool fill();

    int m_fd;
    std::string m_buffer;
    size_t m_at = 0;
    bool m_end = false;
    bool m_stopped = false;
    bool m_damaged = false;
    int m_readError = 0;
};

}  // namespace zanfeld
