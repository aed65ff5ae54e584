#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "FileId.h"
#include "FolderEvents.h"

namespace zanfeld {

// Keeps folders sorted: what is in them at the start and whatever arrives
// later is handed to the client once it has been left alone for the settle
// time, the files that became ready together in one batch. Never looks into
// an output folder (known by device and inode, so a name spelt otherwise or
// made later is still known), never takes a hidden name or a download or
// editor's file still in the making, and never loses track silently: a lost
// event (queue overflow) leads to a rescan, a folder removed is waited for
// until it is back, and a folder it cannot watch is named. Idle, it sleeps
// in the system's wait without a timeout.
class FolderWatch {
  public:
    using Clock = std::chrono::steady_clock;

    struct Root {
        std::string folder;  // absolute, resolved
        int depth = 0;       // levels of sub-folders taken in; -1 every level
        int group = 0;       // the plans that sort what arrives here
    };
    struct Setup {
        std::vector<Root> roots;
        std::vector<std::string> outputs;  // the plans' output folders
        Clock::duration settle = std::chrono::seconds(10);
        bool initialScan = true;  // sort what is there at the start
    };
    class Client {
      public:
        virtual ~Client() = default;
        // Sorts files (all of one group, each settled) as one run.
        virtual void sort(int group, const std::vector<std::string>& files) = 0;
        // A sentence for the log: what the watch could not do, or did instead.
        virtual void tell(const std::string& message) = 0;
        virtual bool stopRequested() = 0;
    };

    FolderWatch(Setup setup, FolderEvents& events, Client& client);

    // Watches until the client asks to stop.
    void run();

    // Names never sorted: hidden ones (a leading "."), downloads and editors'
    // files in the making (*.part, *.crdownload, *.download, *.partial, *.tmp,
    // ~$*).
    static bool Ignored(std::string_view name);
    // The output folder that folder is (or lies within), "" when none.
    static std::string OutputHolding(const std::string& folder,
                                     const std::vector<std::string>& outputs);

    size_t watchedFolders() const { return m_watches.size(); }

  private:
    struct Watched {
        std::string path;
        int root = 0;
        int level = 0;
        FileId id;
    };
    struct Pending {
        int group = 0;
        int64_t size = 0;
        int64_t mtimeSec = 0;
        int64_t mtimeNsec = 0;
        Clock::time_point due;
    };

    void establish(int root, bool scan);
    void watchTree(const std::string& top, int root, int level, bool scan);
    void await(int root);
    void handle(const FolderEvents::Event& event);
    void rootsWaitingOn(int watch);
    void forgetTree(const std::string& path);
    void forget(int watch);
    void rescan();
    void arrive(const std::string& path, int group);
    bool takes(const Watched& folder, int level) const;
    bool isOutput(const FileId& id);
    void refreshOutputs();
    Clock::time_point dueAfter(Clock::time_point now) const;
    int timeoutMs() const;
    std::vector<std::vector<std::string>> ready();

    Setup m_setup;
    FolderEvents& m_events;
    Client& m_client;
    Clock::time_point m_now;

    std::unordered_map<int, Watched> m_watches;
    std::map<std::pair<uint64_t, uint64_t>, int> m_byId;   // device, inode → watch
    std::unordered_map<int, std::vector<int>> m_awaiting;  // watch → roots waiting below it
    std::vector<bool> m_rootUp;
    std::vector<FileId> m_outputIds;
    int m_limitHits = 0;  // folders the watch limit left unwatched in this pass

    std::unordered_map<std::string, Pending> m_pending;
    std::deque<std::pair<Clock::time_point, std::string>> m_due;  // in order of due time
};

}  // namespace zanfeld
