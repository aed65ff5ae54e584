#pragma once

#include <string>

#include "JournalStatements.h"

struct sqlite3;

namespace zanfeld {

// Puts what the logs of killed runs hold into the journal's database, when
// the journal is opened. A log still locked is a live run's and is left
// alone; one that names a run of another journal (one moved aside) too.
class JournalLogReplay {
  public:
    JournalLogReplay(sqlite3* db, JournalStatements& sql) : m_db(db), m_sql(sql) {}

    // Replays every log left beside the journal at path. Returns 0 or an
    // errno-like error.
    int recoverLogs(const std::string& path);

  private:
    int replayLog(int folder, const char* name);

    sqlite3* m_db;
    JournalStatements& m_sql;
};

}  // namespace zanfeld
