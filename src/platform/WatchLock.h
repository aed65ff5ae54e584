#pragma once

#include <string>
#include <sys/types.h>

#include "UniqueFd.h"

namespace zanfeld {

// One watcher per user and settings file: a lock file in $XDG_RUNTIME_DIR
// (the system's temporary folder when unset) named after the settings
// file, held with flock() for the watcher's life and holding its pid.

// The lock file's path for the watcher of that settings file.
std::string WatchLockPath(const std::string& settingsPath);
// Takes the lock and writes this process's pid into it; 0, or EWOULDBLOCK
// when another watcher holds it (another errno when it cannot be made).
int TakeWatchLock(const std::string& settingsPath, UniqueFd& held);
// The pid of the watcher that holds the lock now, or 0 when none runs.
pid_t RunningWatcher(const std::string& settingsPath);

}  // namespace zanfeld
