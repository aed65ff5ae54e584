#include "JournalStatements.h"

#include <sqlite3.h>

#include <string>

namespace zanfeld {
namespace {

// A run's placements are found by a range of placement ids rather than by an
// index on run: an index would add a page to every placement's commit.
// first_placement is the first id reserved when the run begins (ids only
// grow). While the run goes on, last_placement is the end of the ids
// reserved for it, so that no other run takes them; when it ends, its last
// placement. Either way an upper bound. RunJournal::readRun() reads the
// columns in this order.
const char* const kRunColumns =
    "id, window, page, mode, policy, output_dir, started_ns, ended_ns, end_kind, end_reason, "
    "placed, skipped, renamed, overwritten, failed, undone_by, undoes, automatic";

}  // namespace

int JournalStatements::prepare(sqlite3* db) {
    const std::string runColumns = kRunColumns;
    // RunJournal::placements() reads them in this order.
    const std::string placementColumns =
        "id, seq, source, target, mode, state, result, error, size, mtime_sec, mtime_nsec, "
        "device, inode, trashed_path, trash_info_path, replaced_without_trash, placed_target, "
        "undoes";
    const std::string settle =
        "UPDATE placement SET state = ?2, result = ?3, error = ?4, size = ?5, mtime_sec = ?6, "
        "mtime_nsec = ?7, device = ?8, inode = ?9, trashed_path = ?10, trash_info_path = ?11, "
        "replaced_without_trash = ?12, placed_target = ?13 WHERE id = ?1";
    const struct {
        SqliteStatement& statement;
        std::string sql;
    } all[] = {
        // Every write takes the write lock at once: a deferred one that
        // reads first could not wait for another process's commit.
        {begin, "BEGIN IMMEDIATE"},
        {commit, "COMMIT"},
        // Above every placement and every block reserved by a run.
        {nextFreeId,
         "SELECT max(coalesce((SELECT max(id) FROM placement), 0), "
         "coalesce((SELECT max(last_placement) FROM run), 0)) + 1"},
        {insertRun,
         "INSERT INTO run(window, page, mode, policy, output_dir, started_ns, undoes, "
         "first_placement, last_placement, automatic) "
         "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"},
        {reserve, "UPDATE run SET last_placement = ?2 WHERE id = ?1"},
        {endRun,
         "UPDATE run SET ended_ns = ?2, end_kind = ?3, end_reason = ?4, placed = ?5, "
         "skipped = ?6, renamed = ?7, overwritten = ?8, failed = ?9, "
         "last_placement = coalesce(?10, (SELECT coalesce(max(id), 0) FROM placement)) "
         "WHERE id = ?1"},
        {markUndone, "UPDATE run SET undone_by = ?2 WHERE id = ?1"},
        {insertPlacement,
         "INSERT INTO placement(id, run, seq, source, target, mode, state, result, error, size, "
         "mtime_sec, mtime_nsec, device, inode, trashed_path, trash_info_path, "
         "replaced_without_trash, placed_target, undoes) "
         "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, "
         "?19)"},
        {settlePlacement, settle},
        {insertFolder, "INSERT OR IGNORE INTO made_folder(run, path) VALUES(?1, ?2)"},
        // A log replayed again (its process killed after the commit of some
        // of it, or the replay itself cut short) leaves what is there.
        {replayPlacement,
         "INSERT OR IGNORE INTO placement(id, run, seq, source, target, mode, state, undoes) "
         "VALUES(?1, ?2, ?3, ?4, ?5, ?6, 0, ?7)"},
        {replaySettle, settle + " AND run = ?14"},
        {coverPlacements,
         "UPDATE run SET last_placement = ?2 WHERE id = ?1 AND last_placement < ?2"},
        {selectRunStart, "SELECT started_ns FROM run WHERE id = ?1"},
        {selectRuns, "SELECT " + runColumns + " FROM run ORDER BY id DESC LIMIT ?1"},
        {selectUndoable,
         "SELECT " + runColumns +
             " FROM run r WHERE undone_by IS NULL AND undoes IS NULL AND (EXISTS("
             "SELECT 1 FROM placement p WHERE p.id >= r.first_placement AND "
             "p.id <= coalesce(r.last_placement, 9223372036854775807) AND p.run = r.id AND "
             "p.state IN (0, 1)) OR EXISTS(SELECT 1 FROM made_folder f WHERE f.run = r.id)) "
             "ORDER BY id DESC"},
        {selectRange, "SELECT first_placement, last_placement FROM run WHERE id = ?1"},
        {selectPlacements, "SELECT " + placementColumns +
                               " FROM placement WHERE id >= ?1 AND id <= ?2 AND run = ?3 "
                               "ORDER BY id"},
        {selectFolders, "SELECT path FROM made_folder WHERE run = ?1 ORDER BY id"},
    };
    for (const auto& entry : all) {
        const int code = entry.statement.prepare(db, entry.sql);
        if (code != SQLITE_OK) return code;
    }
    return SQLITE_OK;
}

void JournalStatements::finalize() {
    for (SqliteStatement* statement :
         {&begin, &commit, &nextFreeId, &insertRun, &reserve, &endRun, &markUndone,
          &insertPlacement, &settlePlacement, &insertFolder, &replayPlacement, &replaySettle,
          &coverPlacements, &selectRunStart, &selectRuns, &selectUndoable, &selectRange,
          &selectPlacements, &selectFolders})
        statement->finalize();
}

}  // namespace zanfeld
