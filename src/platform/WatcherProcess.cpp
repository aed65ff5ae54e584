#include "WatcherProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "WatchLock.h"

namespace zanfeld {

namespace {

constexpr pid_t kScriptedPid = 424242;

struct Script {
    bool on = false;
    std::vector<WatcherProcess::Call> calls;
    pid_t running = 0;
};

Script& script() {
    static Script s;
    return s;
}

bool IsProgram(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string OwnFolder() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<size_t>(n) >= path.size()) return {};
    path.resize(static_cast<size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

void SleepMs(int ms) {
    const timespec pause{ms / 1000, (ms % 1000) * 1000000L};
    ::nanosleep(&pause, nullptr);
}

}  // namespace

std::string WatcherProcess::findProgram(bool* onPath) {
    if (onPath) *onPath = false;
    const std::string name = "zanfeld-cli";
    if (const std::string own = OwnFolder(); !own.empty()) {
        if (IsProgram(own + name)) return own + name;
        // The build tree: build/src/app/zanfeld beside build/src/cli/zanfeld-cli.
        if (IsProgram(own + "../cli/" + name)) return own + "../cli/" + name;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t begin = 0;
    while (begin <= folders.size()) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(begin, end - begin);
        // An empty entry is the working folder, which is no place to run
        // programs from for a window.
        if (!folder.empty() && folder[0] == '/') {
            if (folder.back() != '/') folder.push_back('/');
            if (IsProgram(folder + name)) {
                if (onPath) *onPath = true;
                return folder + name;
            }
        }
        begin = end + 1;
    }
    return {};
}

int WatcherProcess::start(const std::vector<std::string>& argv) {
    Script& s = script();
    if (s.on) {
        s.calls.push_back(Call{true, argv, {}});
        s.running = kScriptedPid;
        return 0;
    }
    if (argv.empty()) return EINVAL;
    // Everything the children use is made before fork: between fork and exec
    // a threaded program may only make async-signal-safe calls.
    std::vector<char*> args;
    for (const std::string& word : argv) args.push_back(const_cast<char*>(word.c_str()));
    args.push_back(nullptr);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;

    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        // A session of its own, and a second fork so that the watcher is
        // nobody's child: it outlives the window and leaves no zombie.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        // The window's blocked or ignored signals are not the watcher's: it
        // must hear SIGTERM.
        struct sigaction byDefault {};
        byDefault.sa_handler = SIG_DFL;
        for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGPIPE})
            ::sigaction(sig, &byDefault, nullptr);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            if (null > 2) ::close(null);
        }
        ::execv(args[0], args.data());
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes at the exec (nothing read) or carries exec's errno.
    int error = 0;
    ssize_t n;
    while ((n = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof error)) return error;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return ECHILD;
    return 0;
}

bool WatcherProcess::stop(const std::string& settingsPath, int waitMs) {
    Script& s = script();
    if (s.on) {
        s.calls.push_back(Call{false, {}, settingsPath});
        s.running = 0;
        return true;
    }
    const pid_t pid = RunningWatcher(settingsPath);
    if (pid <= 0) return true;
    if (::kill(pid, SIGTERM) != 0 && errno == ESRCH) return true;
    // It stops between files; the lock goes with it.
    for (int waited = 0; waited < waitMs; waited += 50) {
        if (RunningWatcher(settingsPath) == 0) return true;
        SleepMs(50);
    }
    return RunningWatcher(settingsPath) == 0;
}

pid_t WatcherProcess::running(const std::string& settingsPath) {
    const Script& s = script();
    if (s.on) return s.running;
    return RunningWatcher(settingsPath);
}

bool WatcherProcess::waitRunning(const std::string& settingsPath, int waitMs) {
    for (int waited = 0; waited < waitMs; waited += 50) {
        if (running(settingsPath) > 0) return true;
        SleepMs(50);
    }
    return running(settingsPath) > 0;
}

void WatcherProcess::setScripted(bool scripted) {
    Script& s = script();
    s = Script{};
    s.on = scripted;
}

const std::vector<WatcherProcess::Call>& WatcherProcess::calls() { return script().calls; }

void WatcherProcess::setScriptedRunning(pid_t pid) { script().running = pid; }

}  // namespace zanfeld
