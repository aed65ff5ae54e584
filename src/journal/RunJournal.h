#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "JournalRecords.h"
#include "SqliteStatement.h"

struct sqlite3;

namespace zanfeld {

// The record of every sort run, kept in an SQLite database of its own so
// that a run can be undone later and a history window can list past runs.
//
// A journal that cannot be opened or written never stops a run: after the
// first failure every call does nothing (ids come back as 0, lists empty),
// ok() turns false, and the run goes on without a record. No exception
// leaves a method. All methods may be called from any thread.
//
// What a killed process leaves: each intend() commits the placement's
// intent together with the outcome of the placement before it (and any
// folders made since), before the file is touched. So after a SIGKILL at
// any moment the journal holds every placement whose intend() returned, all
// of them settled except at most the last, which has only its intent; undo
// looks at the disk for that one. A power loss may lose a tail of the
// journal (synchronous=NORMAL), never corrupt it.
class RunJournal {
  public:
    // The schema this program writes (PRAGMA user_version).
    static constexpr int kSchemaVersion = 1;

    RunJournal() = default;
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // $XDG_STATE_HOME/Zanfeld/journal.sqlite, or ~/.local/state/... when
    // XDG_STATE_HOME is unset, empty or relative; "" when there is no home.
    static std::string DefaultPath();

    // Opens the journal at path, making missing folders (0700) and the
    // database. Returns 0 or an errno-like error, which ok() and error()
    // then tell. A file there that is not a journal (not SQLite, or
    // SQLite with tables of something else) is never overwritten: it is
    // renamed to <path>.broken-<UTC time> and a new journal begun. A
    // journal written by a newer program (higher schema) is left alone and
    // this one runs without a journal (ENOTSUP).
    int open(const std::string& path);
    // Commits what is pending and closes; calls after this do nothing.
    void close();

    bool ok() const { return m_ok.load(); }
    // The first failure's errno-like code, 0 while ok.
    int error() const { return m_error.load(); }
    // Where open() moved a file that was not a journal, "" when it did not.
    std::string movedAside() const;

    // Records a run's start (committed at once) and returns its id, 0 when
    // the journal is off. run.id, end and counts are ignored.
    int64_t beginRun(const JournalRun& run);
    // Records that source is about to be placed at target, committed before
    // it returns together with the outcome of the run's previous placement.
    // Returns the placement's id, 0 when the journal is off.
    int64_t intend(int64_t run, const std::string& source, const std::string& target, int mode);
    // The outcome of a placement; it reaches the disk with the next intend(),
    // endRun() or read.
    void done(int64_t placement, const PlacementOutcome& outcome);
    // A folder the run made, for undo to remove when it is empty; it
    // reaches the disk with the next intend() or endRun().
    void madeFolder(int64_t run, const std::string& path);
    // Records how the run ended, and commits.
    void endRun(int64_t run, const JournalEnd& end, const JournalCounts& counts);

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
    int openLocked(const std::string& path);
    int openDatabase(const std::string& path);
    int configure();
    int migrate();
    int prepareStatements();
    int moveAside(const std::string& path);
    void closeLocked();
    void fail(int sqliteCode);
    void failErrno(int error);
    bool ready() const { return m_db != nullptr && m_ok.load(); }
    bool beginWrite();
    bool commitWrite();
    bool exec(const char* sql);
    bool stepDone(SqliteStatement& statement);
    void enterRunMode();
    void leaveRunMode();
    JournalRun readRun(const SqliteStatement& statement) const;

    mutable std::mutex m_mutex;
    std::atomic<bool> m_ok{false};
    std::atomic<int> m_error{0};
    sqlite3* m_db = nullptr;
    std::string m_movedAside;
    bool m_inTransaction = false;
    // Runs begun here and not yet ended: the next sequence number of each.
    std::map<int64_t, int64_t> m_openRuns;

    // One prepared statement per kind of row, kept for the journal's life.
    SqliteStatement m_begin;
    SqliteStatement m_commit;
    SqliteStatement m_insertRun;
    SqliteStatement m_endRun;
    SqliteStatement m_markUndone;
    SqliteStatement m_insertPlacement;
    SqliteStatement m_settlePlacement;
    SqliteStatement m_insertFolder;
    SqliteStatement m_selectRuns;
    SqliteStatement m_selectUndoable;
    SqliteStatement m_selectRange;
    SqliteStatement m_selectPlacements;
    SqliteStatement m_selectFolders;
    SqliteStatement m_touch;
};

}  // namespace zanfeld
