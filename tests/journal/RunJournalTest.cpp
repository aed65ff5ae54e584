#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "JournalFiles.h"
#include "RunJournal.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::TempDir;

JournalRun FilesRun(const std::string& output) {
    JournalRun run;
    run.window = RunWindow::Files;
    run.page = 2;
    run.mode = 1;
    run.policy = 3;
    run.outputDir = output;
    return run;
}

PlacementOutcome Placed(int64_t size, uint64_t inode) {
    PlacementOutcome o;
    o.state = PlacementState::Done;
    o.result = PlacementResult::Placed;
    o.size = size;
    o.mtimeSec = 1700000000;
    o.mtimeNsec = 123456789;
    o.device = 2049;
    o.inode = inode;
    return o;
}

class RunJournalTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(m_journal.open(path()), 0); }
    std::string path() const { return m_dir / "state/Zanfeld/journal.sqlite"; }

    TempDir m_dir;
    RunJournal m_journal;
};

// Every field of a run, its placements and its folders comes back as written,
// path bytes that are not UTF-8 included, and again after the journal was
// closed and opened anew.
TEST_F(RunJournalTest, ANormalRunRoundTripsEveryField) {
    const std::string notUtf8 = std::string("/src/bad\xff\xfe name\x80.jpg");
    const std::string chinese = "/输出/照片/二〇二三年.jpg";
    const std::string output = std::string("/out\xc3\x28/目标");
    const std::string withNul = std::string("/odd\0name", 9);

    JournalRun run = FilesRun(output);
    run.window = RunWindow::Folders;
    run.startedNs = 1700000000123456789;
    const int64_t id = m_journal.beginRun(run);
    ASSERT_GT(id, 0);

    const int64_t a = m_journal.intend(id, notUtf8, chinese, 1);
    ASSERT_GT(a, 0);
    m_journal.madeFolder(id, "/输出/照片");
    m_journal.done(a, Placed(4096, 77));

    const int64_t b = m_journal.intend(id, chinese, withNul, 0);
    ASSERT_GT(b, 0);
    PlacementOutcome overwritten = Placed(12, 0xfffffffffffffff0ull);  // the top bit survives
    overwritten.result = PlacementResult::Overwritten;
    overwritten.device = 0x8000000000000001ull;
    overwritten.mtimeSec = -5;  // before the epoch
    overwritten.trashedPath = "/home/u/.local/share/Trash/files/\xff.jpg";
    overwritten.trashInfoPath = "/home/u/.local/share/Trash/info/\xff.jpg.trashinfo";
    m_journal.done(b, overwritten);

    const int64_t c = m_journal.intend(id, "/src/c", "/out/c", 1);
    PlacementOutcome noTrash = Placed(1, 3);
    noTrash.result = PlacementResult::Overwritten;
    noTrash.replacedWithoutTrash = true;
    m_journal.done(c, noTrash);

    const int64_t d = m_journal.intend(id, "/src/d", "/out/d", 1);
    PlacementOutcome failed;
    failed.state = PlacementState::Failed;
    failed.result = PlacementResult::Failed;
    failed.error = 28;
    m_journal.done(d, failed);

    const int64_t e = m_journal.intend(id, "/src/e", "/out/e", 1);
    PlacementOutcome skipped;
    skipped.state = PlacementState::Skipped;
    skipped.result = PlacementResult::Skipped;
    m_journal.done(e, skipped);

    const int64_t f = m_journal.intend(id, "/src/f", "/out/f_1", 1);
    PlacementOutcome renamed = Placed(5, 9);
    renamed.result = PlacementResult::Renamed;
    m_journal.done(f, renamed);

    m_journal.endRun(id, JournalEnd{JournalEndKind::Finished, ""}, JournalCounts{2, 1, 1, 2, 1});
    EXPECT_TRUE(m_journal.ok());

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "as written" : "after reopening");
        const std::vector<JournalRun> runs = m_journal.runs(10);
        ASSERT_EQ(runs.size(), 1u);
        const JournalRun& r = runs[0];
        EXPECT_EQ(r.id, id);
        EXPECT_EQ(r.window, RunWindow::Folders);
        EXPECT_EQ(r.page, 2);
        EXPECT_EQ(r.mode, 1);
        EXPECT_EQ(r.policy, 3);
        EXPECT_EQ(r.outputDir, output);
        EXPECT_EQ(r.startedNs, 1700000000123456789);
        EXPECT_GT(r.endedNs, r.startedNs);
        ASSERT_TRUE(r.end.has_value());
        EXPECT_EQ(r.end->kind, JournalEndKind::Finished);
        EXPECT_EQ(r.end->reason, "");
        EXPECT_EQ(r.counts.placed, 2);
        EXPECT_EQ(r.counts.skipped, 1);
        EXPECT_EQ(r.counts.renamed, 1);
        EXPECT_EQ(r.counts.overwritten, 2);
        EXPECT_EQ(r.counts.failed, 1);
        EXPECT_EQ(r.undoneBy, 0);
        EXPECT_EQ(r.undoes, 0);

        const std::vector<JournalPlacement> p = m_journal.placements(id);
        ASSERT_EQ(p.size(), 6u);
        for (size_t i = 0; i < p.size(); ++i) {
            EXPECT_EQ(p[i].run, id);
            EXPECT_EQ(p[i].seq, static_cast<int64_t>(i + 1));
        }
        EXPECT_EQ(p[0].id, a);
        EXPECT_EQ(p[0].source, notUtf8);
        EXPECT_EQ(p[0].target, chinese);
        EXPECT_EQ(p[0].mode, 1);
        EXPECT_EQ(p[0].outcome.state, PlacementState::Done);
        EXPECT_EQ(p[0].outcome.result, PlacementResult::Placed);
        EXPECT_EQ(p[0].outcome.size, 4096);
        EXPECT_EQ(p[0].outcome.mtimeSec, 1700000000);
        EXPECT_EQ(p[0].outcome.mtimeNsec, 123456789);
        EXPECT_EQ(p[0].outcome.device, 2049u);
        EXPECT_EQ(p[0].outcome.inode, 77u);
        EXPECT_EQ(p[0].outcome.trashedPath, "");
        EXPECT_FALSE(p[0].outcome.replacedWithoutTrash);

        EXPECT_EQ(p[1].id, b);
        EXPECT_EQ(p[1].source, chinese);
        EXPECT_EQ(p[1].target, withNul);
        EXPECT_EQ(p[1].mode, 0);
        EXPECT_EQ(p[1].outcome.result, PlacementResult::Overwritten);
        EXPECT_EQ(p[1].outcome.inode, 0xfffffffffffffff0ull);
        EXPECT_EQ(p[1].outcome.device, 0x8000000000000001ull);
        EXPECT_EQ(p[1].outcome.mtimeSec, -5);
        EXPECT_EQ(p[1].outcome.trashedPath, overwritten.trashedPath);
        EXPECT_EQ(p[1].outcome.trashInfoPath, overwritten.trashInfoPath);
        EXPECT_FALSE(p[1].outcome.replacedWithoutTrash);

        EXPECT_EQ(p[2].outcome.result, PlacementResult::Overwritten);
        EXPECT_TRUE(p[2].outcome.replacedWithoutTrash);
        EXPECT_EQ(p[2].outcome.trashedPath, "");

        EXPECT_EQ(p[3].outcome.state, PlacementState::Failed);
        EXPECT_EQ(p[3].outcome.result, PlacementResult::Failed);
        EXPECT_EQ(p[3].outcome.error, 28);

        EXPECT_EQ(p[4].outcome.state, PlacementState::Skipped);
        EXPECT_EQ(p[4].outcome.result, PlacementResult::Skipped);

        EXPECT_EQ(p[5].target, "/out/f_1");
        EXPECT_EQ(p[5].outcome.result, PlacementResult::Renamed);

        EXPECT_EQ(m_journal.madeFolders(id), std::vector<std::string>{"/输出/照片"});

        m_journal.close();
        EXPECT_FALSE(m_journal.ok());
        ASSERT_EQ(m_journal.open(path()), 0);
    }
}

