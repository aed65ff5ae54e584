#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "JournalFiles.h"
#include "RunJournal.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::RunLogsBeside;
using test::SqlValues;
using test::TempDir;

std::string Source(int64_t i) { return "/源/\xff" + std::to_string(i) + ".jpg"; }
std::string Target(int64_t i) { return "/out/" + std::to_string(i) + ".jpg"; }
const std::string kFolder = "/out/made\x80";

PlacementOutcome OutcomeOf(int64_t i) {
    PlacementOutcome o;
    o.size = i;
    o.inode = static_cast<uint64_t>(i) * 7;
    o.mtimeSec = 1700000000 + i;
    o.device = 0x8000000000000002ull;
    if (i % 3 == 0) {
        o.result = PlacementResult::Overwritten;
        o.trashedPath = "/trash/files/" + std::to_string(i);
        o.trashInfoPath = "/trash/info/" + std::to_string(i) + ".trashinfo";
    }
    return o;
}

bool ReadAll(int fd, void* data, size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Forks a process that records a run of count placements, each settled but
// the last (only intended), and a folder, and then is killed. It holds the
// database's write lock meanwhile, so that nothing of the placements
// reaches the database but through the run's log. Returns the run's id.
int64_t RunAndDie(const std::string& path, int count) {
    int ready[2];
    if (::pipe(ready) != 0) return 0;
    const pid_t child = ::fork();
    if (child < 0) return 0;
    if (child == 0) {
        ::close(ready[0]);
        RunJournal journal;
        if (journal.open(path) != 0) ::_exit(2);
        JournalRun run;
        run.outputDir = "/out";
        const int64_t id = journal.beginRun(run);
        if (id <= 0) ::_exit(3);
        sqlite3* blocker = nullptr;
        if (sqlite3_open_v2(path.c_str(), &blocker, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            ::_exit(4);
        sqlite3_busy_timeout(blocker, 2000);
        if (sqlite3_exec(blocker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            ::_exit(5);
        for (int i = 1; i <= count; ++i) {
            const int64_t placement = journal.intend(id, Source(i), Target(i), 1);
            if (placement <= 0) ::_exit(6);
            if (i == 2) journal.madeFolder(id, kFolder);
            if (i < count) journal.done(placement, OutcomeOf(i));
        }
        if (!journal.ok()) ::_exit(7);
        if (::write(ready[1], &id, sizeof id) != sizeof id) ::_exit(8);
        ::raise(SIGKILL);
        ::_exit(9);
    }
    ::close(ready[1]);
    int64_t id = 0;
    if (!ReadAll(ready[0], &id, sizeof id)) id = 0;
    ::close(ready[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the child ended by itself, status " << status;
    return id;
}

// What RunAndDie(path, count) recorded, with the last `settled` placements
// settled.
void ExpectRecovered(RunJournal& journal, int64_t run, int count, int settled) {
    const std::vector<JournalRun> runs = journal.runs(0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].id, run);
    EXPECT_FALSE(runs[0].end.has_value()) << "a killed run has no end";
    const std::vector<JournalPlacement> p = journal.placements(run);
    ASSERT_EQ(p.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE("placement " + std::to_string(i + 1));
        EXPECT_EQ(p[i].seq, i + 1);
        EXPECT_EQ(p[i].source, Source(i + 1));
        EXPECT_EQ(p[i].target, Target(i + 1));
        EXPECT_EQ(p[i].mode, 1);
        if (i > 0) {
            EXPECT_GT(p[i].id, p[i - 1].id);
        }
        if (i >= settled) {
            EXPECT_EQ(p[i].outcome.state, PlacementState::Intended);
            continue;
        }
        const PlacementOutcome want = OutcomeOf(i + 1);
        EXPECT_EQ(p[i].outcome.state, PlacementState::Done);
        EXPECT_EQ(p[i].outcome.result, want.result);
        EXPECT_EQ(p[i].outcome.size, want.size);
        EXPECT_EQ(p[i].outcome.inode, want.inode);
        EXPECT_EQ(p[i].outcome.device, want.device);
        EXPECT_EQ(p[i].outcome.mtimeSec, want.mtimeSec);
        EXPECT_EQ(p[i].outcome.trashedPath, want.trashedPath);
        EXPECT_EQ(p[i].outcome.trashInfoPath, want.trashInfoPath);
    }
    EXPECT_EQ(journal.madeFolders(run), std::vector<std::string>{kFolder});
}

class RecoveryTest : public ::testing::Test {
  protected:
    std::string path() const { return m_dir / "journal.sqlite"; }
    std::string log(const std::string& name) const { return m_dir / name; }
    TempDir m_dir;
};

// The log of a killed run is replayed into the database by the next open()
// and removed; a log replayed a second time (its replay's process killed
// before the removal) changes nothing.
TEST_F(RecoveryTest, AKilledRunsLogIsReplayedAndReplayingItAgainChangesNothing) {
    const int64_t run = RunAndDie(path(), 10);
    ASSERT_GT(run, 0);
    const std::vector<std::string> logs = RunLogsBeside(path());
    ASSERT_EQ(logs, std::vector<std::string>{"journal.sqlite.run-" + std::to_string(run) + ".log"});
    struct stat st {};
    ASSERT_EQ(::stat(log(logs[0]).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(SqlValues(path(), "SELECT count(*) FROM placement"), "0")
        << "the database must not have had the placements";
    const std::string bytes = test::ReadFile(log(logs[0]));

    std::string rows;
    {
        RunJournal journal;
        ASSERT_EQ(journal.open(path()), 0);
        EXPECT_TRUE(RunLogsBeside(path()).empty()) << "replayed logs are removed";
        ExpectRecovered(journal, run, 10, 9);
        EXPECT_TRUE(journal.ok());
        rows = SqlValues(path(),
                         "SELECT group_concat(quote(p.id) || quote(state) || quote(result) "
                         "|| quote(inode), ';') FROM placement p");
    }

    test::WriteFile(log(logs[0]), bytes);
    ASSERT_EQ(::chmod(log(logs[0]).c_str(), 0600), 0);
    RunJournal again;
    ASSERT_EQ(again.open(path()), 0);
    EXPECT_TRUE(RunLogsBeside(path()).empty());
    ExpectRecovered(again, run, 10, 9);
    EXPECT_EQ(SqlValues(path(),
                        "SELECT group_concat(quote(p.id) || quote(state) || quote(result) "
                        "|| quote(inode), ';') FROM placement p"),
              rows);
    EXPECT_EQ(SqlValues(path(), "SELECT count(*) FROM made_folder"), "1");
    EXPECT_EQ(SqlValues(path(), "PRAGMA integrity_check"), "ok");

    // The journal goes on: a new run's placements take ids above the
    // recovered ones.
    const int64_t next = again.beginRun(JournalRun{});
    ASSERT_GT(next, run);
    const int64_t placement = again.intend(next, "/a", "/out/a", 0);
    const std::vector<JournalPlacement> recovered = again.placements(run);
    ASSERT_FALSE(recovered.empty());
    EXPECT_GT(placement, recovered.back().id);
    again.done(placement, OutcomeOf(1));
    again.endRun(next, {}, JournalCounts{1, 0, 0, 0, 0});
    EXPECT_EQ(again.placements(next).size(), 1u);
    EXPECT_TRUE(again.ok());
}

// A record cut short (a power loss, a full disk) or damaged ends the log:
// what comes before it is replayed, nothing of it or after it.
TEST_F(RecoveryTest, ATornOrDamagedLastRecordIsIgnored) {
    for (const bool cut : {true, false}) {
        SCOPED_TRACE(cut ? "cut short" : "damaged");
        TempDir dir;
        const std::string journalPath = dir / "journal.sqlite";
        const int64_t run = RunAndDie(journalPath, 10);
        ASSERT_GT(run, 0);
        const std::vector<std::string> logs = RunLogsBeside(journalPath);
        ASSERT_EQ(logs.size(), 1u);
        const std::string file = dir / logs[0];
        const std::string bytes = test::ReadFile(file);
        ASSERT_GT(bytes.size(), 100u);
        if (cut) {
            ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(bytes.size() - 5)), 0);
        } else {
            std::string damaged = bytes;
            damaged[damaged.size() - 20] ^= 0x10;
            damaged += std::string("\0\0\0", 3);  // and a tail of nothing
            test::WriteFile(file, damaged);
        }

        RunJournal journal;
        ASSERT_EQ(journal.open(journalPath), 0);
        // The last record held the ninth placement's outcome and the tenth's intent.
        ExpectRecovered(journal, run, 9, 8);
        EXPECT_TRUE(RunLogsBeside(journalPath).empty());
        EXPECT_TRUE(journal.ok());
    }
}

// A log that another process holds is a live run's: another open() neither
// replays nor removes it, and the run ends as usual.
TEST_F(RecoveryTest, ALiveRunsLogIsLeftAlone) {
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::close(go[1]);
        RunJournal journal;
        if (journal.open(path()) != 0) ::_exit(2);
        const int64_t id = journal.beginRun(JournalRun{});
        if (id <= 0) ::_exit(3);
        for (int i = 1; i <= 5; ++i)
            journal.done(journal.intend(id, Source(i), Target(i), 1), OutcomeOf(i));
        if (::write(ready[1], &id, sizeof id) != sizeof id) ::_exit(4);
        char byte = 0;
        if (!ReadAll(go[0], &byte, 1)) ::_exit(5);
        journal.endRun(id, {}, JournalCounts{5, 0, 0, 0, 0});
        ::_exit(journal.ok() ? 0 : 6);
    }
    ::close(ready[1]);
    ::close(go[0]);
    int64_t run = 0;
    ASSERT_TRUE(ReadAll(ready[0], &run, sizeof run));
    const std::vector<std::string> logs = RunLogsBeside(path());
    ASSERT_EQ(logs.size(), 1u);
    const std::string bytes = test::ReadFile(m_dir / logs[0]);

    {
        RunJournal other;
        ASSERT_EQ(other.open(path()), 0);
        EXPECT_EQ(RunLogsBeside(path()), logs);
        EXPECT_EQ(test::ReadFile(m_dir / logs[0]), bytes);
        const std::vector<JournalRun> runs = other.runs(0);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_FALSE(runs[0].end.has_value());
        // Its own runs go on beside the other process's.
        const int64_t mine = other.beginRun(JournalRun{});
        ASSERT_GT(mine, run);
        other.done(other.intend(mine, "/mine", "/out/mine", 0), OutcomeOf(1));
        other.endRun(mine, {}, JournalCounts{1, 0, 0, 0, 0});
        EXPECT_TRUE(other.ok());
    }
    EXPECT_EQ(RunLogsBeside(path()), logs) << "closing another journal leaves the log too";

    const char byte = 1;
    ASSERT_EQ(::write(go[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(ready[0]);
    ::close(go[1]);
    EXPECT_TRUE(RunLogsBeside(path()).empty());

    RunJournal journal;
    ASSERT_EQ(journal.open(path()), 0);
    const std::vector<JournalPlacement> p = journal.placements(run);
    ASSERT_EQ(p.size(), 5u);
    for (const JournalPlacement& placement : p)
        EXPECT_EQ(placement.outcome.state, PlacementState::Done);
    const std::vector<JournalRun> runs = journal.runs(0);
    ASSERT_EQ(runs.size(), 2u);
    ASSERT_TRUE(runs[1].end.has_value());
    EXPECT_EQ(runs[1].counts.placed, 5);
}

// The log of a run is there, private and locked, while the run goes on, and
// gone once it ended; the journal's folder then holds only the database.
TEST_F(RecoveryTest, TheLogLastsAsLongAsTheRun) {
    RunJournal journal;
    ASSERT_EQ(journal.open(path()), 0);
    EXPECT_TRUE(RunLogsBeside(path()).empty());
    const int64_t run = journal.beginRun(JournalRun{});
    ASSERT_GT(run, 0);
    const std::string name = "journal.sqlite.run-" + std::to_string(run) + ".log";
    ASSERT_EQ(RunLogsBeside(path()), std::vector<std::string>{name});
    struct stat st {};
    ASSERT_EQ(::stat(log(name).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const off_t empty = st.st_size;

    const int fd = ::open(log(name).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_NE(::flock(fd, LOCK_EX | LOCK_NB), 0) << "a live run's log is locked";
    EXPECT_EQ(errno, EWOULDBLOCK);

    for (int i = 1; i <= 3; ++i)
        journal.done(journal.intend(run, Source(i), Target(i), 1), OutcomeOf(i));
    ASSERT_EQ(::stat(log(name).c_str(), &st), 0);
    EXPECT_GT(st.st_size, empty) << "each intend() is in the log";

    // A second run has a log of its own.
    const int64_t second = journal.beginRun(JournalRun{});
    EXPECT_EQ(RunLogsBeside(path()).size(), 2u);
    journal.endRun(second, {}, {});

    journal.endRun(run, {}, JournalCounts{3, 0, 0, 0, 0});
    EXPECT_TRUE(RunLogsBeside(path()).empty());
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0) << "the lock went with the log";
    ::close(fd);
    for (const std::string& file : test::FolderNames(m_dir.path()))
        EXPECT_TRUE(file == "journal.sqlite" || file == "journal.sqlite-wal" ||
                    file == "journal.sqlite-shm")
            << file;
    EXPECT_EQ(journal.placements(run).size(), 3u);

    // Closing with a run still going commits everything: the run is left
    // without an end, and its log is of no more use.
    const int64_t open = journal.beginRun(JournalRun{});
    journal.intend(open, "/a", "/out/a", 0);
    EXPECT_EQ(RunLogsBeside(path()).size(), 1u);
    journal.close();
    EXPECT_TRUE(RunLogsBeside(path()).empty());
    RunJournal again;
    ASSERT_EQ(again.open(path()), 0);
    const std::vector<JournalPlacement> p = again.placements(open);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].outcome.state, PlacementState::Intended);
}

// Reads see what was recorded, although the writer has not committed it
// yet: outcomes still waiting for the next intend() included.
TEST_F(RecoveryTest, ReadsSeeWhatIsNotCommittedYet) {
    RunJournal journal;
    ASSERT_EQ(journal.open(path()), 0);
    const int64_t ended = journal.beginRun(JournalRun{});
    journal.done(journal.intend(ended, "/e", "/out/e", 1), OutcomeOf(1));
    journal.endRun(ended, {}, JournalCounts{1, 0, 0, 0, 0});

    const int64_t run = journal.beginRun(JournalRun{});
    for (int i = 1; i <= 20; ++i) {
        const int64_t placement = journal.intend(run, Source(i), Target(i), 1);
        if (i == 4) journal.madeFolder(run, kFolder);
        journal.done(placement, OutcomeOf(i));
    }
    // Straight after: the writer commits after a while or a batch.
    const std::string committed = SqlValues(path(), "SELECT count(*) FROM placement");
    RecordProperty("committed_before_reading", committed);

    const std::vector<JournalPlacement> p = journal.placements(run);
    ASSERT_EQ(p.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(p[i].source, Source(i + 1));
        EXPECT_EQ(p[i].outcome.state, PlacementState::Done) << i + 1;
        EXPECT_EQ(p[i].outcome.inode, OutcomeOf(i + 1).inode);
    }
    EXPECT_EQ(journal.madeFolders(run), std::vector<std::string>{kFolder});
    const std::vector<JournalRun> runs = journal.runs(0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].id, run);
    // The run still going is not offered for undo; the ended one is.
    const std::optional<JournalRun> last = journal.lastUndoableRun();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->id, ended);
    // What the reads saw is in the database for everyone.
    EXPECT_EQ(SqlValues(path(), "SELECT count(*) FROM placement WHERE state = 1"), "21");

    // An outcome still waiting is seen too, and the next intend() goes on.
    const int64_t next = journal.intend(run, Source(21), Target(21), 1);
    journal.done(next, OutcomeOf(21));
    const std::vector<JournalPlacement> seen = journal.placements(run);
    ASSERT_EQ(seen.size(), 21u);
    EXPECT_EQ(seen.back().outcome.state, PlacementState::Done);
    journal.done(journal.intend(run, Source(22), Target(22), 1), OutcomeOf(22));
    journal.endRun(run, {}, JournalCounts{22, 0, 0, 0, 0});
    const std::vector<JournalPlacement> all = journal.placements(run);
    ASSERT_EQ(all.size(), 22u);
    for (const JournalPlacement& placement : all)
        EXPECT_EQ(placement.outcome.state, PlacementState::Done) << placement.seq;
    EXPECT_TRUE(journal.ok());
}

// Two journals on one file (two processes' windows) run at the same time:
// the ids each hands out without asking the database never meet.
TEST_F(RecoveryTest, TwoJournalsRunningAtOnceTakeDistinctIds) {
    RunJournal one, two;
    ASSERT_EQ(one.open(path()), 0);
    ASSERT_EQ(two.open(path()), 0);
    const int64_t a = one.beginRun(JournalRun{});
    const int64_t b = two.beginRun(JournalRun{});
    ASSERT_GT(a, 0);
    ASSERT_GT(b, a);
    std::vector<int64_t> ids;
    for (int i = 1; i <= 300; ++i) {
        const int64_t x = one.intend(a, Source(i), Target(i), 1);
        one.done(x, OutcomeOf(i));
        const int64_t y = two.intend(b, Source(i), Target(i), 0);
        two.done(y, OutcomeOf(i));
        ids.push_back(x);
        ids.push_back(y);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "an id was taken twice";
    EXPECT_GT(ids.front(), 0);
    one.endRun(a, {}, {});
    two.endRun(b, {}, {});
    EXPECT_TRUE(one.ok());
    EXPECT_TRUE(two.ok());
    EXPECT_EQ(one.placements(a).size(), 300u);
    EXPECT_EQ(one.placements(b).size(), 300u);
    EXPECT_EQ(two.placements(a).size(), 300u);

    // A run begun after both ended takes ids above all of theirs.
    const int64_t c = one.beginRun(JournalRun{});
    EXPECT_GT(one.intend(c, "/c", "/out/c", 0), ids.back());
    one.endRun(c, {}, {});
}

// A run longer than the block of ids reserved for it at its start gets more
// in time, and another journal's run took the ids after its first block.
// While another process holds the database, the run goes on until it used
// up its ids, or until as many rows wait as the journal keeps in memory;
// then it waits for the database.
TEST_F(RecoveryTest, ARunOutgrowsItsIdsWhileTheDatabaseIsBusy) {
    constexpr int kCount = 150'000;
    RunJournal journal, other;
    ASSERT_EQ(journal.open(path()), 0);
    ASSERT_EQ(other.open(path()), 0);
    const int64_t run = journal.beginRun(JournalRun{});
    const int64_t between = other.beginRun(JournalRun{});
    const int64_t theirs = other.intend(between, "/theirs", "/out/theirs", 0);

    sqlite3* blocker = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path().c_str(), &blocker, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_busy_timeout(blocker, 3000);  // the writer may be committing
    std::thread release;
    int64_t previous = 0;
    for (int i = 1; i <= kCount; ++i) {
        // At 40,000 the run uses up its first block of ids while the writer
        // waits; at 70,000 it has ids enough, and the rows pile up.
        if (i == 40'000 || i == 70'000) {
            if (release.joinable()) release.join();
            ASSERT_EQ(sqlite3_exec(blocker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
                      SQLITE_OK);
            release = std::thread([blocker] {
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                sqlite3_exec(blocker, "COMMIT", nullptr, nullptr, nullptr);
            });
        }
        const int64_t placement = journal.intend(run, "/s/" + std::to_string(i), "/t", 1);
        if (placement <= previous || placement == theirs) {
            release.join();
            FAIL() << "placement " << i << " got id " << placement << " after " << previous;
        }
        previous = placement;
        journal.done(placement, OutcomeOf(i));
    }
    release.join();
    sqlite3_close(blocker);
    other.done(theirs, OutcomeOf(1));
    other.endRun(between, {}, {});
    journal.endRun(run, {}, {});
    EXPECT_TRUE(journal.ok());
    EXPECT_TRUE(other.ok());

    const std::vector<JournalPlacement> p = journal.placements(run);
    ASSERT_EQ(p.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(p[i].seq, i + 1);
        ASSERT_EQ(p[i].outcome.state, PlacementState::Done) << i + 1;
    }
    ASSERT_EQ(journal.placements(between).size(), 1u);
    EXPECT_GT(p.back().id, 2 * 65536) << "the run went on in a block above the other run's";
}

// A log that does not belong to this journal's runs (its journal was begun
// anew under the same name) is left alone, and a new run of the same id
// gets a log of another name. A log being made by a process that was killed
// holds no placement and is removed; other files are not touched.
TEST_F(RecoveryTest, LogsOfAnotherJournalAndUnfinishedLogs) {
    const int64_t run = RunAndDie(path(), 3);
    ASSERT_GT(run, 0);
    const std::vector<std::string> logs = RunLogsBeside(path());
    ASSERT_EQ(logs.size(), 1u);
    const std::string stale = test::ReadFile(log(logs[0]));
    for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((path() + suffix).c_str());

    test::WriteFile(log("journal.sqlite.run-77.log.new"), "");
    test::WriteFile(log("journal.sqlite.run-x.log"), "not ours");
    test::WriteFile(log("other.sqlite.run-1.log"), "not ours either");

    RunJournal journal;
    ASSERT_EQ(journal.open(path()), 0);
    EXPECT_EQ(RunLogsBeside(path()),
              (std::vector<std::string>{logs[0], "journal.sqlite.run-x.log"}));
    EXPECT_EQ(test::ReadFile(log(logs[0])), stale);
    EXPECT_EQ(test::ReadFile(log("other.sqlite.run-1.log")), "not ours either");
    EXPECT_TRUE(journal.runs(0).empty());

    const int64_t again = journal.beginRun(JournalRun{});
    ASSERT_EQ(again, run) << "the new journal numbers its runs from the start";
    const std::vector<std::string> both = RunLogsBeside(path());
    EXPECT_EQ(both.size(), 3u);
    EXPECT_EQ(test::ReadFile(log(logs[0])), stale);
    journal.done(journal.intend(again, "/new", "/out/new", 0), OutcomeOf(1));
    journal.close();  // leaves it without an end

    RunJournal reopened;
    ASSERT_EQ(reopened.open(path()), 0);
    const std::vector<JournalPlacement> p = reopened.placements(again);
    ASSERT_EQ(p.size(), 1u) << "nothing of the stale log was replayed";
    EXPECT_EQ(p[0].source, "/new");
    EXPECT_EQ(test::ReadFile(log(logs[0])), stale);
}

}  // namespace
}  // namespace zanfeld
