#include "RunJournal.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "HomeFolder.h"

namespace zanfeld {
namespace {

// Rows are a few hundred bytes: small pages make each commit's WAL frame
// (checksummed and written whole) cheaper. Takes effect on new journals.
constexpr int kPageSize = 1024;
// How long a call waits for another process that has the journal.
constexpr int kBusyTimeoutMs = 3000;
// WAL pages between checkpoints at rest, and while a run goes on. Every
// checkpoint syncs the WAL and the database: during a run they are put off,
// so that a run of a few ten thousand files meets none.
constexpr int kCheckpointPages = 1000;
constexpr int kRunCheckpointPages = 65536;
// The WAL is cut back to this after a checkpoint.
constexpr int64_t kWalSizeLimit = 4 << 20;

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

// A run's placements are found by a range of placement ids rather than by an
// index on run: an index would add a page to every placement's commit.
// first_placement is a lower bound taken when the run begins (ids only
// grow), last_placement an upper bound taken when it ends.
const char* const kRunColumns =
    "id, window, page, mode, policy, output_dir, started_ns, ended_ns, end_kind, end_reason, "
    "placed, skipped, renamed, overwritten, failed, undone_by, undoes";

int64_t NowNs() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

// Makes every missing folder above path's last component, private (0700).
int MakeParentFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) == 0) continue;
        const int error = errno;
        struct stat st {};
        if (error == EEXIST && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        return error == EEXIST ? ENOTDIR : error;
    }
    return 0;
}

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

// Whether the file at path is missing, empty or starts as SQLite's do. A file
// that does not is moved aside before SQLite opens it, so that nothing of
// it (nor of a WAL beside it) is written.
bool LooksLikeSQLite(const std::string& path) {
    static const char kMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                    'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return true;  // missing, or SQLite will say why not
    char head[sizeof kMagic];
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof head)) {
        const ssize_t n = ::read(fd, head + got, sizeof head - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
    }
    ::close(fd);
    if (got < 0) return true;
    return got == 0 || (got == sizeof head && std::memcmp(head, kMagic, sizeof head) == 0);
}

// A name for a file that is moved aside: <path>.broken-20240131T120000Z.
std::string BrokenName(const std::string& path, int attempt) {
    const time_t now = ::time(nullptr);
    struct tm utc {};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    ::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    std::string name = path + ".broken-" + stamp;
    if (attempt > 0) name += "-" + std::to_string(attempt);
    return name;
}

}  // namespace

RunJournal::~RunJournal() { close(); }

std::string RunJournal::DefaultPath() {
    try {
        const char* state = std::getenv("XDG_STATE_HOME");
        if (IsAbsolute(state)) return std::string(state) + "/Zanfeld/journal.sqlite";
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        std::string base = home;
        if (base.back() != '/') base.push_back('/');
        return base + ".local/state/Zanfeld/journal.sqlite";
    } catch (...) {
        return {};
    }
}

int RunJournal::open(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        closeLocked();
        m_error = 0;
        m_movedAside.clear();
        const int error = openLocked(path);
        if (error != 0) failErrno(error);
        return error;
    } catch (...) {
        closeLocked();
        failErrno(ENOMEM);
        return ENOMEM;
    }
}

int RunJournal::openLocked(const std::string& path) {
    if (path.empty()) return ENOENT;
    if (path.front() != '/') return EINVAL;
    if (const int error = MakeParentFolders(path); error != 0) return error;

    int error = LooksLikeSQLite(path) ? openDatabase(path) : EILSEQ;
    if (error == EILSEQ) {
        // Not a journal: keep it under another name and begin anew.
        if (const int moved = moveAside(path); moved != 0) return moved;
        error = openDatabase(path);
    }
    if (error != 0) return error;
    if ((error = prepareStatements()) != 0) return error;
    m_ok = true;
    return 0;
}

