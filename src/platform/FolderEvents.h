#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "UniqueFd.h"

namespace zanfeld {

// What happens in watched folders, as the system tells it (inotify here; a
// build for another system replaces this class). Only what a watcher of
// arriving files needs: names that arrived (written and closed, moved in,
// made), names moved away, and the end of a folder's watch.
class FolderEvents {
  public:
    enum class Type {
        Arrived,   // name was closed after writing, moved in or made
        Left,      // name was moved away
        SelfGone,  // the watched folder itself was removed or moved away
        Ended,     // the watch is over (removed, or its folder gone): the number is free
        Overflow,  // the system's queue overflowed: events were lost
    };
    struct Event {
        int watch = -1;
        Type type = Type::Arrived;
        bool folder = false;  // name is a folder
        std::string name;
    };

    FolderEvents();
    // 0, or why the system gives no events (then nothing is ever watched).
    int error() const { return m_error; }

    // Watches the folder itself (not below it; a link to a folder is not
    // followed). 0 and the watch's number, or an errno: ENOSPC when the
    // system's limit of watches (fs.inotify.max_user_watches) is reached.
    int add(const std::string& folder, int& watch);
    void remove(int watch);

    // Waits until events come, the time is up (timeoutMs; -1 waits without
    // end) or a signal arrives. SIGINT and SIGTERM are let in only while it
    // waits, once stop() said no: a stop asked for just before the wait is
    // never slept through. 1 events (or a wake), 0 the time is up, -1 stopped.
    int wait(int timeoutMs, const std::function<bool()>& stop);
    // Takes every event waiting, without blocking.
    void read(std::vector<Event>& events);

    // Ends a wait from another thread.
    void wake();
    // For tests: the next read() tells of an overflow, as if the system's
    // queue had overflowed.
    void injectOverflow();

  private:
    UniqueFd m_fd;
    UniqueFd m_wake;  // an eventfd
    int m_error = 0;
    std::atomic<bool> m_injected{false};
};

}  // namespace zanfeld
