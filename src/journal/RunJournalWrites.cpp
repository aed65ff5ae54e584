// What a run records: its start, each placement's intent and outcome, the
// folders it made and its end; and an undo's note on the run it put back.

#include <sqlite3.h>
#include <time.h>

#include <cerrno>
#include <memory>
#include <mutex>

#include "JournalTuning.h"
#include "RunJournal.h"
#include "RunLogFormat.h"

namespace zanfeld {
namespace {

int64_t NowNs() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

int64_t RunJournal::beginRun(const JournalRun& run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        if (!ready()) return 0;
        bool first = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            first = m_openRuns.empty();
        }
        if (first) {
            enterRunMode();
            if (!ready()) return 0;
        }
        auto open = std::make_unique<OpenRun>();
        open->startedNs = run.startedNs != 0 ? run.startedNs : NowNs();
        IdRange ids;
        if (!beginWrite() || !nextFreeId(ids.first)) return 0;
        ids.last = ids.first + kIdBlock - 1;
        m_sql.insertRun.bindText(1, run.window == RunWindow::Folders ? "folders" : "files");
        m_sql.insertRun.bindInt(2, run.page);
        m_sql.insertRun.bindInt(3, run.mode);
        m_sql.insertRun.bindInt(4, run.policy);
        m_sql.insertRun.bindBytes(5, run.outputDir);
        m_sql.insertRun.bindInt(6, open->startedNs);
        if (run.undoes > 0)
            m_sql.insertRun.bindInt(7, run.undoes);
        else
            m_sql.insertRun.bindNull(7);
        m_sql.insertRun.bindInt(8, ids.first);
        m_sql.insertRun.bindInt(9, ids.last);
        m_sql.insertRun.bindInt(10, run.automatic ? 1 : 0);
        if (!stepDone(m_sql.insertRun)) return 0;
        const int64_t id = sqlite3_last_insert_rowid(m_db);
        if (!commitWrite()) return 0;

        // Made once the run's row is committed: a log always names a run
        // its journal has.
        if (const int error = open->log.create(m_path, id, open->startedNs); error != 0) {
            failDbErrno(error);
            return 0;
        }
        open->id = id;
        open->firstId = ids.first;
        open->ranges.push_back(ids);
        open->nextId = ids.first;
        bool wake = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_ok) return 0;
            m_openRuns[id] = std::move(open);
            wake = m_writerAsleep;
        }
        if (wake) m_wake.notify_one();
        return id;
    } catch (...) {
        failDbErrno(ENOMEM);
        return 0;
    }
}

int64_t RunJournal::intend(int64_t run, const std::string& source, const std::string& target,
                           int mode, int64_t undoes) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok) return 0;
        auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) return 0;
        if (!open->second->hasId()) {
            lock.unlock();
            if (!reserveNow(run)) return 0;
            lock.lock();
            if (!m_ok || (open = m_openRuns.find(run)) == m_openRuns.end() ||
                !open->second->hasId())
                return 0;
        }
        OpenRun& r = *open->second;
        const int64_t id = r.nextId;
        // The previous placement's outcome and this intent, in one write()
        // before the file is touched.
        r.record.clear();
        RunLogFormat::appendStep(r.record, r.pending, r.pendingFolders, id, r.nextSeq, mode, undoes,
                                 source, target);
        if (const int error = r.log.append(r.record); error != 0) {
            failLocked(error);
            return 0;
        }
        ++r.nextId;
        r.lastId = id;
        queuePendingLocked(r);
        QueuedRow& row = m_queue.add(QueuedRow::Kind::Placement, source, target);
        row.id = id;
        row.run = run;
        row.seq = r.nextSeq++;
        row.mode = mode;
        row.undoes = undoes;
        r.queuedIndex = m_queue.size() - 1;
        r.queuedGeneration = m_queueGeneration;
        bool wake = m_writerAsleep;
        if (m_queue.size() >= kBatchRows && !m_batchCalled) {
            // Once a batch: the writer looks at the queue before it waits
            // again, so a call while it commits is not missed.
            m_batchCalled = true;
            wake = true;
        }
        if (!r.refillAsked && r.idsLeft() < kIdsLow) {
            r.refillAsked = true;
            m_refills.push_back(run);
            wake = true;
        }
        if (m_queue.size() >= kQueueLimit) {
            m_wake.notify_one();
            m_drained.wait(lock, [this] { return !m_ok || m_queue.size() < kQueueLimit; });
            wake = false;
        }
        lock.unlock();
        if (wake) m_wake.notify_one();
        return id;
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
        return 0;
    }
}