int RunJournal::openDatabase(const std::string& path) {
    // Only a plain file is ever opened or moved: a folder, a link or a
    // device under the journal's name is somebody's, not ours.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return S_ISDIR(st.st_mode) ? EISDIR : S_ISLNK(st.st_mode) ? ELOOP : EINVAL;

    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX |
                      SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_PRIVATECACHE;
    const int code = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (code != SQLITE_OK) {
        const int error = ErrnoFromSqlite(m_db, code);
        closeLocked();
        return error;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    int error = configure();
    if (error == 0) error = migrate();
    if (error != 0) closeLocked();
    return error;
}

int RunJournal::configure() {
    const std::string pageSize = "PRAGMA page_size=" + std::to_string(kPageSize);
    sqlite3_exec(m_db, pageSize.c_str(), nullptr, nullptr, nullptr);
    // The first read of the file: a file that is not SQLite fails here.
    sqlite3_stmt* statement = nullptr;
    int code = sqlite3_prepare_v2(m_db, "PRAGMA journal_mode=WAL", -1, &statement, nullptr);
    if (code == SQLITE_OK) code = sqlite3_step(statement);
    bool wal = false;
    if (code == SQLITE_ROW) {
        const unsigned char* mode = sqlite3_column_text(statement, 0);
        wal = mode && std::string(reinterpret_cast<const char*>(mode)) == "wal";
        code = SQLITE_OK;
    }
    const int error = code == SQLITE_OK ? 0 : ErrnoFromSqlite(m_db, code);
    sqlite3_finalize(statement);
    if (IsNotAJournal(code)) return EILSEQ;
    if (error != 0) return error;
    if (!wal) return EIO;

    const std::string rest =
        "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=" + std::to_string(kCheckpointPages) +
        "; PRAGMA journal_size_limit=" + std::to_string(kWalSizeLimit) + ";";
    code = sqlite3_exec(m_db, rest.c_str(), nullptr, nullptr, nullptr);
    return code == SQLITE_OK ? 0 : ErrnoFromSqlite(m_db, code);
}

int RunJournal::migrate() {
    auto version = [this](int& out) {
        sqlite3_stmt* statement = nullptr;
        int code = sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &statement, nullptr);
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
    if (code != SQLITE_OK) return ErrnoFromSqlite(m_db, code);
    if (current == kSchemaVersion) return 0;
    if (current > kSchemaVersion) return ENOTSUP;  // a newer program's: leave it be

    // Another process may be migrating too: look again inside the write lock.
    code = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (code == SQLITE_OK) code = version(current);
    int error = code == SQLITE_OK ? 0 : ErrnoFromSqlite(m_db, code);
    if (IsNotAJournal(code)) error = EILSEQ;
    if (error == 0 && current == 0) {
        // A database without our version must be empty to become a journal:
        // one with tables of its own is something else's.
        sqlite3_stmt* statement = nullptr;
        code =
            sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master", -1, &statement, nullptr);
        if (code == SQLITE_OK) code = sqlite3_step(statement);
        if (code == SQLITE_ROW && sqlite3_column_int(statement, 0) != 0)
            error = EILSEQ;
        else if (code != SQLITE_ROW)
            error = ErrnoFromSqlite(m_db, code);
        sqlite3_finalize(statement);
        if (error == 0) {
            code = sqlite3_exec(m_db, kSchemaV1, nullptr, nullptr, nullptr);
            if (code != SQLITE_OK)
                error = ErrnoFromSqlite(m_db, code);
            else
                current = 1;
        }
    }
    // Later versions add their steps here, each from the one before:
    //   if (error == 0 && current == 1) { ...; current = 2; }
    if (error == 0 && current > kSchemaVersion) error = ENOTSUP;
    if (error == 0) {
        const std::string set = "PRAGMA user_version=" + std::to_string(current);
        code = sqlite3_exec(m_db, set.c_str(), nullptr, nullptr, nullptr);
        if (code == SQLITE_OK) code = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        if (code != SQLITE_OK) error = ErrnoFromSqlite(m_db, code);
    }
    if (error != 0) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    return error;
}

int RunJournal::prepareStatements() {
    const std::string runColumns = kRunColumns;
    const std::string placementColumns =
        "id, seq, source, target, mode, state, result, error, size, mtime_sec, mtime_nsec, "
        "device, inode, trashed_path, trash_info_path, replaced_without_trash";
    const struct {
        SqliteStatement& statement;
        std::string sql;
    } all[] = {
        {m_begin, "BEGIN"},
        {m_commit, "COMMIT"},
        {m_insertRun,
         "INSERT INTO run(window, page, mode, policy, output_dir, started_ns, undoes, "
         "first_placement) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, "
         "(SELECT coalesce(max(id), 0) + 1 FROM placement))"},
        {m_endRun,
         "UPDATE run SET ended_ns = ?2, end_kind = ?3, end_reason = ?4, placed = ?5, "
         "skipped = ?6, renamed = ?7, overwritten = ?8, failed = ?9, "
         "last_placement = (SELECT coalesce(max(id), 0) FROM placement) WHERE id = ?1"},
        {m_markUndone, "UPDATE run SET undone_by = ?2 WHERE id = ?1"},
        {m_insertPlacement,
         "INSERT INTO placement(run, seq, source, target, mode, state) "
         "VALUES(?1, ?2, ?3, ?4, ?5, 0)"},
        {m_settlePlacement,
         "UPDATE placement SET state = ?2, result = ?3, error = ?4, size = ?5, mtime_sec = ?6, "
         "mtime_nsec = ?7, device = ?8, inode = ?9, trashed_path = ?10, trash_info_path = ?11, "
         "replaced_without_trash = ?12 WHERE id = ?1"},
        {m_insertFolder, "INSERT OR IGNORE INTO made_folder(run, path) VALUES(?1, ?2)"},
        {m_selectRuns, "SELECT " + runColumns + " FROM run ORDER BY id DESC LIMIT ?1"},
        {m_selectUndoable,
         "SELECT " + runColumns +
             " FROM run r WHERE undone_by IS NULL AND undoes IS NULL AND EXISTS("
             "SELECT 1 FROM placement p WHERE p.id >= r.first_placement AND "
             "p.id <= coalesce(r.last_placement, 9223372036854775807) AND p.run = r.id AND "
             "p.state IN (0, 1)) ORDER BY id DESC"},
        {m_selectRange, "SELECT first_placement, last_placement FROM run WHERE id = ?1"},
        {m_selectPlacements, "SELECT " + placementColumns +
                                 " FROM placement WHERE id >= ?1 AND id <= ?2 AND run = ?3 "
                                 "ORDER BY id"},
        {m_selectFolders, "SELECT path FROM made_folder WHERE run = ?1 ORDER BY id"},
        {m_touch, "SELECT 1 FROM run LIMIT 1"},
    };
    for (const auto& entry : all) {
        const int code = entry.statement.prepare(m_db, entry.sql);
        if (code != SQLITE_OK) return ErrnoFromSqlite(m_db, code);
    }
    return 0;
}

int RunJournal::moveAside(const std::string& path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string broken = BrokenName(path, attempt);
        // Never over another file: RENAME_NOREPLACE.
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, broken.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        // Its WAL would be replayed into the new journal: it goes along.
        for (const char* suffix : {"-wal", "-shm"}) {
            const std::string from = path + suffix;
            const std::string to = broken + suffix;
            ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        }
        m_movedAside = broken;
        return 0;
    }
    return EEXIST;
}

