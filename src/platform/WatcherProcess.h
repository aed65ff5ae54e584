#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zanfeld {

// Starting and stopping the watcher (zanfeld-cli watch) from the window. The
// watcher runs on its own, detached from the window, and is found again
// through its lock (WatchLock.h). Another system would replace this file.
// Tests switch to scripted mode: nothing is started or signalled, the calls
// are recorded and a started watcher "runs" under a made-up pid until stopped.
class WatcherProcess {
  public:
    struct Call {
        bool start = false;             // a start, else a stop
        std::vector<std::string> argv;  // a start's program and arguments
        std::string settingsPath;       // a stop's settings file
    };

    // zanfeld-cli next to the running program, then in ../cli/ beside its
    // folder (the build tree), then on PATH; "" when none is found.
    // onPath tells whether it was found on PATH.
    static std::string findProgram(bool* onPath = nullptr);

    // Starts argv (program first) detached: in a session of its own, with
    // standard input and output on /dev/null and standard error the
    // window's. 0, or the errno of what failed (the program's exec included).
    static int start(const std::vector<std::string>& argv);
    // SIGTERM to the watcher of the settings file, then waits up to waitMs
    // for it to end. True when none runs any more.
    static bool stop(const std::string& settingsPath, int waitMs);
    // The watcher's pid, 0 when none runs.
    static pid_t running(const std::string& settingsPath);
    // Waits up to waitMs for a watcher of the settings file to run (one just
    // started takes its lock first thing). True when one runs.
    static bool waitRunning(const std::string& settingsPath, int waitMs);

    // Tests.
    static void setScripted(bool scripted);
    static const std::vector<Call>& calls();
    // Scripted: makes a watcher run (pid) or not (0) for every settings file.
    static void setScriptedRunning(pid_t pid);
};

}  // namespace zanfeld
