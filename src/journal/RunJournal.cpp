#include "RunJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

#include "HomeFolder.h"
#include "RunLogFormat.h"
#include "RunLogReader.h"

namespace zanfeld {
namespace {

// Rows are a few hundred bytes: small pages make each commit's WAL frame
// (checksummed and written whole) cheaper. Takes effect on new journals.
constexpr int kPageSize = 1024;
// How long a call waits for another process that has the journal (another
// window's run, zanfeld-cli beside the window): their writes are short, but
// a checkpoint or a long replay may hold it for seconds.
constexpr int kBusyTimeoutMs = 30000;
// WAL pages between checkpoints at rest, and while a run goes on. Every
// checkpoint syncs the WAL and the database: during a run they are put off,
// so that the writer of a run of a few ten thousand files meets none.
constexpr int kCheckpointPages = 1000;
constexpr int kRunCheckpointPages = 65536;
// The WAL is cut back to this after a checkpoint.
constexpr int64_t kWalSizeLimit = 4 << 20;

// The writer commits the rows that wait once there are this many, or after
// this long: the fixed cost of a commit (locks, WAL frames) is shared.
constexpr size_t kBatchRows = 256;
constexpr auto kBatchInterval = std::chrono::milliseconds(100);
// Rows that may wait at most. Past this the writer is held up (another
// process has the database): a run waits for it rather than fill memory.
constexpr size_t kQueueLimit = 1 << 15;
// Placement ids reserved for a run at a time, and how few may be left before
// the writer reserves the next block (the run asks for it well before it
// would have to wait).
constexpr int64_t kIdBlock = 1 << 16;
constexpr int64_t kIdsLow = 1 << 14;
// Rows replayed from a log per transaction.
constexpr int kReplayRecordsPerCommit = 4096;

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

// A run's placements are found by a range of placement ids rather than by an
// index on run: an index would add a page to every placement's commit.
// first_placement is the first id reserved when the run begins (ids only
// grow). While the run goes on, last_placement is the end of the ids
// reserved for it, so that no other run takes them; when it ends, its last
// placement. Either way an upper bound.
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

// Binds an outcome's twelve columns from index first on (the placement's id
// is bound by the caller).
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

// Opens and locks a run log that no live process holds, or returns -1. A
// log another process removed while we waited for it is not taken either.
int LockIfLeft(int folder, const char* name) {
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat held {
    }, named{};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) ||
        held.st_nlink == 0 || ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        named.st_dev != held.st_dev || named.st_ino != held.st_ino) {
        ::close(fd);
        return -1;
    }
    return fd;
}

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
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
    close();
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        m_error = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_movedAside.clear();
        }
        int error = openLocked(path);
        // Another process opening or recovering the journal at the same
        // moment: SQLite answers busy without waiting in a few such places.
        for (int attempt = 0; error == EBUSY && attempt < kBusyTimeoutMs / 50; ++attempt) {
            closeDatabase();
            ::usleep(50000);
            error = openLocked(path);
        }
        if (error != 0) {
            failDbErrno(error);
            return error;
        }
        m_ok = true;
        startWriter();
        return 0;
    } catch (const std::system_error& e) {
        const int error = e.code().value() != 0 ? e.code().value() : EAGAIN;
        failDbErrno(error);
        return error;
    } catch (...) {
        failDbErrno(ENOMEM);
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
    m_path = path;
    return recoverLogs(path);
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
        closeDatabase();
        return error;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    int error = configure();
    if (error == 0) error = migrate();
    if (error != 0) closeDatabase();
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
    // Later versions add their steps here, each from the one before.
    if (error == 0 && current == 1) {
        code = sqlite3_exec(m_db, kSchemaV2Steps, nullptr, nullptr, nullptr);
        if (code != SQLITE_OK)
            error = ErrnoFromSqlite(m_db, code);
        else
            current = 2;
    }
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
        {m_begin, "BEGIN IMMEDIATE"},
        {m_commit, "COMMIT"},
        // Above every placement and every block reserved by a run.
        {m_nextFreeId,
         "SELECT max(coalesce((SELECT max(id) FROM placement), 0), "
         "coalesce((SELECT max(last_placement) FROM run), 0)) + 1"},
        {m_insertRun,
         "INSERT INTO run(window, page, mode, policy, output_dir, started_ns, undoes, "
         "first_placement, last_placement) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"},
        {m_reserve, "UPDATE run SET last_placement = ?2 WHERE id = ?1"},
        {m_endRun,
         "UPDATE run SET ended_ns = ?2, end_kind = ?3, end_reason = ?4, placed = ?5, "
         "skipped = ?6, renamed = ?7, overwritten = ?8, failed = ?9, "
         "last_placement = coalesce(?10, (SELECT coalesce(max(id), 0) FROM placement)) "
         "WHERE id = ?1"},
        {m_markUndone, "UPDATE run SET undone_by = ?2 WHERE id = ?1"},
        {m_insertPlacement,
         "INSERT INTO placement(id, run, seq, source, target, mode, state, result, error, size, "
         "mtime_sec, mtime_nsec, device, inode, trashed_path, trash_info_path, "
         "replaced_without_trash, placed_target, undoes) "
         "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, "
         "?19)"},
        {m_settlePlacement, settle},
        {m_insertFolder, "INSERT OR IGNORE INTO made_folder(run, path) VALUES(?1, ?2)"},
        // A log replayed again (its process killed after the commit of some
        // of it, or the replay itself cut short) leaves what is there.
        {m_replayPlacement,
         "INSERT OR IGNORE INTO placement(id, run, seq, source, target, mode, state, undoes) "
         "VALUES(?1, ?2, ?3, ?4, ?5, ?6, 0, ?7)"},
        {m_replaySettle, settle + " AND run = ?14"},
        {m_coverPlacements,
         "UPDATE run SET last_placement = ?2 WHERE id = ?1 AND last_placement < ?2"},
        {m_selectRunStart, "SELECT started_ns FROM run WHERE id = ?1"},
        {m_selectRuns, "SELECT " + runColumns + " FROM run ORDER BY id DESC LIMIT ?1"},
        {m_selectUndoable,
         "SELECT " + runColumns +
             " FROM run r WHERE undone_by IS NULL AND undoes IS NULL AND (EXISTS("
             "SELECT 1 FROM placement p WHERE p.id >= r.first_placement AND "
             "p.id <= coalesce(r.last_placement, 9223372036854775807) AND p.run = r.id AND "
             "p.state IN (0, 1)) OR EXISTS(SELECT 1 FROM made_folder f WHERE f.run = r.id)) "
             "ORDER BY id DESC"},
        {m_selectRange, "SELECT first_placement, last_placement FROM run WHERE id = ?1"},
        {m_selectPlacements, "SELECT " + placementColumns +
                                 " FROM placement WHERE id >= ?1 AND id <= ?2 AND run = ?3 "
                                 "ORDER BY id"},
        {m_selectFolders, "SELECT path FROM made_folder WHERE run = ?1 ORDER BY id"},
    };
    for (const auto& entry : all) {
        const int code = entry.statement.prepare(m_db, entry.sql);
        if (code != SQLITE_OK) return ErrnoFromSqlite(m_db, code);
    }
    return 0;
}