void RunJournal::close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (ready()) {
            commitWrite();
            if (!m_openRuns.empty()) {
                m_openRuns.clear();
                leaveRunMode();
            }
        }
        closeLocked();
        m_ok = false;
    } catch (...) {
        closeLocked();
        m_ok = false;
    }
}

void RunJournal::closeLocked() {
    for (SqliteStatement* statement :
         {&m_begin, &m_commit, &m_insertRun, &m_endRun, &m_markUndone, &m_insertPlacement,
          &m_settlePlacement, &m_insertFolder, &m_selectRuns, &m_selectUndoable, &m_selectRange,
          &m_selectPlacements, &m_selectFolders, &m_touch})
        statement->finalize();
    if (m_db) sqlite3_close(m_db);
    m_db = nullptr;
    m_inTransaction = false;
    m_openRuns.clear();
}

std::string RunJournal::movedAside() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_movedAside;
}

void RunJournal::fail(int sqliteCode) { failErrno(ErrnoFromSqlite(m_db, sqliteCode)); }

void RunJournal::failErrno(int error) {
    if (m_error.load() == 0) m_error = error != 0 ? error : EIO;
    m_ok = false;
    // What was not committed is dropped with the connection; the runs go on
    // without a journal.
    closeLocked();
}

bool RunJournal::exec(const char* sql) {
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) fail(code);
    return code == SQLITE_OK;
}