// The folders on the way are made private, and the journal is in WAL mode
// with the schema version set.
TEST_F(RunJournalTest, OpeningMakesPrivateFoldersAndTheDatabase) {
    struct stat st {};
    ASSERT_EQ(::stat((m_dir / "state/Zanfeld").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((m_dir / "state").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(test::IsFile(path()));
    EXPECT_TRUE(m_journal.ok());
    EXPECT_EQ(m_journal.error(), 0);
    EXPECT_EQ(m_journal.movedAside(), "");
}

TEST_F(RunJournalTest, AStoppedRunAndOneEndedEarlyKeepHowTheyEnded) {
    const int64_t stopped = m_journal.beginRun(FilesRun("/out"));
    const int64_t placement = m_journal.intend(stopped, "/a", "/out/a", 0);
    m_journal.done(placement, Placed(1, 1));
    m_journal.endRun(stopped, JournalEnd{JournalEndKind::Stopped, ""},
                     JournalCounts{1, 0, 0, 0, 0});

    const int64_t early = m_journal.beginRun(FilesRun("/out"));
    m_journal.endRun(early, JournalEnd{JournalEndKind::EndedEarly, "输出文件夹无法创建"}, {});

    const int64_t killed = m_journal.beginRun(FilesRun("/out"));  // never ended

    const std::vector<JournalRun> runs = m_journal.runs(0);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].id, killed);
    EXPECT_FALSE(runs[0].end.has_value());
    EXPECT_EQ(runs[0].endedNs, 0);
    EXPECT_EQ(runs[1].id, early);
    ASSERT_TRUE(runs[1].end.has_value());
    EXPECT_EQ(runs[1].end->kind, JournalEndKind::EndedEarly);
    EXPECT_EQ(runs[1].end->reason, "输出文件夹无法创建");
    EXPECT_EQ(runs[2].id, stopped);
    ASSERT_TRUE(runs[2].end.has_value());
    EXPECT_EQ(runs[2].end->kind, JournalEndKind::Stopped);
    EXPECT_EQ(runs[2].counts.placed, 1);
    ASSERT_EQ(m_journal.placements(stopped).size(), 1u);
    EXPECT_TRUE(m_journal.placements(early).empty());
}

// History lists the newest run first and honours the limit; each run's
// placements stay its own even when two runs go on at once.
TEST_F(RunJournalTest, HistoryIsNewestFirstAndRunsKeepTheirOwnPlacements) {
    std::vector<int64_t> ids;
    for (int i = 0; i < 5; ++i) {
        const int64_t id = m_journal.beginRun(FilesRun("/out" + std::to_string(i)));
        ids.push_back(id);
        m_journal.endRun(id, {}, {});
    }
    const int64_t first = m_journal.beginRun(FilesRun("/first"));
    const int64_t second = m_journal.beginRun(FilesRun("/second"));
    for (int i = 0; i < 3; ++i) {
        m_journal.done(m_journal.intend(first, "/f" + std::to_string(i), "/t", 0), Placed(i, 1));
        m_journal.done(m_journal.intend(second, "/s" + std::to_string(i), "/t", 0), Placed(i, 2));
    }
    m_journal.endRun(second, {}, {});
    m_journal.endRun(first, {}, {});

    const std::vector<JournalRun> all = m_journal.runs(0);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[0].id, second);
    EXPECT_EQ(all[1].id, first);
    for (size_t i = 2; i < all.size(); ++i) EXPECT_EQ(all[i].id, ids[6 - i]);
    for (size_t i = 1; i < all.size(); ++i) EXPECT_GE(all[i - 1].startedNs, all[i].startedNs);

    const std::vector<JournalRun> three = m_journal.runs(3);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[2].id, ids[4]);
    EXPECT_EQ(three[2].outputDir, "/out4");

    for (const auto& [run, letter] : {std::pair{first, 'f'}, std::pair{second, 's'}}) {
        const std::vector<JournalPlacement> p = m_journal.placements(run);
        ASSERT_EQ(p.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(p[i].source, std::string("/") + letter + std::to_string(i));
            EXPECT_EQ(p[i].seq, i + 1);
            EXPECT_EQ(p[i].outcome.size, i);
        }
    }
    EXPECT_TRUE(m_journal.placements(999).empty());
}