// Replays the logs of killed runs into the database. A log is removed only
// once what it held is committed.
int RunJournal::recoverLogs(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    DIR* dir = ::opendir(FolderOf(path).c_str());
    if (!dir) return 0;  // then there is nothing we could replay either
    std::vector<std::string> logs;
    std::vector<std::string> unfinished;
    while (const dirent* entry = ::readdir(dir)) {
        if (RunLog::IsLogName(name, entry->d_name))
            logs.push_back(entry->d_name);
        else if (RunLog::IsUnfinishedName(name, entry->d_name))
            unfinished.push_back(entry->d_name);
    }
    std::sort(logs.begin(), logs.end());
    int error = 0;
    for (const std::string& log : logs)
        if ((error = replayLog(::dirfd(dir), log.c_str())) != 0) break;
    // A log being made by a process killed before it was done holds no
    // placement yet.
    for (const std::string& log : unfinished) {
        const int fd = LockIfLeft(::dirfd(dir), log.c_str());
        if (fd < 0) continue;
        ::unlinkat(::dirfd(dir), log.c_str(), 0);
        ::close(fd);
    }
    ::closedir(dir);
    return error;
}

int RunJournal::replayLog(int folder, const char* name) {
    const int fd = LockIfLeft(folder, name);
    if (fd < 0) return 0;  // a live run's, or gone
    const FileCloser closer{fd};
    RunLogReader reader(fd);
    RunLogRecord record;
    if (!reader.next(record) || !record.isHeader) {
        // Only an empty file is surely ours to remove; anything else that
        // does not begin as a log stays as it is.
        struct stat st {};
        if (reader.readError() == 0 && ::fstat(fd, &st) == 0 && st.st_size == 0)
            ::unlinkat(folder, name, 0);
        return 0;
    }
    // Beside a journal begun anew (the old one moved aside), a log may name
    // a run of the old one: its start tells them apart.
    const int64_t run = record.run;
    m_selectRunStart.bindInt(1, run);
    int code = m_selectRunStart.step();
    const bool ours = code == SQLITE_ROW && m_selectRunStart.intAt(0) == record.startedNs;
    m_selectRunStart.reset();
    if (code != SQLITE_ROW && code != SQLITE_DONE) return ErrnoFromSqlite(m_db, code);
    if (!ours) return 0;

    auto step = [](SqliteStatement& statement) {
        const int result = statement.step();
        statement.reset();
        return result == SQLITE_ROW ? SQLITE_DONE : result;
    };
    int64_t highest = 0;
    int records = 0;
    bool inTransaction = (code = step(m_begin)) == SQLITE_DONE;
    while (code == SQLITE_DONE && reader.next(record)) {
        if (record.isHeader) break;  // a second header is damage: trust nothing after it
        for (const LoggedOutcome& logged : record.outcomes) {
            if (code != SQLITE_DONE) break;
            m_replaySettle.bindInt(1, logged.placement);
            BindOutcome(m_replaySettle, 2, logged.outcome);
            m_replaySettle.bindInt(14, run);
            code = step(m_replaySettle);
        }
        for (const std::string& made : record.folders) {
            if (code != SQLITE_DONE) break;
            m_insertFolder.bindInt(1, run);
            m_insertFolder.bindBytes(2, made);
            code = step(m_insertFolder);
        }
        if (record.intent && code == SQLITE_DONE) {
            const LoggedIntent& intent = *record.intent;
            SqliteStatement& s = m_replayPlacement;
            s.bindInt(1, intent.id);
            s.bindInt(2, run);
            s.bindInt(3, intent.seq);
            s.bindBytes(4, intent.source);
            s.bindBytes(5, intent.target);
            s.bindInt(6, intent.mode);
            if (intent.undoes > 0)
                s.bindInt(7, intent.undoes);
            else
                s.bindNull(7);
            code = step(s);
            highest = std::max(highest, intent.id);
        }
        if (code == SQLITE_DONE && ++records % kReplayRecordsPerCommit == 0) {
            inTransaction = false;
            if ((code = step(m_commit)) == SQLITE_DONE)
                inTransaction = (code = step(m_begin)) == SQLITE_DONE;
        }
    }
    if (code == SQLITE_DONE && highest > 0) {
        // The run's range must hold every placement replayed.
        m_coverPlacements.bindInt(1, run);
        m_coverPlacements.bindInt(2, highest);
        code = step(m_coverPlacements);
    }
    if (code == SQLITE_DONE) {
        inTransaction = false;
        code = step(m_commit);
    }
    if (code != SQLITE_DONE) {
        const int error = ErrnoFromSqlite(m_db, code);
        if (inTransaction || !sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        return error;
    }
    // What could not be read may be there next time: the log stays.
    if (reader.readError() != 0) return 0;
    ::unlinkat(folder, name, 0);
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
        std::lock_guard<std::mutex> lock(m_mutex);
        m_movedAside = broken;
        return 0;
    }
    return EEXIST;
}