bool RunJournal::stepDone(SqliteStatement& statement) {
    const int code = statement.step();
    statement.reset();
    if (code != SQLITE_DONE) {
        fail(code);
        return false;
    }
    return true;
}

bool RunJournal::beginWrite() {
    if (m_inTransaction) return true;
    if (!stepDone(m_begin)) return false;
    m_inTransaction = true;
    return true;
}

bool RunJournal::commitWrite() {
    if (!m_inTransaction) return true;
    m_inTransaction = false;
    if (!stepDone(m_commit)) return false;
    return true;
}

// While runs go on, a connection that is alone on the journal keeps it to
// itself: no file locks and no shared index to update per commit. WAL lets
// that only while no other connection has the file open, so it is tried
// without waiting, and runs share the journal as usual when another has it.
// Checkpoints (with their syncs) are put off during runs of ordinary size.
void RunJournal::enterRunMode() {
    const std::string sql = "PRAGMA wal_autocheckpoint=" + std::to_string(kRunCheckpointPages);
    if (!exec(sql.c_str()) || !exec("PRAGMA locking_mode=EXCLUSIVE")) return;
    sqlite3_busy_timeout(m_db, 0);
    int code = sqlite3_exec(m_db, "BEGIN IMMEDIATE; COMMIT", nullptr, nullptr, nullptr);
    if (!sqlite3_get_autocommit(m_db)) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    if ((code & 0xff) == SQLITE_BUSY) {
        code = sqlite3_exec(m_db, "PRAGMA locking_mode=NORMAL", nullptr, nullptr, nullptr);
    }
    if (code != SQLITE_OK) fail(code);
}

void RunJournal::leaveRunMode() {
    const std::string sql = "PRAGMA locking_mode=NORMAL; PRAGMA wal_autocheckpoint=" +
                            std::to_string(kCheckpointPages) + ";";
    if (!exec(sql.c_str())) return;
    // The exclusive lock goes at the next access of the file.
    const int code = m_touch.step();
    m_touch.reset();
    if (code != SQLITE_ROW && code != SQLITE_DONE) fail(code);
}

int64_t RunJournal::beginRun(const JournalRun& run) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (!ready()) return 0;
        if (m_openRuns.empty()) {
            if (!commitWrite()) return 0;
            enterRunMode();
            if (!ready()) return 0;
        }
        if (!beginWrite()) return 0;
        m_insertRun.bindText(1, run.window == RunWindow::Folders ? "folders" : "files");
        m_insertRun.bindInt(2, run.page);
        m_insertRun.bindInt(3, run.mode);
        m_insertRun.bindInt(4, run.policy);
        m_insertRun.bindBytes(5, run.outputDir);
        m_insertRun.bindInt(6, run.startedNs != 0 ? run.startedNs : NowNs());
        if (run.undoes > 0)
            m_insertRun.bindInt(7, run.undoes);
        else
            m_insertRun.bindNull(7);
        if (!stepDone(m_insertRun)) return 0;
        const int64_t id = sqlite3_last_insert_rowid(m_db);
        if (!commitWrite()) return 0;
        m_openRuns[id] = 1;
        return id;
    } catch (...) {
        failErrno(ENOMEM);
        return 0;
    }
}

int64_t RunJournal::intend(int64_t run, const std::string& source, const std::string& target,
                           int mode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (!ready()) return 0;
        const auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) return 0;
        // One commit per placement: the previous placement's outcome (staged
        // by done()) and this intent go to the disk together, before the file
        // is touched.
        if (!beginWrite()) return 0;
        m_insertPlacement.bindInt(1, run);
        m_insertPlacement.bindInt(2, open->second);
        m_insertPlacement.bindBytes(3, source);
        m_insertPlacement.bindBytes(4, target);
        m_insertPlacement.bindInt(5, mode);
        if (!stepDone(m_insertPlacement)) return 0;
        const int64_t id = sqlite3_last_insert_rowid(m_db);
        if (!commitWrite()) return 0;
        ++open->second;
        return id;
    } catch (...) {
        failErrno(ENOMEM);
        return 0;
    }
}

