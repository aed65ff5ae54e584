#include "CopyAhead.h"

#include <algorithm>
#include <system_error>

#include "FileOps.h"

namespace zanfeld {

CopyAhead::CopyAhead(unsigned threads) {
    // Fewer threads than asked (none, even) only makes the run copy more
    // itself.
    try {
        for (unsigned i = 0; i < threads; ++i) m_threads.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
    }
}

CopyAhead::~CopyAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads) thread.join();
    // m_ready goes with this object: each temporary is closed (an unnamed
    // one vanishes) or its hidden name removed.
}

void CopyAhead::add(size_t index, const std::string& source, std::string folderPath) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(Job{index, &source, std::move(folderPath)});
    }
    m_wake.notify_one();
}

std::unique_ptr<PreparedCopy> CopyAhead::take(size_t index, bool evenUnbegun) {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto queued = [&] {
        return std::find_if(m_queue.begin(), m_queue.end(),
                            [index](const Job& job) { return job.index == index; });
    };
    if (const auto job = queued(); job != m_queue.end() && (!evenUnbegun || m_threads.empty())) {
        m_queue.erase(job);
        return nullptr;
    }
    m_done.wait(lock, [&] { return queued() == m_queue.end() && m_busy.count(index) == 0; });
    const auto it = m_ready.find(index);
    if (it == m_ready.end()) return nullptr;
    std::unique_ptr<PreparedCopy> copy = std::move(it->second);
    m_ready.erase(it);
    return copy;
}

int CopyAhead::holdFolder(std::unique_lock<std::mutex>& lock, const std::string& path,
                          PreparedCopy& copy) {
    auto held = m_folders.find(path);
    if (held == m_folders.end()) {
        // Opened without the lock: on a slow file system that is a round trip.
        lock.unlock();
        TargetFolder folder;
        const int error = folder.open(path);
        lock.lock();
        if (error != 0) return error;
        // Far below the descriptor limit; a run with a folder per file
        // simply opens them again.
        if (m_folders.size() >= kMostFolders) m_folders.clear();
        held = m_folders.try_emplace(path, std::move(folder)).first;
    }
    return copy.folder.openSameAs(held->second);
}

void CopyAhead::work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_stopping || !m_queue.empty(); });
        if (m_stopping) return;
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy.insert(job.index);
        auto copy = std::make_unique<PreparedCopy>();
        // A copy that could not be made is made again in order, where its
        // failure is told as ever.
        int error = holdFolder(lock, job.folderPath, *copy);
        lock.unlock();
        if (error == 0) error = PrepareCopy(SourceFile(*job.source), kMostBytes, *copy);
        lock.lock();
        if (const auto held = m_folders.find(job.folderPath); held != m_folders.end())
            held->second.learnFrom(copy->folder);
        if (error != 0) copy.reset();
        m_busy.erase(job.index);
        if (copy) m_ready.emplace(job.index, std::move(copy));
        m_done.notify_all();
    }
}

}  // namespace zanfeld
