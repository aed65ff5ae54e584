#include "FolderWatch.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "FileOps.h"
#include "MessageTexts.h"

namespace zanfeld {

namespace {

bool EndsWithNoCase(std::string_view name, std::string_view tail) {
    if (name.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = name[name.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

std::string Child(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() != '/' ? folder + "/" + name : folder + name;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return "/";
    return path.substr(0, slash);
}

bool IsFolder(const std::string& path, struct stat& st) {
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Within(const std::string& path, const std::string& folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

}  // namespace

bool FolderWatch::Ignored(std::string_view name) {
    if (name.empty() || name.front() == '.' || name.rfind("~$", 0) == 0) return true;
    for (const char* tail : {".part", ".crdownload", ".download", ".partial", ".tmp"})
        if (EndsWithNoCase(name, tail)) return true;
    return false;
}

std::string FolderWatch::OutputHolding(const std::string& folder,
                                       const std::vector<std::string>& outputs) {
    std::vector<std::pair<FileId, const std::string*>> ids;
    for (const std::string& output : outputs) {
        struct stat st {};
        if (::stat(output.c_str(), &st) == 0) ids.emplace_back(FileId::Of(st), &output);
    }
    // Up from folder to the root, by identity: a link or a second spelling
    // of an output folder is found all the same.
    std::string path = folder;
    for (;;) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) {
            for (const auto& [id, output] : ids)
                if (FileId::Of(st) == id) return *output;
        }
        if (path == "/" || path.empty()) return {};
        path = ParentOf(path);
    }
}

FolderWatch::FolderWatch(Setup setup, FolderEvents& events, Client& client)
    : m_setup(std::move(setup)), m_events(events), m_client(client) {}

void FolderWatch::refreshOutputs() {
    // Looked at again each time: an output folder the first run makes only
    // then gets its identity.
    m_outputIds.clear();
    for (const std::string& output : m_setup.outputs) {
        struct stat st {};
        if (::stat(output.c_str(), &st) == 0) m_outputIds.push_back(FileId::Of(st));
    }
}

bool FolderWatch::isOutput(const FileId& id) {
    return std::find(m_outputIds.begin(), m_outputIds.end(), id) != m_outputIds.end();
}

bool FolderWatch::takes(const Watched& folder, int level) const {
    const int depth = m_setup.roots[folder.root].depth;
    return depth < 0 || level <= depth;
}

void FolderWatch::run() {
    m_now = Clock::now();
    m_rootUp.assign(m_setup.roots.size(), false);
    for (size_t i = 0; i < m_setup.roots.size(); ++i)
        establish(static_cast<int>(i), m_setup.initialScan);
    std::vector<FolderEvents::Event> events;
    for (;;) {
        // Nothing pending: the wait has no end, and idle costs nothing.
        const int woke = m_events.wait(timeoutMs(), [this] { return m_client.stopRequested(); });
        if (woke < 0) return;
        events.clear();
        m_events.read(events);
        m_now = Clock::now();
        bool overflow = false;
        for (const FolderEvents::Event& event : events) {
            if (event.type == FolderEvents::Type::Overflow) {
                overflow = true;
            } else if (!overflow) {
                handle(event);
            }
        }
        if (overflow) rescan();
        const std::vector<std::vector<std::string>> batches = ready();
        for (size_t group = 0; group < batches.size(); ++group) {
            if (batches[group].empty()) continue;
            if (m_client.stopRequested()) return;
            m_client.sort(static_cast<int>(group), batches[group]);
        }
        if (m_client.stopRequested()) return;
    }
}

void FolderWatch::establish(int root, bool scan) {
    struct stat st {};
    const std::string& folder = m_setup.roots[root].folder;
    if (!IsFolder(folder, st)) {
        m_client.tell(Format(MessageId::WatchFolderMissing, {folder}));
        await(root);
        return;
    }
    m_rootUp[root] = true;
    watchTree(folder, root, 0, scan);
}

void FolderWatch::watchTree(const std::string& top, int root, int level, bool scan) {
    refreshOutputs();
    m_limitHits = 0;
    const int group = m_setup.roots[root].group;
    std::vector<std::pair<std::string, int>> stack{{top, level}};
    while (!stack.empty()) {
        auto [path, at] = std::move(stack.back());
        stack.pop_back();
        struct stat st {};
        if (!IsFolder(path, st)) continue;
        const FileId id = FileId::Of(st);
        // An output folder is never looked into, nor is a folder already
        // watched (reached a second way, or by another root).
        if (isOutput(id) || m_byId.count({id.device, id.inode})) continue;
        // The watch first, then the listing: what arrives in between is
        // seen by both and counted once.
        int watch = -1;
        if (const int error = m_events.add(path, watch); error != 0) {
            if (error == ENOSPC) {
                if (m_limitHits++ == 0) m_client.tell(Format(MessageId::WatchLimit, {path}));
            } else if (error != ENOENT && error != ENOTDIR) {
                m_client.tell(Format(MessageId::WatchCannotWatch, {path, ReasonText(error)}));
                continue;
            }
        } else {
            // A watch this watcher already holds under another role (a
            // folder a missing root waits on) keeps its number.
            m_watches[watch] = Watched{path, root, at, id};
            m_byId[{id.device, id.inode}] = watch;
        }
        DIR* dir = ::opendir(path.c_str());
        if (!dir) continue;
        const int depth = m_setup.roots[root].depth;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (Ignored(name)) continue;  // ".", ".." and hidden folders too
            const std::string child = Child(path, std::string(name));
            unsigned char type = entry->d_type;
            if (type == DT_UNKNOWN) {
                struct stat cs {};
                if (::lstat(child.c_str(), &cs) != 0) continue;
                type = S_ISDIR(cs.st_mode) ? DT_DIR : S_ISREG(cs.st_mode) ? DT_REG : DT_UNKNOWN;
            }
            if (type == DT_DIR && (depth < 0 || at < depth)) stack.emplace_back(child, at + 1);
            if (type == DT_REG && scan) arrive(child, group);
        }
        ::closedir(dir);
    }
    // The first folder the limit left out is named; the rest are counted.
    if (m_limitHits > 1)
        m_client.tell(Format(MessageId::WatchLimitMore, {std::to_string(m_limitHits - 1)}));
}

void FolderWatch::await(int root) {
    m_rootUp[root] = false;
    // The nearest folder above that is there: when the missing one is made
    // (or a step towards it), it tells.
    std::string above = ParentOf(m_setup.roots[root].folder);
    struct stat st {};
    while (!IsFolder(above, st) && above != "/") above = ParentOf(above);
    int watch = -1;
    if (const int error = m_events.add(above, watch); error != 0) {
        m_client.tell(Format(MessageId::WatchCannotWait,
                             {m_setup.roots[root].folder, above, ReasonText(error)}));
        return;
    }
    std::vector<int>& roots = m_awaiting[watch];
    if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
    // Made between the look above and the watch: no event will tell.
    if (IsFolder(m_setup.roots[root].folder, st)) rootsWaitingOn(watch);
}

void FolderWatch::rootsWaitingOn(int watch) {
    const auto found = m_awaiting.find(watch);
    if (found == m_awaiting.end()) return;
    const std::vector<int> roots = std::move(found->second);
    m_awaiting.erase(found);
    if (!m_watches.count(watch)) m_events.remove(watch);
    for (const int root : roots) {
        struct stat st {};
        if (IsFolder(m_setup.roots[root].folder, st)) {
            m_client.tell(Format(MessageId::WatchFolderBack, {m_setup.roots[root].folder}));
            m_rootUp[root] = true;
            watchTree(m_setup.roots[root].folder, root, 0, true);
        } else {
            await(root);  // a step closer, or the same folder again
        }
    }
}

void FolderWatch::forget(int watch) {
    const auto found = m_watches.find(watch);
    if (found == m_watches.end()) return;
    m_byId.erase({found->second.id.device, found->second.id.inode});
    m_watches.erase(found);
}

void FolderWatch::forgetTree(const std::string& path) {
    std::vector<int> gone;
    for (const auto& [watch, folder] : m_watches)
        if (Within(folder.path, path)) gone.push_back(watch);
    for (const int watch : gone) {
        forget(watch);
        if (!m_awaiting.count(watch)) m_events.remove(watch);
    }
}

void FolderWatch::handle(const FolderEvents::Event& event) {
    using T = FolderEvents::Type;
    if (event.type == T::Ended || event.type == T::SelfGone) {
        const auto found = m_watches.find(event.watch);
        if (found != m_watches.end() && found->second.level == 0) {
            const int root = found->second.root;
            forgetTree(found->second.path);
            m_client.tell(Format(MessageId::WatchFolderGone, {m_setup.roots[root].folder}));
            await(root);
        } else if (found != m_watches.end()) {
            forgetTree(found->second.path);
        }
        // The folder a missing root waited on went too: wait further up.
        if (m_awaiting.count(event.watch)) rootsWaitingOn(event.watch);
        return;
    }
    if (m_awaiting.count(event.watch) && event.folder && event.type == T::Arrived)
        rootsWaitingOn(event.watch);
    const auto found = m_watches.find(event.watch);
    if (found == m_watches.end() || Ignored(event.name)) return;
    const Watched folder = found->second;
    const std::string path = Child(folder.path, event.name);
    if (event.type == T::Left) {
        if (event.folder) forgetTree(path);
        m_pending.erase(path);
        return;
    }
    if (!event.folder) {
        arrive(path, m_setup.roots[folder.root].group);
    } else if (takes(folder, folder.level + 1)) {
        // A folder made or moved in: watched, and what it holds already taken.
        watchTree(path, folder.root, folder.level + 1, true);
    }
}

void FolderWatch::rescan() {
    m_client.tell(Format(MessageId::WatchOverflow));
    for (const auto& [watch, folder] : m_watches) m_events.remove(watch);
    for (const auto& [watch, roots] : m_awaiting)
        if (!m_watches.count(watch)) m_events.remove(watch);
    m_watches.clear();
    m_byId.clear();
    m_awaiting.clear();
    for (size_t i = 0; i < m_setup.roots.size(); ++i) establish(static_cast<int>(i), true);
}

FolderWatch::Clock::time_point FolderWatch::dueAfter(Clock::time_point now) const {
    // Rounded up to a slot of a quarter of the settle time (at most 0.25 s):
    // files of one burst, their notices read a few at a time, come due
    // together and go in one batch. Rounding up never takes a file early.
    const auto slot = std::clamp<Clock::duration>(m_setup.settle / 4, std::chrono::milliseconds(1),
                                                  std::chrono::milliseconds(250));
    const auto due = (now + m_setup.settle).time_since_epoch();
    return Clock::time_point((due + slot - Clock::duration(1)) / slot * slot);
}

void FolderWatch::arrive(const std::string& path, int group) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    Pending& p = m_pending[path];
    p.group = group;
    p.size = st.st_size;
    p.mtimeSec = st.st_mtim.tv_sec;
    p.mtimeNsec = st.st_mtim.tv_nsec;
    p.due = dueAfter(m_now);
    m_due.emplace_back(p.due, path);
}

int FolderWatch::timeoutMs() const {
    if (m_due.empty()) return -1;
    const auto left = m_due.front().first - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    // Rounded up: waking a little early would only wait again.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

std::vector<std::vector<std::string>> FolderWatch::ready() {
    std::vector<std::vector<std::string>> batches;
    const Clock::time_point now = Clock::now();
    while (!m_due.empty() && m_due.front().first <= now) {
        auto [due, path] = std::move(m_due.front());
        m_due.pop_front();
        const auto found = m_pending.find(path);
        // An entry re-armed since has a later turn of its own.
        if (found == m_pending.end() || found->second.due != due) continue;
        Pending& p = found->second;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            m_pending.erase(found);
            continue;
        }
        if (st.st_size != p.size || st.st_mtim.tv_sec != p.mtimeSec ||
            st.st_mtim.tv_nsec != p.mtimeNsec) {
            // Still being written: another settle time from now.
            p.size = st.st_size;
            p.mtimeSec = st.st_mtim.tv_sec;
            p.mtimeNsec = st.st_mtim.tv_nsec;
            p.due = dueAfter(now);
            m_due.emplace_back(p.due, path);
            continue;
        }
        if (batches.size() <= static_cast<size_t>(p.group)) batches.resize(p.group + 1);
        batches[p.group].push_back(std::move(path));
        m_pending.erase(found);
    }
    return batches;
}

}  // namespace zanfeld