void RunJournal::done(int64_t placement, const PlacementOutcome& outcome) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (!ready() || placement <= 0) return;
        if (!beginWrite()) return;
        SqliteStatement& s = m_settlePlacement;
        s.bindInt(1, placement);
        s.bindInt(2, static_cast<int>(outcome.state));
        s.bindInt(3, static_cast<int>(outcome.result));
        s.bindInt(4, outcome.error);
        s.bindInt(5, outcome.size);
        s.bindInt(6, outcome.mtimeSec);
        s.bindInt(7, outcome.mtimeNsec);
        // SQLite integers are signed: the unsigned numbers keep their bits.
        s.bindInt(8, static_cast<int64_t>(outcome.device));
        s.bindInt(9, static_cast<int64_t>(outcome.inode));
        s.bindBytesOrNull(10, outcome.trashedPath);
        s.bindBytesOrNull(11, outcome.trashInfoPath);
        s.bindInt(12, outcome.replacedWithoutTrash ? 1 : 0);
        stepDone(s);
    } catch (...) {
        failErrno(ENOMEM);
    }
}

void RunJournal::madeFolder(int64_t run, const std::string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (!ready() || run <= 0) return;
        if (!beginWrite()) return;
        m_insertFolder.bindInt(1, run);
        m_insertFolder.bindBytes(2, path);
        stepDone(m_insertFolder);
    } catch (...) {
        failErrno(ENOMEM);
    }
}

void RunJournal::endRun(int64_t run, const JournalEnd& end, const JournalCounts& counts) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (!ready() || run <= 0) return;
        if (!beginWrite()) return;
        SqliteStatement& s = m_endRun;
        s.bindInt(1, run);
        s.bindInt(2, NowNs());
        s.bindInt(3, static_cast<int>(end.kind));
        s.bindBytesOrNull(4, end.reason);
        s.bindInt(5, counts.placed);
        s.bindInt(6, counts.skipped);
        s.bindInt(7, counts.renamed);
        s.bindInt(8, counts.overwritten);
        s.bindInt(9, counts.failed);
        if (!stepDone(s) || !commitWrite()) return;
        if (m_openRuns.erase(run) != 0 && m_openRuns.empty()) leaveRunMode();
    } catch (...) {
        failErrno(ENOMEM);
    }
}

void RunJournal::markUndone(int64_t run, int64_t undoRun) {
    std::lock_guard<std::mutex> lock(m_mutex);
    try {
        if (!ready() || run <= 0) return;
        if (!beginWrite()) return;
        m_markUndone.bindInt(1, run);
        m_markUndone.bindInt(2, undoRun);
        if (stepDone(m_markUndone)) commitWrite();
    } catch (...) {
        failErrno(ENOMEM);
    }
}

JournalRun RunJournal::readRun(const SqliteStatement& s) const {
    JournalRun run;
    run.id = s.intAt(0);
    run.window = s.bytesAt(1) == "folders" ? RunWindow::Folders : RunWindow::Files;
    run.page = static_cast<int>(s.intAt(2));
    run.mode = static_cast<int>(s.intAt(3));
    run.policy = static_cast<int>(s.intAt(4));
    run.outputDir = s.bytesAt(5);
    run.startedNs = s.intAt(6);
    run.endedNs = s.isNull(7) ? 0 : s.intAt(7);
    if (!s.isNull(8)) run.end = JournalEnd{static_cast<JournalEndKind>(s.intAt(8)), s.bytesAt(9)};
    run.counts.placed = s.intAt(10);
    run.counts.skipped = s.intAt(11);
    run.counts.renamed = s.intAt(12);
    run.counts.overwritten = s.intAt(13);
    run.counts.failed = s.intAt(14);
    run.undoneBy = s.isNull(15) ? 0 : s.intAt(15);
    run.undoes = s.isNull(16) ? 0 : s.intAt(16);
    return run;
}

