#pragma once

#include <QElapsedTimer>
#include <cstdint>

namespace zanfeld {

// A run's working time, for its time left: the time since it began, less the
// time it waited for the user's answers. While paused it stands still.
class RunClock {
  public:
    // Starts from zero, running.
    void start();
    // Stands still until resume(); pauses nest, the clock runs again at the
    // last resume.
    void pause();
    void resume();
    int64_t elapsedMs() const;

  private:
    QElapsedTimer m_clock;   // since the run began
    int64_t m_pausedMs = 0;  // the pauses that ended
    int64_t m_pausedAt = 0;  // where the current pause began
    int m_pauses = 0;
};

}  // namespace zanfeld
