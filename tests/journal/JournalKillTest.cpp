#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "JournalFiles.h"
#include "RunJournal.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

// What the child has been told back by the journal, in memory the parent
// still reads after the kill.
struct Progress {
    std::atomic<int64_t> run{0};
    std::atomic<int64_t> intended{0};  // intend() of this placement returned
    std::atomic<int64_t> settled{0};   // done() of this placement returned
};

std::string Source(int64_t i) { return "/源/照片\xff/" + std::to_string(i) + ".jpg"; }
std::string Target(int64_t i) { return "/out/2023/" + std::to_string(i) + ".jpg"; }

// The child's run: intend, a placement's worth of work, done; until killed.
[[noreturn]] void JournalUntilKilled(const std::string& path, Progress* progress) {
    RunJournal journal;
    if (journal.open(path) != 0) ::_exit(2);
    JournalRun run;
    run.outputDir = "/out";
    const int64_t id = journal.beginRun(run);
    if (id <= 0) ::_exit(3);
    progress->run = id;
    for (int64_t i = 1; i < 50'000'000; ++i) {
        const int64_t placement = journal.intend(id, Source(i), Target(i), 1);
        if (placement <= 0) ::_exit(4);
        progress->intended = i;
        // The placement itself: a few microseconds.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(5);
        while (std::chrono::steady_clock::now() < until) {
        }
        PlacementOutcome outcome;
        outcome.size = i;
        outcome.inode = static_cast<uint64_t>(i) * 3;
        outcome.mtimeSec = 1700000000 + i;
        journal.done(placement, outcome);
        progress->settled = i;
    }
    ::_exit(0);
}

std::string IntegrityCheck(const std::string& path) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) ==
            SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                result += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
    } else {
        result = sqlite3_errmsg(db);
    }
    sqlite3_close(db);
    return result;
}

// A process killed (SIGKILL) at a random moment of a run, its writer thread
// perhaps in the middle of a batch, leaves a journal that passes SQLite's
// integrity check and the run's log; the next open() replays the log, and
// the journal then holds every placement whose intend() returned, each
// settled with its outcome except at most the last, and the log is gone.
TEST(JournalKillTest, AKilledRunLeavesAllButAtMostTheLastPlacementSettled) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    auto* progress = static_cast<Progress*>(::mmap(
        nullptr, sizeof(Progress), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(progress, MAP_FAILED);

    int64_t mostIntended = 0;
    int lastInDoubt = 0;
    int replayed = 0;  // kills after which the log held what the database had not
    const std::vector<int> delaysMs = {15, 40, 75, 120, 180, 260, 350, 500};
    for (size_t trial = 0; trial < delaysMs.size(); ++trial) {
        const int delayUs =
            delaysMs[trial] * 1000 + std::uniform_int_distribution<int>(0, 9999)(random);
        SCOPED_TRACE("trial " + std::to_string(trial) + ", killed after " +
                     std::to_string(delayUs) + " us");
        test::TempDir dir;
        const std::string path = dir / "journal.sqlite";
        new (progress) Progress{};

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) JournalUntilKilled(path, progress);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself, status " << status;

        const int64_t run = progress->run.load();
        const int64_t intended = progress->intended.load();
        const int64_t settled = progress->settled.load();
        mostIntended = std::max(mostIntended, intended);
        if (!test::IsFile(path)) continue;  // killed before the journal was made
        EXPECT_EQ(IntegrityCheck(path), "ok");
        // The run's log was made before beginRun() returned.
        const std::vector<std::string> logs = test::RunLogsBeside(path);
        if (run != 0) {
            EXPECT_EQ(logs, std::vector<std::string>{"journal.sqlite.run-" + std::to_string(run) +
                                                     ".log"});
        }
        const std::string committed =
            test::SqlValues(path, "SELECT count(*) FROM placement WHERE state <> 0") + "/" +
            test::SqlValues(path, "SELECT count(*) FROM placement");

        RunJournal journal;
        ASSERT_EQ(journal.open(path), 0);
        EXPECT_TRUE(test::RunLogsBeside(path).empty()) << "the log is removed once replayed";
        EXPECT_EQ(IntegrityCheck(path), "ok");
        if (run == 0) continue;  // killed before the run was recorded
        const std::vector<JournalRun> runs = journal.runs(0);
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].id, run);
        EXPECT_FALSE(runs[0].end.has_value());

        const std::vector<JournalPlacement> placements = journal.placements(run);
        const int64_t count = static_cast<int64_t>(placements.size());
        // Nothing whose intend() returned is lost; an intent may be on the
        // disk although its intend() had not returned yet.
        EXPECT_GE(count, intended);
        EXPECT_LE(count, intended + 1);
        int64_t done = 0;
        for (int64_t i = 0; i < count; ++i) {
            const JournalPlacement& p = placements[i];
            ASSERT_EQ(p.seq, i + 1);
            ASSERT_EQ(p.source, Source(i + 1));
            ASSERT_EQ(p.target, Target(i + 1));
            if (i + 1 < count) {
                ASSERT_EQ(p.outcome.state, PlacementState::Done) << "placement " << i + 1;
            } else if (p.outcome.state == PlacementState::Intended) {
                ++lastInDoubt;
                EXPECT_EQ(p.outcome.result, PlacementResult::None);
                continue;
            }
            ASSERT_EQ(p.outcome.state, PlacementState::Done);
            EXPECT_EQ(p.outcome.size, i + 1);
            EXPECT_EQ(p.outcome.inode, static_cast<uint64_t>(i + 1) * 3);
            EXPECT_EQ(p.outcome.mtimeSec, 1700000000 + i + 1);
            ++done;
        }
        // An outcome whose done() returned may still wait for the next intend(),
        // but only the last placement's.
        EXPECT_GE(done, settled - 1);
        EXPECT_GE(done, count - 1);
        if (committed != std::to_string(done) + "/" + std::to_string(count)) ++replayed;
    }
    ::munmap(progress, sizeof(Progress));
    // The kills must have hit runs under way, not only their start, and the
    // database must have been behind the log (the writer batches).
    EXPECT_GT(mostIntended, 100);
    EXPECT_GT(replayed, 0);
    RecordProperty("last_in_doubt", lastInDoubt);
    RecordProperty("replayed", replayed);
}

}  // namespace
}  // namespace zanfeld