std::vector<JournalRun> RunJournal::runs(size_t limit) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<JournalRun> result;
    try {
        if (!ready() || !commitWrite()) return result;
        m_selectRuns.bindInt(1, limit == 0 ? -1 : static_cast<int64_t>(limit));
        int code;
        while ((code = m_selectRuns.step()) == SQLITE_ROW) result.push_back(readRun(m_selectRuns));
        m_selectRuns.reset();
        if (code != SQLITE_DONE) fail(code);
    } catch (...) {
        m_selectRuns.reset();
        failErrno(ENOMEM);
    }
    return result;
}

std::vector<JournalPlacement> RunJournal::placements(int64_t run) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<JournalPlacement> result;
    try {
        if (!ready() || !commitWrite()) return result;
        m_selectRange.bindInt(1, run);
        int code = m_selectRange.step();
        int64_t first = 0;
        int64_t last = std::numeric_limits<int64_t>::max();
        if (code == SQLITE_ROW) {
            first = m_selectRange.intAt(0);
            if (!m_selectRange.isNull(1)) last = m_selectRange.intAt(1);
        }
        m_selectRange.reset();
        if (code == SQLITE_DONE) return result;  // no such run
        if (code != SQLITE_ROW) {
            fail(code);
            return result;
        }
        SqliteStatement& s = m_selectPlacements;
        s.bindInt(1, first);
        s.bindInt(2, last);
        s.bindInt(3, run);
        while ((code = s.step()) == SQLITE_ROW) {
            JournalPlacement p;
            p.id = s.intAt(0);
            p.run = run;
            p.seq = s.intAt(1);
            p.source = s.bytesAt(2);
            p.target = s.bytesAt(3);
            p.mode = static_cast<int>(s.intAt(4));
            PlacementOutcome& o = p.outcome;
            o.state = static_cast<PlacementState>(s.intAt(5));
            if (o.state == PlacementState::Intended) {
                o = PlacementOutcome{};
                o.state = PlacementState::Intended;
                o.result = PlacementResult::None;
            } else {
                o.result = static_cast<PlacementResult>(s.intAt(6));
                o.error = static_cast<int>(s.intAt(7));
                o.size = s.intAt(8);
                o.mtimeSec = s.intAt(9);
                o.mtimeNsec = s.intAt(10);
                o.device = static_cast<uint64_t>(s.intAt(11));
                o.inode = static_cast<uint64_t>(s.intAt(12));
                o.trashedPath = s.bytesAt(13);
                o.trashInfoPath = s.bytesAt(14);
                o.replacedWithoutTrash = s.intAt(15) != 0;
            }
            result.push_back(std::move(p));
        }
        s.reset();
        if (code != SQLITE_DONE) fail(code);
    } catch (...) {
        m_selectRange.reset();
        m_selectPlacements.reset();
        failErrno(ENOMEM);
    }
    return result;
}

std::vector<std::string> RunJournal::madeFolders(int64_t run) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> result;
    try {
        if (!ready() || !commitWrite()) return result;
        m_selectFolders.bindInt(1, run);
        int code;
        while ((code = m_selectFolders.step()) == SQLITE_ROW)
            result.push_back(m_selectFolders.bytesAt(0));
        m_selectFolders.reset();
        if (code != SQLITE_DONE) fail(code);
    } catch (...) {
        m_selectFolders.reset();
        failErrno(ENOMEM);
    }
    return result;
}

std::optional<JournalRun> RunJournal::lastUndoableRun() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::optional<JournalRun> result;
    try {
        if (!ready() || !commitWrite()) return result;
        int code;
        while ((code = m_selectUndoable.step()) == SQLITE_ROW) {
            const int64_t id = m_selectUndoable.intAt(0);
            if (m_openRuns.count(id) != 0) continue;  // still going here
            result = readRun(m_selectUndoable);
            code = SQLITE_DONE;
            break;
        }
        m_selectUndoable.reset();
        if (code != SQLITE_DONE) fail(code);
    } catch (...) {
        m_selectUndoable.reset();
        failErrno(ENOMEM);
    }
    return result;
}

}  // namespace zanfeld
