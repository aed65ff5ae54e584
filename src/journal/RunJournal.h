#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "JournalRecords.h"
#include "JournalSchema.h"
#include "JournalStatements.h"
#include "RunLog.h"
#include "RunLogRecord.h"
#include "SqliteStatement.h"

struct sqlite3;

namespace zanfeld {

// The record of every sort run, kept in an SQLite database of its own so
// that a run can be undone later and a history window can list past runs.
//
// A journal that cannot be opened or written never stops a run: after the
// first failure every call does nothing (ids come back as 0, lists empty),
// ok() turns false, and the run goes on without a record. No exception
// leaves a method. All methods may be called from any thread; the calls of
// one run come from one thread.
//
// What a killed process leaves: each intend() appends to the run's log
// (RunLog) the placement's intent together with the outcome of the
// placement before it (and any folders made since), in one write() before
// the file is touched. The database follows in batches, written by a thread
// of the journal's own, so that a placement costs the run a write() rather
// than a commit. The next open() replays the logs of killed runs. So after a
// SIGKILL at any moment the journal holds every placement whose intend()
// returned, all of them settled except at most the last, which has only its
// intent; undo looks at the disk for that one. A power loss may lose a tail
// of the journal (synchronous=NORMAL, logs not synced), never corrupt it.
class RunJournal {
  public:
    // The schema this program writes (PRAGMA user_version).
    static constexpr int kSchemaVersion = JournalSchema::kVersion;

    RunJournal() = default;
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // $XDG_STATE_HOME/Zanfeld/journal.sqlite, or ~/.local/state/... when
    // XDG_STATE_HOME is unset, empty or relative; "" when there is no home.
    static std::string DefaultPath();

    // Opens the journal at path, making missing folders (0700) and the
    // database, and replays the logs of runs whose process is gone (a log
    // still locked is a live run's, and is left alone). Returns 0 or an
    // errno-like error, which ok() and error() then tell. A file there that
    // is not a journal (not SQLite, or SQLite with tables of something else)
    // is never overwritten: it is renamed to <path>.broken-<UTC time> and a
    // new journal begun. A journal written by a newer program (higher
    // schema) is left alone and this one runs without a journal (ENOTSUP).
    int open(const std::string& path);
    // Commits what is pending and closes; calls after this do nothing. Runs
    // still going are left without an end, as a kill leaves them.
    void close();

    bool ok() const { return m_ok.load(); }
    // The first failure's errno-like code, 0 while ok.
    int error() const { return m_error.load(); }
    // Where open() moved a file that was not a journal, "" when it did not.
    std::string movedAside() const;

    // Records a run's start (committed at once) and returns its id, 0 when
    // the journal is off. run.id, end and counts are ignored.
    int64_t beginRun(const JournalRun& run);
    // Records that source is about to be placed at target: in the run's log
    // before it returns, together with the outcome of the run's previous
    // placement. Returns the placement's id, 0 when the journal is off.
    // undoes: for a step of an undo run, the placement it puts back.
    int64_t intend(int64_t run, const std::string& source, const std::string& target, int mode,
                   int64_t undoes = 0);
    // The outcome of a placement; it reaches the disk with the next intend(),
    // endRun() or read.
    void done(int64_t placement, PlacementOutcome outcome);
    // The same, in the run's log before it returns: what a placement has
    // arranged (a replaced file's place in the Trash) before the step that a
    // killed process could leave half done.
    void doneNow(int64_t placement, const PlacementOutcome& outcome);
    // A folder the run made, for undo to remove when it is empty; in the
    // run's log before this returns.
    void madeFolder(int64_t run, const std::string& path);
    // Records how the run ended, commits everything of the run, and removes
    // its log. undone: for an undo run that put back all it could, the run
    // it undid, noted as markUndone() does in the same commit.
    void endRun(int64_t run, const JournalEnd& end, const JournalCounts& counts,
                int64_t undone = 0);

    // Reads see everything recorded so far: they commit what waits first.
    // The newest runs first; limit 0 means all of them.
    std::vector<JournalRun> runs(size_t limit);
    // A run's placements in the order they were intended.
    std::vector<JournalPlacement> placements(int64_t run);
    // The folders a run made, in the order it made them.
    std::vector<std::string> madeFolders(int64_t run);
    // Notes that undoRun put run back.
    void markUndone(int64_t run, int64_t undoRun);
    // The newest run that can still be undone: not undone, not itself an
    // undo run, not going on in this journal, and with at least one
    // placement that is done or in doubt.
    std::optional<JournalRun> lastUndoableRun();

  private:
    // Where each part is: RunJournal.cpp opens, closes and fails;
    // RunJournalWrites.cpp has a run's calls, RunJournalWriter.cpp the writer
    // thread and its queue, RunJournalIds.cpp the placement ids and
    // RunJournalQueries.cpp the reads. The tables are JournalSchema's, the
    // SQL JournalStatements', and the replay of killed runs' logs
    // JournalLogReplay's; the sizes and timings are in JournalTuning.h.

    // Placement ids a run may hand out without asking the database: a block
    // is reserved in the run's row (last_placement) before any id of it is
    // used, so that other processes on the same journal take ids above it.
    struct IdRange {
        int64_t first = 0;
        int64_t last = 0;
    };

