#include "WatchLock.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zanfeld {

namespace {

// FNV-1a: a short stable name for a long path.
uint64_t PathHash(const std::string& path) {
    uint64_t hash = 1469598103934665603ull;
    for (const unsigned char c : path) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The settings file's one spelling, so that "./Zanfeld.ini" and its full
// path share a lock; a missing file keeps the path as given.
std::string Spelled(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

std::string Folder() {
    const char* runtime = ::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return runtime;
    const char* temp = ::getenv("TMPDIR");
    return temp && temp[0] == '/' ? temp : "/tmp";
}

// Opens the lock file without following a link, and only when it is this
// user's own regular file: in a shared temporary folder another user could
// have put something there first.
int OpenLock(const std::string& path, int flags, int& error) {
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        error = EPERM;
        ::close(fd);
        return -1;
    }
    return fd;
}

pid_t ReadPid(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

std::string WatchLockPath(const std::string& settingsPath) {
    const std::string spelled = Spelled(settingsPath);
    const size_t slash = spelled.rfind('/');
    std::string name = slash == std::string::npos ? spelled : spelled.substr(slash + 1);
    // The name stays readable (it is what a person finds in the folder) and short.
    if (name.size() > 40) name.resize(40);
    for (char& c : name)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PathHash(spelled)));
    return Folder() + "/zanfeld-watch-" + std::to_string(::geteuid()) + "-" + name + "-" + hash +
           ".lock";
}

int TakeWatchLock(const std::string& settingsPath, UniqueFd& held) {
    int error = 0;
    UniqueFd fd(OpenLock(WatchLockPath(settingsPath), O_RDWR | O_CREAT, error));
    if (!fd.valid()) return error;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return errno == EINTR ? EWOULDBLOCK : errno;
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd.get(), 0) != 0 ||
        ::pwrite(fd.get(), pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size()))
        return errno != 0 ? errno : EIO;
    held = std::move(fd);
    return 0;
}

pid_t RunningWatcher(const std::string& settingsPath) {
    int error = 0;
    UniqueFd fd(OpenLock(WatchLockPath(settingsPath), O_RDONLY, error));
    if (!fd.valid()) return 0;
    if (::flock(fd.get(), LOCK_SH | LOCK_NB) == 0) return 0;  // nobody holds it
    // The holder writes its pid right after taking the lock: give it a moment.
    for (int i = 0; i < 50; ++i) {
        if (const pid_t pid = ReadPid(fd.get())) return pid;
        const struct timespec pause { 0, 2000000 };
        ::nanosleep(&pause, nullptr);
    }
    return 0;
}

}  // namespace zanfeld