void RunJournal::close() {
    stopWriter();
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        // Once everything recorded is committed, the logs of runs still
        // going are of no more use; otherwise they stay for the next open().
        const bool committed = ready() && flushLocked();
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto& entry : m_openRuns) {
            if (committed)
                entry.second->log.remove();
            else
                entry.second->log.close();
        }
        m_openRuns.clear();
        m_queue.clear();
        m_refills.clear();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_openRuns.clear();
        m_queue.clear();
        m_refills.clear();
    }
    closeDatabase();
    m_ok = false;
}

void RunJournal::closeDatabase() {
    for (SqliteStatement* statement :
         {&m_begin, &m_commit, &m_nextFreeId, &m_insertRun, &m_reserve, &m_endRun, &m_markUndone,
          &m_insertPlacement, &m_settlePlacement, &m_insertFolder, &m_replayPlacement,
          &m_replaySettle, &m_coverPlacements, &m_selectRunStart, &m_selectRuns, &m_selectUndoable,
          &m_selectRange, &m_selectPlacements, &m_selectFolders})
        statement->finalize();
    if (m_db) sqlite3_close(m_db);
    m_db = nullptr;
}

std::string RunJournal::movedAside() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_movedAside;
}

void RunJournal::startWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopWriter = false;
    }
    m_writer = std::thread([this] { writerLoop(); });
}

