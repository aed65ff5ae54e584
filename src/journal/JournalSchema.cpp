#include "JournalSchema.h"

#include <sqlite3.h>

#include <cerrno>
#include <string>

#include "JournalSql.h"

namespace zanfeld {
namespace {

// No CHECK constraints on placement: one makes SQLite keep a statement
// journal for every update, which doubled the cost of a placement.
const char* const kSchemaV1 = R"sql(
CREATE TABLE run(
    id INTEGER PRIMARY KEY,
    window TEXT NOT NULL CHECK (window IN ('files', 'folders')),
    page INTEGER NOT NULL,
    mode INTEGER NOT NULL,
    policy INTEGER NOT NULL,
    output_dir BLOB NOT NULL,
    started_ns INTEGER NOT NULL,
    ended_ns INTEGER,
    end_kind INTEGER CHECK (end_kind IN (0, 1, 2)),
    end_reason BLOB,
    placed INTEGER,
    skipped INTEGER,
    renamed INTEGER,
    overwritten INTEGER,
    failed INTEGER,
    undone_by INTEGER REFERENCES run(id),
    undoes INTEGER REFERENCES run(id),
    first_placement INTEGER NOT NULL,
    last_placement INTEGER
);
CREATE TABLE placement(
    id INTEGER PRIMARY KEY,
    run INTEGER NOT NULL REFERENCES run(id),
    seq INTEGER NOT NULL,
    source BLOB NOT NULL,
    target BLOB NOT NULL,
    mode INTEGER NOT NULL,
    state INTEGER NOT NULL,
    result INTEGER,
    error INTEGER,
    size INTEGER,
    mtime_sec INTEGER,
    mtime_nsec INTEGER,
    device INTEGER,
    inode INTEGER,
    trashed_path BLOB,
    trash_info_path BLOB,
    replaced_without_trash INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE made_folder(
    id INTEGER PRIMARY KEY,
    run INTEGER NOT NULL REFERENCES run(id),
    path BLOB NOT NULL,
    UNIQUE (run, path)
);
)sql";

// Version 2: the name a placement really took (a numbered one) and, for an
// undo run's steps, the placement each puts back.
const char* const kSchemaV2Steps = R"sql(
ALTER TABLE placement ADD COLUMN placed_target BLOB;
ALTER TABLE placement ADD COLUMN undoes INTEGER;
)sql";

// Version 3: runs the watcher made by itself, with nobody at the window.
const char* const kSchemaV3Steps = R"sql(
ALTER TABLE run ADD COLUMN automatic INTEGER NOT NULL DEFAULT 0;
)sql";

}  // namespace

int JournalSchema::migrate(sqlite3* db) {
    auto version = [db](int& out) {
        sqlite3_stmt* statement = nullptr;
        int code = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
        if (code == SQLITE_OK) code = sqlite3_step(statement);
        if (code == SQLITE_ROW) {
            out = sqlite3_column_int(statement, 0);
            code = SQLITE_OK;
        }
        sqlite3_finalize(statement);
        return code;
    };
    int current = 0;
    int code = version(current);
    if (IsNotAJournal(code)) return EILSEQ;
    if (code != SQLITE_OK) return ErrnoFromSqlite(db, code);
    if (current == kVersion) return 0;
    if (current > kVersion) return ENOTSUP;  // a newer program's: leave it be

    // Another process may be migrating too: look again inside the write lock.
    code = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code == SQLITE_OK) code = version(current);
    int error = code == SQLITE_OK ? 0 : ErrnoFromSqlite(db, code);
    if (IsNotAJournal(code)) error = EILSEQ;
    if (error == 0 && current == 0) {
        // A database without our version must be empty to become a journal:
        // one with tables of its own is something else's.
        sqlite3_stmt* statement = nullptr;
        code =
            sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr);
        if (code == SQLITE_OK) code = sqlite3_step(statement);
        if (code == SQLITE_ROW && sqlite3_column_int(statement, 0) != 0)
            error = EILSEQ;
        else if (code != SQLITE_ROW)
            error = ErrnoFromSqlite(db, code);
        sqlite3_finalize(statement);
        if (error == 0) {
            code = sqlite3_exec(db, kSchemaV1, nullptr, nullptr, nullptr);
            if (code != SQLITE_OK)
                error = ErrnoFromSqlite(db, code);
            else
                current = 1;
        }
    }
    // Later versions add their steps here, each from the one before.
    if (error == 0 && current == 1) {
        code = sqlite3_exec(db, kSchemaV2Steps, nullptr, nullptr, nullptr);
        if (code != SQLITE_OK)
            error = ErrnoFromSqlite(db, code);
        else
            current = 2;
    }
    if (error == 0 && current == 2) {
        code = sqlite3_exec(db, kSchemaV3Steps, nullptr, nullptr, nullptr);
        if (code != SQLITE_OK)
            error = ErrnoFromSqlite(db, code);
        else
            current = 3;
    }
    if (error == 0 && current > kVersion) error = ENOTSUP;
    if (error == 0) {
        const std::string set = "PRAGMA user_version=" + std::to_string(current);
        code = sqlite3_exec(db, set.c_str(), nullptr, nullptr, nullptr);
        if (code == SQLITE_OK) code = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        if (code != SQLITE_OK) error = ErrnoFromSqlite(db, code);
    }
    if (error != 0) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return error;
}

}  // namespace zanfeld
