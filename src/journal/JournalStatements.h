#pragma once

#include "SqliteStatement.h"

struct sqlite3;

namespace zanfeld {

// The journal's prepared statements, one per kind of row, kept for the
// connection's life. Their SQL is all in JournalStatements.cpp.
struct JournalStatements {
    SqliteStatement begin;
    SqliteStatement commit;
    SqliteStatement nextFreeId;
    SqliteStatement insertRun;
    SqliteStatement reserve;
    SqliteStatement endRun;
    SqliteStatement markUndone;
    SqliteStatement insertPlacement;
    SqliteStatement settlePlacement;
    SqliteStatement insertFolder;
    SqliteStatement replayPlacement;
    SqliteStatement replaySettle;
    SqliteStatement coverPlacements;
    SqliteStatement selectRunStart;
    SqliteStatement selectRuns;
    SqliteStatement selectUndoable;
    SqliteStatement selectRange;
    SqliteStatement selectPlacements;
    SqliteStatement selectFolders;

    // Prepares every statement on db. Returns an SQLite result code: the
    // first failure's, or SQLITE_OK.
    int prepare(sqlite3* db);
    void finalize();
};

}  // namespace zanfeld
