// Opening, configuring and closing the journal, and what happens when it
// fails. The other parts of RunJournal are in RunJournal*.cpp beside this.

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
#include <system_error>

#include "HomeFolder.h"
#include "JournalLogReplay.h"
#include "JournalSql.h"
#include "JournalTuning.h"

namespace zanfeld {
namespace {

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
    if (const int code = m_sql.prepare(m_db); code != SQLITE_OK) return ErrnoFromSqlite(m_db, code);
    m_path = path;
    return JournalLogReplay(m_db, m_sql).recoverLogs(path);
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
    if (error == 0) error = JournalSchema::migrate(m_db);
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
        "; PRAGMA journal_size_limit=" + std::to_string(kWalSizeLimit) +
        "; PRAGMA cache_size=" + std::to_string(-kCacheKiB) + ";";
    code = sqlite3_exec(m_db, rest.c_str(), nullptr, nullptr, nullptr);
    return code == SQLITE_OK ? 0 : ErrnoFromSqlite(m_db, code);
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
        m_batchCalled = false;
        m_refills.clear();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_openRuns.clear();
        m_queue.clear();
        m_batchCalled = false;
        m_refills.clear();
    }
    closeDatabase();
    m_ok = false;
}

void RunJournal::closeDatabase() {
    m_sql.finalize();
    if (m_db) sqlite3_close(m_db);
    m_db = nullptr;
}

std::string RunJournal::movedAside() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_movedAside;
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
    m_batchCalled = false;
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

bool RunJournal::beginWrite() { return stepDone(m_sql.begin); }

bool RunJournal::commitWrite() { return stepDone(m_sql.commit); }

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

}  // namespace zanfeld