// The last undoable run skips runs that were undone, undo runs themselves,
// runs that changed nothing and runs still going; markUndone links both ways.
TEST_F(RunJournalTest, MarkUndoneAndTheLastUndoableRun) {
    EXPECT_FALSE(m_journal.lastUndoableRun().has_value());

    const int64_t older = m_journal.beginRun(FilesRun("/older"));
    m_journal.done(m_journal.intend(older, "/a", "/older/a", 1), Placed(1, 1));
    m_journal.endRun(older, {}, JournalCounts{1, 0, 0, 0, 0});

    const int64_t newer = m_journal.beginRun(FilesRun("/newer"));
    m_journal.done(m_journal.intend(newer, "/b", "/newer/b", 1), Placed(1, 2));
    m_journal.endRun(newer, {}, JournalCounts{1, 0, 0, 0, 0});

    const int64_t nothing = m_journal.beginRun(FilesRun("/nothing"));
    PlacementOutcome skipped;
    skipped.state = PlacementState::Skipped;
    skipped.result = PlacementResult::Skipped;
    m_journal.done(m_journal.intend(nothing, "/c", "/nothing/c", 1), skipped);
    m_journal.endRun(nothing, {}, JournalCounts{0, 1, 0, 0, 0});

    std::optional<JournalRun> last = m_journal.lastUndoableRun();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->id, newer);

    JournalRun undo = FilesRun("/newer");
    undo.undoes = newer;
    const int64_t undoRun = m_journal.beginRun(undo);
    // Still going here: the undo run is not offered, the run it undoes still is.
    m_journal.done(m_journal.intend(undoRun, "/newer/b", "/b", 1), Placed(1, 2));
    last = m_journal.lastUndoableRun();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->id, newer);
    m_journal.endRun(undoRun, {}, JournalCounts{1, 0, 0, 0, 0});
    m_journal.markUndone(newer, undoRun);

    last = m_journal.lastUndoableRun();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->id, older);

    const std::vector<JournalRun> runs = m_journal.runs(0);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].id, undoRun);
    EXPECT_EQ(runs[0].undoes, newer);
    EXPECT_EQ(runs[0].undoneBy, 0);
    EXPECT_EQ(runs[2].id, newer);
    EXPECT_EQ(runs[2].undoneBy, undoRun);

    m_journal.markUndone(older, undoRun);
    EXPECT_FALSE(m_journal.lastUndoableRun().has_value());

    // A killed run, whose last placement is in doubt, can be undone.
    const int64_t killed = m_journal.beginRun(FilesRun("/killed"));
    m_journal.intend(killed, "/d", "/killed/d", 1);
    m_journal.close();  // leaves the run without an end, as a kill does
    RunJournal other;
    ASSERT_EQ(other.open(path()), 0);
    last = other.lastUndoableRun();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->id, killed);
    EXPECT_FALSE(last->end.has_value());
}

