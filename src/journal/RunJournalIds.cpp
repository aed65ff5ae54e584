// Placement ids: a run hands them out from blocks reserved in its row, so
// that it never asks the database for one while it places files.

#include <sqlite3.h>

#include <algorithm>
#include <mutex>

#include "JournalTuning.h"
#include "RunJournal.h"

namespace zanfeld {

// Ranges come in ascending order (every block is reserved above all
// others), and may come after the run used up the last one.
bool RunJournal::OpenRun::hasId() {
    for (; range < ranges.size(); ++range) {
        nextId = std::max(nextId, ranges[range].first);
        if (nextId <= ranges[range].last) return true;
    }
    return false;
}

int64_t RunJournal::OpenRun::idsLeft() const {
    int64_t left = 0;
    for (size_t i = range; i < ranges.size(); ++i)
        left += std::max<int64_t>(0, ranges[i].last - std::max(nextId, ranges[i].first) + 1);
    return left;
}

bool RunJournal::OpenRun::owns(int64_t placement) const {
    if (placement == lastId) return true;
    if (placement > lastId) return false;
    for (const IdRange& ids : ranges)
        if (placement >= ids.first && placement <= ids.last) return true;
    return false;
}

RunJournal::OpenRun* RunJournal::ownerLocked(int64_t placement) {
    for (auto& entry : m_openRuns)
        if (entry.second->owns(placement)) return entry.second.get();
    return nullptr;
}

bool RunJournal::nextFreeId(int64_t& id) {
    const int code = m_sql.nextFreeId.step();
    if (code == SQLITE_ROW) id = m_sql.nextFreeId.intAt(0);
    m_sql.nextFreeId.reset();
    if (code != SQLITE_ROW) failDb(code);
    return code == SQLITE_ROW;
}

// Inside a transaction: the next block of ids for run, recorded in its row
// before any of them is handed out.
bool RunJournal::reserveIds(int64_t run, IdRange& ids) {
    if (!nextFreeId(ids.first)) return false;
    ids.last = ids.first + kIdBlock - 1;
    m_sql.reserve.bindInt(1, run);
    m_sql.reserve.bindInt(2, ids.last);
    return stepDone(m_sql.reserve);
}

// After the commit: the runs may hand out the ids reserved for them.
void RunJournal::applyReserved(const std::vector<std::pair<int64_t, IdRange>>& reserved) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [run, ids] : reserved) {
        const auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) continue;
        open->second->ranges.push_back(ids);
        open->second->refillAsked = false;
    }
}

// When a run used up its ids before the writer reserved more (the writer
// waited for another process, say): the run waits for the database.
bool RunJournal::reserveNow(int64_t run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    if (!ready()) return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) return false;
        if (open->second->hasId()) return true;  // the writer's block came meanwhile
    }
    std::vector<std::pair<int64_t, IdRange>> reserved(1);
    reserved[0].first = run;
    if (!beginWrite() || !reserveIds(run, reserved[0].second) || !commitWrite()) return false;
    applyReserved(reserved);
    return true;
}

}  // namespace zanfeld