void RunJournal::stopWriter() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopWriter = true;
    }
    m_wake.notify_all();
    if (m_writer.joinable()) m_writer.join();
}

// Commits the rows that wait, in batches: when kBatchRows are there, after
// kBatchInterval, or at once when a run needs more ids. Sleeps while no run
// goes on and nothing waits.
void RunJournal::writerLoop() {
    std::vector<QueuedRow> rows;
    std::vector<int64_t> refills;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopWriter) {
        if (!m_ok || (m_queue.empty() && m_refills.empty() && m_openRuns.empty())) {
            m_writerAsleep = true;
            m_wake.wait(lock);
            m_writerAsleep = false;
            continue;
        }
        m_wake.wait_for(lock, kBatchInterval, [this] {
            return m_stopWriter || !m_ok || m_queue.size() >= kBatchRows || !m_refills.empty();
        });
        // What is left at a stop, close() commits.
        if (m_stopWriter || !m_ok || (m_queue.empty() && m_refills.empty())) continue;
        lock.unlock();
        {
            std::lock_guard<std::mutex> db(m_dbMutex);
            try {
                if (ready()) {
                    {
                        std::lock_guard<std::mutex> again(m_mutex);
                        takeQueueLocked(rows, refills);
                    }
                    commitRows(rows, refills);
                }
            } catch (...) {
                failDbErrno(ENOMEM);
            }
        }
        rows.clear();  // keeps its capacity for the next swap
        refills.clear();
        lock.lock();
    }
}

void RunJournal::markFailed(int error) {
    int none = 0;
    m_error.compare_exchange_strong(none, error != 0 ? error : EIO);
    m_ok = false;
}

void RunJournal::failLocked(int error) {
    markFailed(error);
    // What was not committed is dropped; the runs go on without a journal.
    // Their logs are let go of, so that another process may replay them.
    for (auto& entry : m_openRuns) entry.second->log.close();
    m_openRuns.clear();
    m_queue.clear();
    m_refills.clear();
    m_wake.notify_all();
    m_drained.notify_all();
}

void RunJournal::failDbErrno(int error) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(error);
    }
    closeDatabase();
}

void RunJournal::failDb(int sqliteCode) { failDbErrno(ErrnoFromSqlite(m_db, sqliteCode)); }

bool RunJournal::exec(const char* sql) {
    const int code = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) failDb(code);
    return code == SQLITE_OK;
}

bool RunJournal::stepDone(SqliteStatement& statement) {
    const int code = statement.step();
    statement.reset();
    if (code != SQLITE_DONE) {
        failDb(code);
        return false;
    }
    return true;
}

bool RunJournal::beginWrite() { return stepDone(m_begin); }

bool RunJournal::commitWrite() { return stepDone(m_commit); }

// Checkpoints (with their syncs) are put off while runs go on: the writer
// would meet them, and reads and endRun() wait for the writer.
void RunJournal::enterRunMode() {
    const std::string sql = "PRAGMA wal_autocheckpoint=" + std::to_string(kRunCheckpointPages);
    exec(sql.c_str());
}

