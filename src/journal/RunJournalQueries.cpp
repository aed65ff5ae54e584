// The journal's reads: past runs, a run's placements and folders, and the
// run that undo would put back. Each commits what waits first.

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <mutex>

#include "JournalTuning.h"
#include "RunJournal.h"

namespace zanfeld {

JournalRun RunJournal::readRun(const SqliteStatement& s) const {
    JournalRun run;
    run.id = s.intAt(0);
    run.window = s.bytesAt(1) == "folders" ? RunWindow::Folders : RunWindow::Files;
    run.page = static_cast<int>(s.intAt(2));
    run.mode = static_cast<int>(s.intAt(3));
    run.policy = static_cast<int>(s.intAt(4));
    run.outputDir = s.bytesAt(5);
    run.startedNs = s.intAt(6);
    run.endedNs = s.isNull(7) ? 0 : s.intAt(7);
    if (!s.isNull(8)) run.end = JournalEnd{static_cast<JournalEndKind>(s.intAt(8)), s.bytesAt(9)};
    run.counts.placed = s.intAt(10);
    run.counts.skipped = s.intAt(11);
    run.counts.renamed = s.intAt(12);
    run.counts.overwritten = s.intAt(13);
    run.counts.failed = s.intAt(14);
    run.undoneBy = s.isNull(15) ? 0 : s.intAt(15);
    run.undoes = s.isNull(16) ? 0 : s.intAt(16);
    run.automatic = s.intAt(17) != 0;
    return run;
}

std::vector<JournalRun> RunJournal::runs(size_t limit) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::vector<JournalRun> result;
    try {
        if (!ready() || !flushLocked()) return result;
        m_sql.selectRuns.bindInt(1, limit == 0 ? -1 : static_cast<int64_t>(limit));
        int code;
        while ((code = m_sql.selectRuns.step()) == SQLITE_ROW)
            result.push_back(readRun(m_sql.selectRuns));
        m_sql.selectRuns.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_sql.selectRuns.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

std::vector<JournalPlacement> RunJournal::placements(int64_t run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::vector<JournalPlacement> result;
    bool filling = false;
    try {
        if (!ready() || !flushLocked()) return result;
        m_sql.selectRange.bindInt(1, run);
        int code = m_sql.selectRange.step();
        int64_t first = 0;
        int64_t last = std::numeric_limits<int64_t>::max();
        if (code == SQLITE_ROW) {
            first = m_sql.selectRange.intAt(0);
            if (!m_sql.selectRange.isNull(1)) last = m_sql.selectRange.intAt(1);
        }
        m_sql.selectRange.reset();
        if (code == SQLITE_DONE) return result;  // no such run
        if (code != SQLITE_ROW) {
            failDb(code);
            return result;
        }
        // Room for the run's range at once, so that the list is not moved
        // as it grows; bounded, as a killed run's range has no end.
        const int64_t span = last > first ? last - first : 0;
        result.reserve(static_cast<size_t>(std::min<int64_t>(span, kIdBlock - 1) + 1));
        SqliteStatement& s = m_sql.selectPlacements;
        s.bindInt(1, first);
        s.bindInt(2, last);
        s.bindInt(3, run);
        while ((code = s.step()) == SQLITE_ROW) {
            // Filled where it stays; one that an exception cuts short goes.
            JournalPlacement& p = result.emplace_back();
            filling = true;
            p.id = s.intAt(0);
            p.run = run;
            p.seq = s.intAt(1);
            p.source = s.bytesAt(2);
            p.target = s.bytesAt(3);
            p.mode = static_cast<int>(s.intAt(4));
            PlacementOutcome& o = p.outcome;
            o.state = static_cast<PlacementState>(s.intAt(5));
            if (o.state == PlacementState::Intended) {
                // Only where a file it was replacing went is known ahead.
                o = PlacementOutcome{};
                o.state = PlacementState::Intended;
                o.result = PlacementResult::None;
                o.trashedPath = s.bytesAt(13);
                o.trashInfoPath = s.bytesAt(14);
            } else {
                o.result = static_cast<PlacementResult>(s.intAt(6));
                o.error = static_cast<int>(s.intAt(7));
                o.size = s.intAt(8);
                o.mtimeSec = s.intAt(9);
                o.mtimeNsec = s.intAt(10);
                o.device = static_cast<uint64_t>(s.intAt(11));
                o.inode = static_cast<uint64_t>(s.intAt(12));
                o.trashedPath = s.bytesAt(13);
                o.trashInfoPath = s.bytesAt(14);
                o.replacedWithoutTrash = s.intAt(15) != 0;
                o.placedTarget = s.bytesAt(16);
            }
            p.undoes = s.isNull(17) ? 0 : s.intAt(17);
            filling = false;
        }
        s.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        if (filling) result.pop_back();
        m_sql.selectRange.reset();
        m_sql.selectPlacements.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

std::vector<std::string> RunJournal::madeFolders(int64_t run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::vector<std::string> result;
    try {
        if (!ready() || !flushLocked()) return result;
        m_sql.selectFolders.bindInt(1, run);
        int code;
        while ((code = m_sql.selectFolders.step()) == SQLITE_ROW)
            result.push_back(m_sql.selectFolders.bytesAt(0));
        m_sql.selectFolders.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_sql.selectFolders.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

std::optional<JournalRun> RunJournal::lastUndoableRun() {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::optional<JournalRun> result;
    try {
        if (!ready() || !flushLocked()) return result;
        int code;
        while ((code = m_sql.selectUndoable.step()) == SQLITE_ROW) {
            const int64_t id = m_sql.selectUndoable.intAt(0);
            bool going = false;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                going = m_openRuns.count(id) != 0;
            }
            if (going) continue;  // still going here
            result = readRun(m_sql.selectUndoable);
            code = SQLITE_DONE;
            break;
        }
        m_sql.selectUndoable.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_sql.selectUndoable.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

}  // namespace zanfeld
