#include "JournalLogReplay.h"

#include <dirent.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "JournalSql.h"
#include "JournalTuning.h"
#include "RunLog.h"
#include "RunLogReader.h"
#include "RunLogRecord.h"

namespace zanfeld {
namespace {

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

// Replays the logs of killed runs into the database. A log is removed only
// once what it held is committed.
int JournalLogReplay::recoverLogs(const std::string& path) {
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

int JournalLogReplay::replayLog(int folder, const char* name) {
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
    m_sql.selectRunStart.bindInt(1, run);
    int code = m_sql.selectRunStart.step();
    const bool ours = code == SQLITE_ROW && m_sql.selectRunStart.intAt(0) == record.startedNs;
    m_sql.selectRunStart.reset();
    if (code != SQLITE_ROW && code != SQLITE_DONE) return ErrnoFromSqlite(m_db, code);
    if (!ours) return 0;

    auto step = [](SqliteStatement& statement) {
        const int result = statement.step();
        statement.reset();
        return result == SQLITE_ROW ? SQLITE_DONE : result;
    };
    int64_t highest = 0;
    int records = 0;
    bool inTransaction = (code = step(m_sql.begin)) == SQLITE_DONE;
    while (code == SQLITE_DONE && reader.next(record)) {
        if (record.isHeader) break;  // a second header is damage: trust nothing after it
        for (const LoggedOutcome& logged : record.outcomes) {
            if (code != SQLITE_DONE) break;
            m_sql.replaySettle.bindInt(1, logged.placement);
            BindOutcome(m_sql.replaySettle, 2, logged.outcome);
            m_sql.replaySettle.bindInt(14, run);
            code = step(m_sql.replaySettle);
        }
        for (const std::string& made : record.folders) {
            if (code != SQLITE_DONE) break;
            m_sql.insertFolder.bindInt(1, run);
            m_sql.insertFolder.bindBytes(2, made);
            code = step(m_sql.insertFolder);
        }
        if (record.intent && code == SQLITE_DONE) {
            const LoggedIntent& intent = *record.intent;
            SqliteStatement& s = m_sql.replayPlacement;
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
            if ((code = step(m_sql.commit)) == SQLITE_DONE)
                inTransaction = (code = step(m_sql.begin)) == SQLITE_DONE;
        }
    }
    if (code == SQLITE_DONE && highest > 0) {
        // The run's range must hold every placement replayed.
        m_sql.coverPlacements.bindInt(1, run);
        m_sql.coverPlacements.bindInt(2, highest);
        code = step(m_sql.coverPlacements);
    }
    if (code == SQLITE_DONE) {
        inTransaction = false;
        code = step(m_sql.commit);
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

}  // namespace zanfeld
