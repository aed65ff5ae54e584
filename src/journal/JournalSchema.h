#pragma once

struct sqlite3;

namespace zanfeld {

// The journal's tables, and the steps that bring an older journal up to
// this program's schema. A new version adds its SQL and a step in migrate().
class JournalSchema {
  public:
    // The schema this program writes (PRAGMA user_version).
    static constexpr int kVersion = 3;

    // Makes the tables in an empty database, or brings an older journal up
    // to kVersion, inside one write transaction. Returns 0 or an errno-like
    // error: EILSEQ for a database that is not a journal (not SQLite, or
    // tables of something else), ENOTSUP for a newer program's journal,
    // which is left as it is.
    static int migrate(sqlite3* db);
};

}  // namespace zanfeld
