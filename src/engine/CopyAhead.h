#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "PreparedCopy.h"

namespace zanfeld {

// The data work of a run's copies, done ahead on a few threads: each queued
// file is copied into a temporary of its target folder, which the run, when
// it comes to that file in its order, publishes by its rules (or discards).
// On a slow file system each copy is mostly waiting for round trips, so
// several at once save most of a serial run's time. Whatever is still
// prepared when this goes is discarded: no name is ever left behind.
class CopyAhead {
  public:
    // Sources larger than this are copied in order, with their progress.
    static constexpr uint64_t kMostBytes = 64u << 20;
    static constexpr size_t kMostFolders = 64;

    explicit CopyAhead(unsigned threads);
    ~CopyAhead();
    CopyAhead(const CopyAhead&) = delete;
    CopyAhead& operator=(const CopyAhead&) = delete;

    // Queues the copy of the file at source (kept by the caller until taken)
    // into the folder at folderPath, for the run's file number index.
    void add(size_t index, const std::string& source, std::string folderPath);
    // The copy prepared for index, waited for while one is being written;
    // null when none was queued or it could not be made. One not begun yet
    // is waited for only with evenUnbegun; else it is taken off the queue
    // and null returned, as the run is quicker copying it itself than
    // waiting for a thread.
    std::unique_ptr<PreparedCopy> take(size_t index, bool evenUnbegun = false);
    size_t threads() const { return m_threads.size(); }

  private:
    struct Job {
        size_t index;
        const std::string* source;
        std::string folderPath;
    };

    void work();
    // Sets up copy.folder as the folder at path, held open once for every
    // copy into it. Called with the lock held, which it may drop meanwhile.
    int holdFolder(std::unique_lock<std::mutex>& lock, const std::string& path, PreparedCopy& copy);

    std::mutex m_mutex;
    std::condition_variable m_wake;  // a job queued, or stopping
    std::condition_variable m_done;  // a job finished
    std::deque<Job> m_queue;
    std::unordered_set<size_t> m_busy;
    std::unordered_map<size_t, std::unique_ptr<PreparedCopy>> m_ready;
    // Each target folder opened once; what the copies into it learn (a
    // refusal of unnamed files, say) is gathered here for the next ones.
    std::unordered_map<std::string, TargetFolder> m_folders;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

}  // namespace zanfeld