// A second journal on the same file (another window's process) waits while a
// run holds it, and sees everything once the run ended.
TEST_F(RunJournalTest, AnotherConnectionSeesEndedRuns) {
    const int64_t id = m_journal.beginRun(FilesRun("/out"));
    m_journal.done(m_journal.intend(id, "/a", "/out/a", 1), Placed(1, 1));
    m_journal.endRun(id, {}, JournalCounts{1, 0, 0, 0, 0});

    RunJournal other;
    ASSERT_EQ(other.open(path()), 0);
    const std::vector<JournalRun> runs = other.runs(0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].id, id);
    ASSERT_EQ(other.placements(id).size(), 1u);
    const int64_t next = other.beginRun(FilesRun("/out2"));
    EXPECT_GT(next, id);
    other.endRun(next, {}, {});
    EXPECT_EQ(m_journal.runs(0).size(), 2u);
    EXPECT_TRUE(other.ok());
    EXPECT_TRUE(m_journal.ok());
}

// Puts XDG_STATE_HOME and HOME back as they were.
class DefaultPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"XDG_STATE_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            m_saved.push_back({name, value != nullptr, value ? value : ""});
        }
    }
    void TearDown() override {
        for (const auto& s : m_saved) {
            if (s.had)
                ::setenv(s.name.c_str(), s.value.c_str(), 1);
            else
                ::unsetenv(s.name.c_str());
        }
    }
    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    std::vector<Saved> m_saved;
};

TEST_F(DefaultPathTest, StateHomeWhenAbsoluteElseTheHomeFolder) {
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_STATE_HOME", "/var/state/me", 1);
    EXPECT_EQ(RunJournal::DefaultPath(), "/var/state/me/Zanfeld/journal.sqlite");

    for (const char* ignored : {"", "relative/state", "./state", "~/state"}) {
        SCOPED_TRACE(ignored);
        ::setenv("XDG_STATE_HOME", ignored, 1);
        EXPECT_EQ(RunJournal::DefaultPath(), "/home/someone/.local/state/Zanfeld/journal.sqlite");
    }
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RunJournal::DefaultPath(), "/home/someone/.local/state/Zanfeld/journal.sqlite");
    ::setenv("HOME", "/", 1);
    EXPECT_EQ(RunJournal::DefaultPath(), "/.local/state/Zanfeld/journal.sqlite");
}

TEST_F(DefaultPathTest, WithoutHomeThePasswordEntrySays) {
    ::unsetenv("XDG_STATE_HOME");
    ::unsetenv("HOME");
    const std::string path = RunJournal::DefaultPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    const std::string tail = "/.local/state/Zanfeld/journal.sqlite";
    ASSERT_GT(path.size(), tail.size());
    EXPECT_EQ(path.substr(path.size() - tail.size()), tail);
}

// A journal of the version before the watcher's mark is brought up to date:
// its runs read as made by a person, and a new run keeps its mark.
TEST_F(RunJournalTest, AnOlderJournalGainsTheAutomaticMark) {
    JournalRun run = FilesRun("/out");
    const int64_t old = m_journal.beginRun(run);
    m_journal.endRun(old, {}, {});
    m_journal.close();
    ASSERT_EQ(test::SqlValues(path(), "ALTER TABLE run DROP COLUMN automatic; "
                                      "PRAGMA user_version = 2"),
              "");
    ASSERT_EQ(m_journal.open(path()), 0);
    EXPECT_EQ(test::SqlValues(path(), "PRAGMA user_version"), "3");
    run.automatic = true;
    const int64_t watched = m_journal.beginRun(run);
    m_journal.endRun(watched, {}, {});
    const std::vector<JournalRun> runs = m_journal.runs(0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].id, watched);
    EXPECT_TRUE(runs[0].automatic);
    EXPECT_EQ(runs[1].id, old);
    EXPECT_FALSE(runs[1].automatic);
}

}  // namespace
}  // namespace zanfeld
