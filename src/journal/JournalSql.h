#pragma once

#include "JournalRecords.h"
#include "SqliteStatement.h"

struct sqlite3;

namespace zanfeld {

// What the parts of the journal share in speaking to SQLite.

// The errno-like code for an SQLite result code (db may be null).
int ErrnoFromSqlite(sqlite3* db, int code);
// Whether code says the file is not a database, or a damaged one.
bool IsNotAJournal(int code);
// Binds an outcome's twelve columns from index first on (the placement's id
// is bound by the caller).
void BindOutcome(SqliteStatement& s, int first, const PlacementOutcome& outcome);

}  // namespace zanfeld
