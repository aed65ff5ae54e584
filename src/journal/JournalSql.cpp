#include "JournalSql.h"

#include <sqlite3.h>

#include <cerrno>

namespace zanfeld {

int ErrnoFromSqlite(sqlite3* db, int code) {
    switch (code & 0xff) {
        case SQLITE_FULL:
            return ENOSPC;
        case SQLITE_READONLY:
            return EROFS;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return EBUSY;
        case SQLITE_NOMEM:
            return ENOMEM;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return EILSEQ;
        default:
            break;
    }
    // An I/O error or a file that cannot be opened: the system's own word.
    if (db) {
        const int system = sqlite3_system_errno(db);
        if (system != 0) return system;
    }
    return (code & 0xff) == SQLITE_CANTOPEN || (code & 0xff) == SQLITE_PERM ? EACCES : EIO;
}

bool IsNotAJournal(int code) {
    return (code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT;
}

void BindOutcome(SqliteStatement& s, int first, const PlacementOutcome& outcome) {
    s.bindInt(first, static_cast<int>(outcome.state));
    s.bindInt(first + 1, static_cast<int>(outcome.result));
    s.bindInt(first + 2, outcome.error);
    s.bindInt(first + 3, outcome.size);
    s.bindInt(first + 4, outcome.mtimeSec);
    s.bindInt(first + 5, outcome.mtimeNsec);
    // SQLite integers are signed: the unsigned numbers keep their bits.
    s.bindInt(first + 6, static_cast<int64_t>(outcome.device));
    s.bindInt(first + 7, static_cast<int64_t>(outcome.inode));
    s.bindBytesOrNull(first + 8, outcome.trashedPath);
    s.bindBytesOrNull(first + 9, outcome.trashInfoPath);
    s.bindInt(first + 10, outcome.replacedWithoutTrash ? 1 : 0);
    s.bindBytesOrNull(first + 11, outcome.placedTarget);
}

}  // namespace zanfeld
