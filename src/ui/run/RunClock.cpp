#include "RunClock.h"

namespace zanfeld {

void RunClock::start() {
    m_clock.start();
    m_pausedMs = 0;
    m_pausedAt = 0;
    m_pauses = 0;
}

void RunClock::pause() {
    if (m_pauses++ == 0) m_pausedAt = m_clock.isValid() ? m_clock.elapsed() : 0;
}

void RunClock::resume() {
    if (m_pauses == 0) return;
    if (--m_pauses == 0 && m_clock.isValid()) m_pausedMs += m_clock.elapsed() - m_pausedAt;
}

int64_t RunClock::elapsedMs() const {
    if (!m_clock.isValid()) return 0;
    const int64_t now = m_pauses > 0 ? m_pausedAt : m_clock.elapsed();
    return now - m_pausedMs;
}

}  // namespace zanfeld