void RunJournal::leaveRunMode() {
    const std::string sql = "PRAGMA wal_autocheckpoint=" + std::to_string(kCheckpointPages);
    exec(sql.c_str());
}

// Ranges come in ascending order (every block is reserved above all
// others), and may come after the run used up the last one.
bool RunJournal::OpenRun::hasId() {
    for (; range < ranges.size(); ++range) {
        nextId = std::max(nextId, ranges[range].first);
        if (nextId <= ranges[range].last) return true;
    }
    return false;
}

int64_t RunJournal::OpenRun::idsLeft() const {
    int64_t left = 0;
    for (size_t i = range; i < ranges.size(); ++i)
        left += std::max<int64_t>(0, ranges[i].last - std::max(nextId, ranges[i].first) + 1);
    return left;
}

bool RunJournal::OpenRun::owns(int64_t placement) const {
    if (placement == lastId) return true;
    if (placement > lastId) return false;
    for (const IdRange& ids : ranges)
        if (placement >= ids.first && placement <= ids.last) return true;
    return false;
}

RunJournal::OpenRun* RunJournal::ownerLocked(int64_t placement) {
    for (auto& entry : m_openRuns)
        if (entry.second->owns(placement)) return entry.second.get();
    return nullptr;
}

void RunJournal::queuePendingLocked(OpenRun& run) {
    for (LoggedOutcome& logged : run.pending) {
        // The outcome of a placement whose row still waits goes into its INSERT.
        if (run.queuedGeneration == m_queueGeneration && run.queuedIndex < m_queue.size()) {
            QueuedRow& row = m_queue[run.queuedIndex];
            if (row.kind == QueuedRow::Kind::Placement && row.id == logged.placement &&
                !row.settled) {
                row.settled = true;
                row.outcome = std::move(logged.outcome);
                continue;
            }
        }
        QueuedRow& row = m_queue.emplace_back();
        row.kind = QueuedRow::Kind::Outcome;
        row.id = logged.placement;
        row.outcome = std::move(logged.outcome);
    }
    run.pending.clear();
    for (std::string& folder : run.pendingFolders) {
        QueuedRow& row = m_queue.emplace_back();
        row.kind = QueuedRow::Kind::Folder;
        row.run = run.id;
        row.source = std::move(folder);
    }
    run.pendingFolders.clear();
}

void RunJournal::takeQueueLocked(std::vector<QueuedRow>& rows, std::vector<int64_t>& refills) {
    rows.swap(m_queue);
    refills.swap(m_refills);
    ++m_queueGeneration;
    m_drained.notify_all();
}

bool RunJournal::nextFreeId(int64_t& id) {
    const int code = m_nextFreeId.step();
    if (code == SQLITE_ROW) id = m_nextFreeId.intAt(0);
    m_nextFreeId.reset();
    if (code != SQLITE_ROW) failDb(code);
    return code == SQLITE_ROW;
}

// Inside a transaction: the next block of ids for run, recorded in its row
// before any of them is handed out.
bool RunJournal::reserveIds(int64_t run, IdRange& ids) {
    if (!nextFreeId(ids.first)) return false;
    ids.last = ids.first + kIdBlock - 1;
    m_reserve.bindInt(1, run);
    m_reserve.bindInt(2, ids.last);
    return stepDone(m_reserve);
}

