// The writer thread and its queue: the rows a run records wait here and are
// committed in batches, so that a placement costs the run a write() to its
// log rather than a commit.

#include <cerrno>
#include <mutex>
#include <thread>

#include "JournalSql.h"
#include "JournalTuning.h"
#include "RunJournal.h"

namespace zanfeld {

RunJournal::QueuedRow& RunJournal::RowBatch::add(QueuedRow::Kind kind, std::string_view source,
                                                 std::string_view target) {
    QueuedRow& row = m_rows.emplace_back();
    row.kind = kind;
    row.textAt = m_text.size();
    row.sourceSize = source.size();
    row.targetSize = target.size();
    m_text.append(source);
    m_text.append(target);
    return row;
}

void RunJournal::startWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopWriter = false;
    }
    m_writer = std::thread([this] { writerLoop(); });
}

void RunJournal::stopWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopWriter = true;
    }
    m_wake.notify_all();
    if (m_writer.joinable()) m_writer.join();
}

// Commits the rows that wait, in batches: when kBatchRows are there, after
// kBatchInterval, or at once when a run needs more ids. Sleeps while no run
// goes on and nothing waits.
void RunJournal::writerLoop() {
    RowBatch rows;
    std::vector<int64_t> refills;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopWriter) {
        if (!m_ok || (m_queue.empty() && m_refills.empty() && m_openRuns.empty())) {
            m_writerAsleep = true;
            m_wake.wait(lock);
            m_writerAsleep = false;
            continue;
        }
        m_wake.wait_for(lock, kBatchInterval, [this] {
            return m_stopWriter || !m_ok || m_queue.size() >= kBatchRows || !m_refills.empty();
        });
        // What is left at a stop, close() commits.
        if (m_stopWriter || !m_ok || (m_queue.empty() && m_refills.empty())) continue;
        lock.unlock();
        {
            std::lock_guard<std::mutex> db(m_dbMutex);
            try {
                if (ready()) {
                    {
                        std::lock_guard<std::mutex> again(m_mutex);
                        takeQueueLocked(rows, refills);
                    }
                    commitRows(rows, refills);
                }
            } catch (...) {
                failDbErrno(ENOMEM);
            }
        }
        rows.clear();  // keeps its buffers for the next swap
        refills.clear();
        lock.lock();
    }
}

void RunJournal::queuePendingLocked(OpenRun& run) {
    for (LoggedOutcome& logged : run.pending) {
        // The outcome of a placement whose row still waits goes into its INSERT.
        if (run.queuedGeneration == m_queueGeneration && run.queuedIndex < m_queue.size()) {
            QueuedRow& row = m_queue[run.queuedIndex];
            if (row.kind == QueuedRow::Kind::Placement && row.id == logged.placement &&
                !row.settled) {
                row.settled = true;
                row.outcome = std::move(logged.outcome);
                continue;
            }
        }
        QueuedRow& row = m_queue.add(QueuedRow::Kind::Outcome);
        row.id = logged.placement;
        row.outcome = std::move(logged.outcome);
    }
    run.pending.clear();
    for (const std::string& folder : run.pendingFolders) {
        QueuedRow& row = m_queue.add(QueuedRow::Kind::Folder, folder);
        row.run = run.id;
    }
    run.pendingFolders.clear();
}

void RunJournal::takeQueueLocked(RowBatch& rows, std::vector<int64_t>& refills) {
    rows.swap(m_queue);
    refills.swap(m_refills);
    ++m_queueGeneration;
    m_batchCalled = false;
    m_drained.notify_all();
}

// Inside a transaction: the rows, then the blocks of ids asked for.
bool RunJournal::writeBatch(const RowBatch& rows, const std::vector<int64_t>& refills,
                            std::vector<std::pair<int64_t, IdRange>>& reserved) {
    for (const QueuedRow& row : rows) {
        switch (row.kind) {
            case QueuedRow::Kind::Placement: {
                SqliteStatement& s = m_sql.insertPlacement;
                s.bindInt(1, row.id);
                s.bindInt(2, row.run);
                s.bindInt(3, row.seq);
                s.bindBytes(4, rows.source(row));
                s.bindBytes(5, rows.target(row));
                s.bindInt(6, row.mode);
                if (row.settled) {
                    BindOutcome(s, 7, row.outcome);
                } else {
                    // Only the intent: the outcome's columns stay NULL.
                    s.bindInt(7, static_cast<int>(PlacementState::Intended));
                    s.bindInt(17, 0);
                }
                if (row.undoes > 0) s.bindInt(19, row.undoes);
                if (!stepDone(s)) return false;
                break;
            }
            case QueuedRow::Kind::Outcome:
                m_sql.settlePlacement.bindInt(1, row.id);
                BindOutcome(m_sql.settlePlacement, 2, row.outcome);
                if (!stepDone(m_sql.settlePlacement)) return false;
                break;
            case QueuedRow::Kind::Folder:
                m_sql.insertFolder.bindInt(1, row.run);
                m_sql.insertFolder.bindBytes(2, rows.source(row));
                if (!stepDone(m_sql.insertFolder)) return false;
                break;
        }
    }
    for (const int64_t run : refills) {
        IdRange ids;
        if (!reserveIds(run, ids)) return false;
        reserved.emplace_back(run, ids);
    }
    return true;
}

bool RunJournal::commitRows(const RowBatch& rows, const std::vector<int64_t>& refills) {
    if (rows.empty() && refills.empty()) return true;
    std::vector<std::pair<int64_t, IdRange>> reserved;
    if (!beginWrite() || !writeBatch(rows, refills, reserved) || !commitWrite()) return false;
    applyReserved(reserved);
    return true;
}

bool RunJournal::flushLocked() {
    RowBatch rows;
    std::vector<int64_t> refills;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_ok) return false;
        for (auto& entry : m_openRuns) queuePendingLocked(*entry.second);
        takeQueueLocked(rows, refills);
    }
    return commitRows(rows, refills);
}

}  // namespace zanfeld
