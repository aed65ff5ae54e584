#include "HiddenTemp.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "FileOps.h"
#include "Sys.h"
#include "Trash.h"
#include "UniqueFd.h"

namespace zanfeld {

namespace {

// Asked each time: a child made by fork() must name its files by its own
// id, or they would pass for its parent's and never be cleared.
int ProcessId() { return static_cast<int>(::getpid()); }

uint64_t NextRandom() {
    // splitmix64 over a counter seeded from the clock: only has to make
    // collisions unlikely, O_EXCL and EEXIST retries make them harmless.
    static std::atomic<uint64_t> state{
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(ProcessId()) << 32)};
    uint64_t z =
        state.fetch_add(0x9e3779b97f4a7c15ULL, std::memory_order_relaxed) + 0x9e3779b97f4a7c15ULL;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

enum class HiddenKind { None, Temp, Aside };

// The pid in a name of one of the two hidden forms, and which form it has;
// pid 0 for any other name.
int PidOfHiddenName(const std::string& name, HiddenKind& kind) {
    static constexpr std::string_view kPrefix = ".zanfeld-";
    kind = HiddenKind::None;
    if (name.rfind(kPrefix, 0) != 0) return 0;
    size_t at = kPrefix.size();
    long pid = 0;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && pid < 0x7fffffff)
        pid = pid * 10 + (name[at++] - '0');
    if (pid <= 0 || name.compare(at, 1, "-") != 0) return 0;
    ++at;
    for (int i = 0; i < 16; ++i, ++at)
        if (at >= name.size() || !std::isxdigit(static_cast<unsigned char>(name[at]))) return 0;
    if (name.compare(at, std::string::npos, ".tmp") == 0)
        kind = HiddenKind::Temp;
    else if (name.compare(at, std::string::npos, ".old") == 0)
        kind = HiddenKind::Aside;
    else
        return 0;
    return static_cast<int>(pid);
}

std::string HiddenLeaf(const char* suffix) {
    char name[64];
    std::snprintf(name, sizeof name, ".zanfeld-%d-%016llx%s", ProcessId(),
                  static_cast<unsigned long long>(NextRandom()), suffix);
    return name;
}

std::mutex g_sweptMutex;
std::unordered_set<std::string> g_swept;
// A long session stays bounded in memory; a folder forgotten is merely read
// again the next time.
constexpr size_t kMostRemembered = 100000;

// Returns false when the folder was remembered already. Call with the mutex held.
bool Remember(const std::string& folder) {
    if (g_swept.size() >= kMostRemembered) g_swept.clear();
    return g_swept.insert(folder).second;
}

}  // namespace

std::string HiddenTempLeaf() { return HiddenLeaf(".tmp"); }

std::string HiddenAsideLeaf() { return HiddenLeaf(".old"); }

bool IsOwnHiddenTemp(const std::string& name) {
    HiddenKind kind;
    return PidOfHiddenName(name, kind) == ProcessId() && kind == HiddenKind::Temp;
}

std::string HiddenTempName(const std::string& folder) { return folder + "/" + HiddenTempLeaf(); }

void NoteFolderMade(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_sweptMutex);
    Remember(folder);
}

// A process killed while a file had a hidden name (SIGKILL, a power cut)
// leaves that file behind.
void RemoveStaleTemporaries(const std::string& folder, int dirFd) {
    {
        std::lock_guard<std::mutex> lock(g_sweptMutex);
        if (!Remember(folder)) return;
    }
    std::vector<std::pair<std::string, HiddenKind>> stale;
    auto look = [&](const DirEntry& entry) {
        if (entry.isDirectory || !entry.isHidden) return;
        HiddenKind kind;
        const int pid = PidOfHiddenName(entry.name, kind);
        if (pid == 0 || pid == ProcessId()) return;
        if (::kill(pid, 0) != 0 && errno == ESRCH) stale.emplace_back(entry.name, kind);
    };
    if (dirFd >= 0) {
        ForEachDirEntryAt(dirFd, look);
    } else {
        ForEachDirEntry(folder, look);
    }
    if (stale.empty()) return;
    UniqueFd opened;
    if (dirFd < 0) {
        opened.reset(sys().open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
        if (opened.get() < 0) return;
        dirFd = opened.get();
    }
    for (const auto& [name, kind] : stale) {
        if (kind == HiddenKind::Temp) {
            sys().unlinkAt(dirFd, name.c_str(), 0);
            continue;
        }
        TrashPlace place;
        MoveToTrashAt(dirFd, name, (folder == "/" ? folder : folder + "/") + name, place);
    }
}

}  // namespace zanfeld