// Inside a transaction: the rows, then the blocks of ids asked for.
bool RunJournal::writeBatch(const std::vector<QueuedRow>& rows, const std::vector<int64_t>& refills,
                            std::vector<std::pair<int64_t, IdRange>>& reserved) {
    for (const QueuedRow& row : rows) {
        switch (row.kind) {
            case QueuedRow::Kind::Placement: {
                SqliteStatement& s = m_insertPlacement;
                s.bindInt(1, row.id);
                s.bindInt(2, row.run);
                s.bindInt(3, row.seq);
                s.bindBytes(4, row.source);
                s.bindBytes(5, row.target);
                s.bindInt(6, row.mode);
                if (row.settled) {
                    BindOutcome(s, 7, row.outcome);
                } else {
                    // Only the intent: the outcome's columns stay NULL.
                    s.bindInt(7, static_cast<int>(PlacementState::Intended));
                    s.bindInt(17, 0);
                }
                if (row.undoes > 0) s.bindInt(19, row.undoes);
                if (!stepDone(s)) return false;
                break;
            }
            case QueuedRow::Kind::Outcome:
                m_settlePlacement.bindInt(1, row.id);
                BindOutcome(m_settlePlacement, 2, row.outcome);
                if (!stepDone(m_settlePlacement)) return false;
                break;
            case QueuedRow::Kind::Folder:
                m_insertFolder.bindInt(1, row.run);
                m_insertFolder.bindBytes(2, row.source);
                if (!stepDone(m_insertFolder)) return false;
                break;
        }
    }
    for (const int64_t run : refills) {
        IdRange ids;
        if (!reserveIds(run, ids)) return false;
        reserved.emplace_back(run, ids);
    }
    return true;
}

// After the commit: the runs may hand out the ids reserved for them.
void RunJournal::applyReserved(const std::vector<std::pair<int64_t, IdRange>>& reserved) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [run, ids] : reserved) {
        const auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) continue;
        open->second->ranges.push_back(ids);
        open->second->refillAsked = false;
    }
}

bool RunJournal::commitRows(const std::vector<QueuedRow>& rows,
                            const std::vector<int64_t>& refills) {
    if (rows.empty() && refills.empty()) return true;
    std::vector<std::pair<int64_t, IdRange>> reserved;
    if (!beginWrite() || !writeBatch(rows, refills, reserved) || !commitWrite()) return false;
    applyReserved(reserved);
    return true;
}

bool RunJournal::flushLocked() {
    std::vector<QueuedRow> rows;
    std::vector<int64_t> refills;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_ok) return false;
        for (auto& entry : m_openRuns) queuePendingLocked(*entry.second);
        takeQueueLocked(rows, refills);
    }
    return commitRows(rows, refills);
}

// When a run used up its ids before the writer reserved more (the writer
// waited for another process, say): the run waits for the database.
bool RunJournal::reserveNow(int64_t run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    if (!ready()) return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) return false;
        if (open->second->hasId()) return true;  // the writer's block came meanwhile
    }
    std::vector<std::pair<int64_t, IdRange>> reserved(1);
    reserved[0].first = run;
    if (!beginWrite() || !reserveIds(run, reserved[0].second) || !commitWrite()) return false;
    applyReserved(reserved);
    return true;
}

int64_t RunJournal::beginRun(const JournalRun& run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        if (!ready()) return 0;
        bool first = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            first = m_openRuns.empty();
        }
        if (first) {
            enterRunMode();
            if (!ready()) return 0;
        }
        auto open = std::make_unique<OpenRun>();
        open->startedNs = run.startedNs != 0 ? run.startedNs : NowNs();
        IdRange ids;
        if (!beginWrite() || !nextFreeId(ids.first)) return 0;
        ids.last = ids.first + kIdBlock - 1;
        m_insertRun.bindText(1, run.window == RunWindow::Folders ? "folders" : "files");
        m_insertRun.bindInt(2, run.page);
        m_insertRun.bindInt(3, run.mode);
        m_insertRun.bindInt(4, run.policy);
        m_insertRun.bindBytes(5, run.outputDir);
        m_insertRun.bindInt(6, open->startedNs);
        if (run.undoes > 0)
            m_insertRun.bindInt(7, run.undoes);
        else
            m_insertRun.bindNull(7);
        m_insertRun.bindInt(8, ids.first);
        m_insertRun.bindInt(9, ids.last);
        if (!stepDone(m_insertRun)) return 0;
        const int64_t id = sqlite3_last_insert_rowid(m_db);
        if (!commitWrite()) return 0;

        // Made once the run's row is committed: a log always names a run
        // its journal has.
        if (const int error = open->log.create(m_path, id, open->startedNs); error != 0) {
            failDbErrno(error);
            return 0;
        }
        open->id = id;
        open->firstId = ids.first;
        open->ranges.push_back(ids);
        open->nextId = ids.first;
        bool wake = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_ok) return 0;
            m_openRuns[id] = std::move(open);
            wake = m_writerAsleep;
        }
        if (wake) m_wake.notify_one();
        return id;
    } catch (...) {
        failDbErrno(ENOMEM);
        return 0;
    }
}

