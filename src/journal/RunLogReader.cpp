#include "RunLogReader.h"

#include <unistd.h>

#include <cerrno>

#include "RunLogFormat.h"

namespace zanfeld {
namespace {

constexpr size_t kChunk = 1 << 20;

}  // namespace

bool RunLogReader::next(RunLogRecord& record) {
    while (!m_stopped) {
        size_t used = 0;
        const std::string_view rest(m_buffer.data() + m_at, m_buffer.size() - m_at);
        switch (RunLogFormat::parse(rest, record, used)) {
            case RunLogFormat::Parse::Record:
                m_at += used;
                return true;
            case RunLogFormat::Parse::Damaged:
                m_damaged = true;
                m_stopped = true;
                return false;
            case RunLogFormat::Parse::NeedMore:
                if (m_end || !fill()) {
                    m_damaged = m_readError == 0 && m_at < m_buffer.size();
                    m_stopped = true;
                    return false;
                }
                break;
        }
    }
    return false;
}

bool RunLogReader::fill() {
    // Keep only what is not parsed yet.
    m_buffer.erase(0, m_at);
    m_at = 0;
    const size_t had = m_buffer.size();
    m_buffer.resize(had + kChunk);
    ssize_t n;
    do {
        n = ::read(m_fd, m_buffer.data() + had, kChunk);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        m_readError = errno != 0 ? errno : EIO;
        m_buffer.resize(had);
        return false;
    }
    m_buffer.resize(had + static_cast<size_t>(n));
    if (n == 0) m_end = true;
    return n > 0;
}

}  // namespace zanfeld