void RunJournal::done(int64_t placement, PlacementOutcome outcome) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok || placement <= 0) return;
        if (OpenRun* run = ownerLocked(placement)) {
            // To the log with the run's next intent.
            run->pending.push_back(LoggedOutcome{placement, std::move(outcome)});
            return;
        }
        QueuedRow& row = m_queue.add(QueuedRow::Kind::Outcome);
        row.id = placement;
        row.outcome = std::move(outcome);
        const bool wake = m_writerAsleep;
        lock.unlock();
        if (wake) m_wake.notify_one();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
    }
}

void RunJournal::writeSettledLocked(OpenRun& run) {
    run.record.clear();
    RunLogFormat::appendSettled(run.record, run.pending, run.pendingFolders);
    if (const int error = run.log.append(run.record); error != 0) {
        failLocked(error);
        return;
    }
    queuePendingLocked(run);
}

void RunJournal::doneNow(int64_t placement, const PlacementOutcome& outcome) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok || placement <= 0) return;
        OpenRun* run = ownerLocked(placement);
        if (!run) {
            lock.unlock();
            done(placement, outcome);
            return;
        }
        run->pending.push_back(LoggedOutcome{placement, outcome});
        writeSettledLocked(*run);
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
    }
}

void RunJournal::madeFolder(int64_t run, const std::string& path) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok || run <= 0) return;
        if (const auto open = m_openRuns.find(run); open != m_openRuns.end()) {
            // Written at once: a run killed before its next placement (or
            // one that places nothing) still has its folders taken away.
            OpenRun& r = *open->second;
            r.pendingFolders.push_back(path);
            writeSettledLocked(r);
            return;
        }
        QueuedRow& row = m_queue.add(QueuedRow::Kind::Folder, path);
        row.run = run;
        const bool wake = m_writerAsleep;
        lock.unlock();
        if (wake) m_wake.notify_one();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
    }
}

void RunJournal::endRun(int64_t run, const JournalEnd& end, const JournalCounts& counts,
                        int64_t undone) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        if (!ready() || run <= 0) return;
        std::unique_ptr<OpenRun> open;
        RowBatch rows;
        std::vector<int64_t> refills;
        bool last = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto found = m_openRuns.find(run);
            if (found != m_openRuns.end()) {
                queuePendingLocked(*found->second);
                open = std::move(found->second);
                m_openRuns.erase(found);
            }
            takeQueueLocked(rows, refills);
            std::erase(refills, run);
            last = m_openRuns.empty();
        }
        // Everything of the run and its end in one transaction; should it
        // fail, the log stays for the next open().
        std::vector<std::pair<int64_t, IdRange>> reserved;
        if (!beginWrite() || !writeBatch(rows, refills, reserved)) return;
        SqliteStatement& s = m_sql.endRun;
        s.bindInt(1, run);
        s.bindInt(2, NowNs());
        s.bindInt(3, static_cast<int>(end.kind));
        s.bindBytesOrNull(4, end.reason);
        s.bindInt(5, counts.placed);
        s.bindInt(6, counts.skipped);
        s.bindInt(7, counts.renamed);
        s.bindInt(8, counts.overwritten);
        s.bindInt(9, counts.failed);
        // The run's range ends at its last placement: the ids reserved and
        // not used are free again.
        if (open)
            s.bindInt(10, open->lastId != 0 ? open->lastId : open->firstId - 1);
        else
            s.bindNull(10);
        if (!stepDone(s)) return;
        if (undone > 0) {
            m_sql.markUndone.bindInt(1, undone);
            m_sql.markUndone.bindInt(2, run);
            if (!stepDone(m_sql.markUndone)) return;
        }
        if (!commitWrite()) return;
        applyReserved(reserved);
        if (open) {
            open->log.remove();
            if (last) leaveRunMode();
        }
    } catch (...) {
        failDbErrno(ENOMEM);
    }
}

void RunJournal::markUndone(int64_t run, int64_t undoRun) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        if (!ready() || run <= 0) return;
        if (!beginWrite()) return;
        m_sql.markUndone.bindInt(1, run);
        m_sql.markUndone.bindInt(2, undoRun);
        if (stepDone(m_sql.markUndone)) commitWrite();
    } catch (...) {
        failDbErrno(ENOMEM);
    }
}

}  // namespace zanfeld