int64_t RunJournal::intend(int64_t run, const std::string& source, const std::string& target,
                           int mode, int64_t undoes) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok) return 0;
        auto open = m_openRuns.find(run);
        if (open == m_openRuns.end()) return 0;
        if (!open->second->hasId()) {
            lock.unlock();
            if (!reserveNow(run)) return 0;
            lock.lock();
            if (!m_ok || (open = m_openRuns.find(run)) == m_openRuns.end() ||
                !open->second->hasId())
                return 0;
        }
        OpenRun& r = *open->second;
        const int64_t id = r.nextId;
        // The previous placement's outcome and this intent, in one write()
        // before the file is touched.
        r.record.clear();
        RunLogFormat::appendStep(r.record, r.pending, r.pendingFolders, id, r.nextSeq, mode, undoes,
                                 source, target);
        if (const int error = r.log.append(r.record); error != 0) {
            failLocked(error);
            return 0;
        }
        ++r.nextId;
        r.lastId = id;
        queuePendingLocked(r);
        QueuedRow& row = m_queue.emplace_back();
        row.kind = QueuedRow::Kind::Placement;
        row.id = id;
        row.run = run;
        row.seq = r.nextSeq++;
        row.mode = mode;
        row.undoes = undoes;
        row.source = source;
        row.target = target;
        r.queuedIndex = m_queue.size() - 1;
        r.queuedGeneration = m_queueGeneration;
        bool wake = m_writerAsleep || m_queue.size() >= kBatchRows;
        if (!r.refillAsked && r.idsLeft() < kIdsLow) {
            r.refillAsked = true;
            m_refills.push_back(run);
            wake = true;
        }
        if (m_queue.size() >= kQueueLimit) {
            m_wake.notify_one();
            m_drained.wait(lock, [this] { return !m_ok || m_queue.size() < kQueueLimit; });
            wake = false;
        }
        lock.unlock();
        if (wake) m_wake.notify_one();
        return id;
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
        return 0;
    }
}

void RunJournal::done(int64_t placement, const PlacementOutcome& outcome) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok || placement <= 0) return;
        if (OpenRun* run = ownerLocked(placement)) {
            // To the log with the run's next intent.
            run->pending.push_back(LoggedOutcome{placement, outcome});
            return;
        }
        QueuedRow& row = m_queue.emplace_back();
        row.kind = QueuedRow::Kind::Outcome;
        row.id = placement;
        row.outcome = outcome;
        const bool wake = m_writerAsleep;
        lock.unlock();
        if (wake) m_wake.notify_one();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
    }
}

void RunJournal::doneNow(int64_t placement, const PlacementOutcome& outcome) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok || placement <= 0) return;
        OpenRun* run = ownerLocked(placement);
        if (!run) {
            lock.unlock();
            done(placement, outcome);
            return;
        }
        run->pending.push_back(LoggedOutcome{placement, outcome});
        run->record.clear();
        RunLogFormat::appendSettled(run->record, run->pending, run->pendingFolders);
        if (const int error = run->log.append(run->record); error != 0) {
            failLocked(error);
            return;
        }
        queuePendingLocked(*run);
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
    }
}

void RunJournal::madeFolder(int64_t run, const std::string& path) {
    try {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_ok || run <= 0) return;
        if (const auto open = m_openRuns.find(run); open != m_openRuns.end()) {
            // Written at once: a run killed before its next placement (or
            // one that places nothing) still has its folders taken away.
            OpenRun& r = *open->second;
            r.pendingFolders.push_back(path);
            r.record.clear();
            RunLogFormat::appendSettled(r.record, r.pending, r.pendingFolders);
            if (const int error = r.log.append(r.record); error != 0) {
                failLocked(error);
                return;
            }
            queuePendingLocked(r);
            return;
        }
        QueuedRow& row = m_queue.emplace_back();
        row.kind = QueuedRow::Kind::Folder;
        row.run = run;
        row.source = path;
        const bool wake = m_writerAsleep;
        lock.unlock();
        if (wake) m_wake.notify_one();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        failLocked(ENOMEM);
    }
}

