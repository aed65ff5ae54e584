#include "FolderEvents.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace zanfeld {

namespace {

// Written-and-closed and moved-in files, made entries (folders, and files
// made by a link), names moved away (a folder leaving the tree), and the end
// of the folder itself. IN_MODIFY is left out: a long download would wake
// the watcher for every block it writes.
constexpr uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MOVED_FROM |
                           IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW |
                           IN_EXCL_UNLINK;

}  // namespace

FolderEvents::FolderEvents() {
    m_fd.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!m_fd.valid()) {
        m_error = errno;
        return;
    }
    m_wake.reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!m_wake.valid()) m_error = errno;
}

int FolderEvents::add(const std::string& folder, int& watch) {
    if (m_error != 0) return m_error;
    watch = ::inotify_add_watch(m_fd.get(), folder.c_str(), kMask);
    return watch < 0 ? errno : 0;
}

void FolderEvents::remove(int watch) {
    if (m_fd.valid() && watch >= 0) ::inotify_rm_watch(m_fd.get(), watch);
}

int FolderEvents::wait(int timeoutMs, const std::function<bool()>& stop) {
    sigset_t stops, before;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, &before);
    if (stop()) {
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        return -1;
    }
    pollfd fds[2] = {{m_fd.get(), POLLIN, 0}, {m_wake.get(), POLLIN, 0}};
    struct timespec span {};
    if (timeoutMs >= 0) {
        span.tv_sec = timeoutMs / 1000;
        span.tv_nsec = static_cast<long>(timeoutMs % 1000) * 1000000;
    }
    // The signals come in only inside ppoll, which then returns EINTR.
    const int n = ::ppoll(fds, m_error == 0 ? 2 : 0, timeoutMs >= 0 ? &span : nullptr, &before);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (n < 0) return errno == EINTR && stop() ? -1 : 1;
    return n > 0 || m_injected.load() ? 1 : 0;
}

void FolderEvents::read(std::vector<Event>& events) {
    if (m_error != 0) return;
    uint64_t woken = 0;
    while (::read(m_wake.get(), &woken, sizeof woken) > 0) {
    }
    if (m_injected.exchange(false)) events.push_back(Event{-1, Type::Overflow, false, {}});
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_fd.get(), buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            return;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            Event event;
            event.watch = e->wd;
            event.folder = (e->mask & IN_ISDIR) != 0;
            if (e->len > 0) event.name = std::string(e->name, ::strnlen(e->name, e->len));
            if (e->mask & IN_Q_OVERFLOW) {
                event.type = Type::Overflow;
            } else if (e->mask & IN_IGNORED) {
                event.type = Type::Ended;
            } else if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
                event.type = Type::SelfGone;
            } else if (e->mask & IN_MOVED_FROM) {
                event.type = Type::Left;
            } else if (e->mask & (IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE)) {
                event.type = Type::Arrived;
            } else {
                continue;
            }
            events.push_back(std::move(event));
        }
    }
}

void FolderEvents::wake() {
    const uint64_t one = 1;
    if (m_wake.valid() && ::write(m_wake.get(), &one, sizeof one) < 0) {
        // Full (it never is) or closed: a wake already waits.
    }
}

void FolderEvents::injectOverflow() {
    m_injected = true;
    wake();
}

}  // namespace zanfeld