    // A run begun here and not yet ended.
    struct OpenRun {
        int64_t id = 0;
        int64_t startedNs = 0;
        int64_t nextSeq = 1;
        int64_t firstId = 0;
        int64_t lastId = 0;  // the newest placement handed out, 0 before the first
        std::vector<IdRange> ranges;
        size_t range = 0;  // the range nextId is taken from
        int64_t nextId = 0;
        bool refillAsked = false;
        // Waiting for the next record of the log (or for a read).
        std::vector<LoggedOutcome> pending;
        std::vector<std::string> pendingFolders;
        // Where the newest placement's row waits in the queue, to take its
        // outcome into the same INSERT.
        size_t queuedIndex = 0;
        uint64_t queuedGeneration = 0;
        RunLog log;
        std::string record;  // kept for its capacity

        bool hasId();
        int64_t idsLeft() const;
        bool owns(int64_t placement) const;
    };

    // A row waiting for the writer. Its paths are in its batch's text.
    struct QueuedRow {
        enum class Kind { Placement, Outcome, Folder };
        Kind kind = Kind::Placement;
        bool settled = false;  // a Placement with its outcome
        int64_t id = 0;
        int64_t run = 0;
        int64_t seq = 0;
        int mode = 0;
        int64_t undoes = 0;
        size_t textAt = 0;      // where its source (a Folder's path) begins
        size_t sourceSize = 0;  // the target follows the source
        size_t targetSize = 0;
        PlacementOutcome outcome;
    };

    // The rows that wait together, their paths one after another in one
    // string: queuing a row copies its paths without an allocation of its
    // own once the buffers have grown, and the writer, which swaps the
    // batch for its empty one, hands the buffers back for reuse.
    class RowBatch {
      public:
        QueuedRow& add(QueuedRow::Kind kind, std::string_view source = {},
                       std::string_view target = {});
        std::string_view source(const QueuedRow& row) const {
            return std::string_view(m_text).substr(row.textAt, row.sourceSize);
        }
        std::string_view target(const QueuedRow& row) const {
            return std::string_view(m_text).substr(row.textAt + row.sourceSize, row.targetSize);
        }
        bool empty() const { return m_rows.empty(); }
        size_t size() const { return m_rows.size(); }
        QueuedRow& operator[](size_t i) { return m_rows[i]; }
        auto begin() const { return m_rows.begin(); }
        auto end() const { return m_rows.end(); }
        void clear() {
            m_rows.clear();
            m_text.clear();
        }
        void swap(RowBatch& other) noexcept {
            m_rows.swap(other.m_rows);
            m_text.swap(other.m_text);
        }

      private:
        std::vector<QueuedRow> m_rows;
        std::string m_text;
    };

    int openLocked(const std::string& path);
    int openDatabase(const std::string& path);
    int configure();
    int moveAside(const std::string& path);
    void closeDatabase();
    void startWriter();
    void stopWriter();
    void writerLoop();

    // With m_dbMutex held.
    void failDb(int sqliteCode);
    void failDbErrno(int error);
    bool ready() const { return m_db != nullptr && m_ok.load(); }
    bool exec(const char* sql);
    bool stepDone(SqliteStatement& statement);
    bool beginWrite();
    bool commitWrite();
    bool flushLocked();
    bool commitRows(const RowBatch& rows, const std::vector<int64_t>& refills);
    bool writeBatch(const RowBatch& rows, const std::vector<int64_t>& refills,
                    std::vector<std::pair<int64_t, IdRange>>& reserved);
    void applyReserved(const std::vector<std::pair<int64_t, IdRange>>& reserved);
    bool nextFreeId(int64_t& id);
    bool reserveIds(int64_t run, IdRange& ids);
    void enterRunMode();
    void leaveRunMode();
    JournalRun readRun(const SqliteStatement& statement) const;

    // With m_mutex held.
    void failLocked(int error);
    void queuePendingLocked(OpenRun& run);
    // The outcomes and folders that wait, to the run's log at once (with the
    // mutex held), and queued for the database.
    void writeSettledLocked(OpenRun& run);
    void takeQueueLocked(RowBatch& rows, std::vector<int64_t>& refills);
    OpenRun* ownerLocked(int64_t placement);

    void markFailed(int error);
    // Takes m_dbMutex itself: intend() calls it holding no lock.
    bool reserveNow(int64_t run);

    // Lock order: m_dbMutex, then m_mutex. m_dbMutex has the connection and
    // its statements; m_mutex the runs, the queue and the logs, and is only
    // held for moments, so that a run never waits for SQLite.
    mutable std::mutex m_dbMutex;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;     // the writer waits for rows
    std::condition_variable m_drained;  // a run waits for the writer to take rows
    std::thread m_writer;
    bool m_stopWriter = false;
    bool m_writerAsleep = false;
    bool m_batchCalled = false;  // the writer was woken for the rows that wait
    std::atomic<bool> m_ok{false};
    std::atomic<int> m_error{0};
    sqlite3* m_db = nullptr;
    std::string m_path;
    std::string m_movedAside;
    std::map<int64_t, std::unique_ptr<OpenRun>> m_openRuns;
    RowBatch m_queue;
    uint64_t m_queueGeneration = 1;
    std::vector<int64_t> m_refills;  // runs that asked for more ids

    // One prepared statement per kind of row, kept for the journal's life.
    JournalStatements m_sql;
};

}  // namespace zanfeld