void RunJournal::endRun(int64_t run, const JournalEnd& end, const JournalCounts& counts) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        if (!ready() || run <= 0) return;
        std::unique_ptr<OpenRun> open;
        std::vector<QueuedRow> rows;
        std::vector<int64_t> refills;
        bool last = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto found = m_openRuns.find(run);
            if (found != m_openRuns.end()) {
                queuePendingLocked(*found->second);
                open = std::move(found->second);
                m_openRuns.erase(found);
            }
            takeQueueLocked(rows, refills);
            std::erase(refills, run);
            last = m_openRuns.empty();
        }
        // Everything of the run and its end in one transaction; should it
        // fail, the log stays for the next open().
        std::vector<std::pair<int64_t, IdRange>> reserved;
        if (!beginWrite() || !writeBatch(rows, refills, reserved)) return;
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
        // The run's range ends at its last placement: the ids reserved and
        // not used are free again.
        if (open)
            s.bindInt(10, open->lastId != 0 ? open->lastId : open->firstId - 1);
        else
            s.bindNull(10);
        if (!stepDone(s) || !commitWrite()) return;
        applyReserved(reserved);
        if (open) {
            open->log.remove();
            if (last) leaveRunMode();
        }
    } catch (...) {
        failDbErrno(ENOMEM);
    }
}

void RunJournal::markUndone(int64_t run, int64_t undoRun) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    try {
        if (!ready() || run <= 0) return;
        if (!beginWrite()) return;
        m_markUndone.bindInt(1, run);
        m_markUndone.bindInt(2, undoRun);
        if (stepDone(m_markUndone)) commitWrite();
    } catch (...) {
        failDbErrno(ENOMEM);
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
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::vector<JournalRun> result;
    try {
        if (!ready() || !flushLocked()) return result;
        m_selectRuns.bindInt(1, limit == 0 ? -1 : static_cast<int64_t>(limit));
        int code;
        while ((code = m_selectRuns.step()) == SQLITE_ROW) result.push_back(readRun(m_selectRuns));
        m_selectRuns.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_selectRuns.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

std::vector<JournalPlacement> RunJournal::placements(int64_t run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::vector<JournalPlacement> result;
    try {
        if (!ready() || !flushLocked()) return result;
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
            failDb(code);
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
                // Only where a file it was replacing went is known ahead.
                o = PlacementOutcome{};
                o.state = PlacementState::Intended;
                o.result = PlacementResult::None;
                o.trashedPath = s.bytesAt(13);
                o.trashInfoPath = s.bytesAt(14);
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
                o.placedTarget = s.bytesAt(16);
            }
            p.undoes = s.isNull(17) ? 0 : s.intAt(17);
            result.push_back(std::move(p));
        }
        s.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_selectRange.reset();
        m_selectPlacements.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

std::vector<std::string> RunJournal::madeFolders(int64_t run) {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::vector<std::string> result;
    try {
        if (!ready() || !flushLocked()) return result;
        m_selectFolders.bindInt(1, run);
        int code;
        while ((code = m_selectFolders.step()) == SQLITE_ROW)
            result.push_back(m_selectFolders.bytesAt(0));
        m_selectFolders.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_selectFolders.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

std::optional<JournalRun> RunJournal::lastUndoableRun() {
    std::lock_guard<std::mutex> db(m_dbMutex);
    std::optional<JournalRun> result;
    try {
        if (!ready() || !flushLocked()) return result;
        int code;
        while ((code = m_selectUndoable.step()) == SQLITE_ROW) {
            const int64_t id = m_selectUndoable.intAt(0);
            bool going = false;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                going = m_openRuns.count(id) != 0;
            }
            if (going) continue;  // still going here
            result = readRun(m_selectUndoable);
            code = SQLITE_DONE;
            break;
        }
        m_selectUndoable.reset();
        if (code != SQLITE_DONE) failDb(code);
    } catch (...) {
        m_selectUndoable.reset();
        failDbErrno(ENOMEM);
    }
    return result;
}

}  // namespace zanfeld
