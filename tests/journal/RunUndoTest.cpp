// Undo of real sort runs from their journal: copies, moves, overwrites brought
// back from the Trash, files changed or names taken since, a killed run's
// placement in doubt, a stopped undo, and no undo twice.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <optional>

#include "FileChecks.h"
#include "JournalHost.h"
#include "JournalRecorder.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "RunJournal.h"
#include "RunUndo.h"
#include "ScopedEnv.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

class RunUndoTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(m_journal.open(m_home / "state/journal.sqlite"), 0); }

    SortOptions TypeOptions(TransferMode mode, SameFilePolicy policy) {
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_dir / "out/";
        o.transferMode = mode;
        o.sameFilePolicy = policy;
        return o;
    }
    std::string Src(const std::string& name, const std::string& content) {
        WriteFile(m_dir / ("src/" + name), content, 2'000'000'000);
        return m_dir / ("src/" + name);
    }
    // Sorts, and returns the run's id in the journal.
    int64_t Sort(const SortOptions& o, const std::vector<std::string>& files) {
        JournalHost host(m_journal);
        RunFileSort(o, files, host);
        const auto runs = m_journal.runs(1);
        return runs.empty() ? 0 : runs[0].id;
    }
    UndoReport Undo(int64_t run) {
        m_undoHost.calls.clear();
        m_undoHost.progressNotes = 0;
        return UndoRun(m_journal, run, m_undoHost);
    }

    TempDir m_dir;
    TempDir m_home;
    ScopedEnv m_dataHome{"XDG_DATA_HOME", m_home / "data"};  // the Trash of the test's own
    RunJournal m_journal;
    JournalHost m_undoHost{m_journal};
};

TEST_F(RunUndoTest, ACopyRunIsTakenBackWithItsFoldersAndOnlyOnce) {
    const std::vector<std::string> files{Src("a.txt", "a"), Src("b.doc", "b")};
    WriteFile(m_dir / "out/keep.me", "the user's");
    const int64_t run = Sort(TypeOptions(TransferMode::Copy, SameFilePolicy::Rename), files);
    ASSERT_NE(run, 0);
    ASSERT_TRUE(IsFile(m_dir / "out/.txt/a.txt"));

    const UndoPlan plan = PlanUndo(m_journal, run);
    EXPECT_EQ(plan.removeCopies, 2u);
    EXPECT_EQ(plan.moveBack, 0u);
    const UndoReport r = Undo(run);
    EXPECT_EQ(r.copiesRemoved, 2u);
    EXPECT_EQ(r.foldersRemoved, 2u);
    EXPECT_EQ(Names(m_dir / "out"), std::vector<std::string>{"keep.me"});
    EXPECT_EQ(ReadFile(files[0]), "a");
    EXPECT_EQ(m_undoHost.of("info"),
              std::vector<std::string>{"撤销完成！\n\n移回 0 个文件，删除 2 个副本，从回收站恢复 0 "
                                       "个文件，删除 2 个空文件夹。"});

    // Marked undone: not offered again, and refused when asked for.
    EXPECT_NE(m_journal.runs(0).back().undoneBy, 0);
    const auto next = m_journal.lastUndoableRun();
    EXPECT_TRUE(!next || next->id != run);
    Undo(run);
    EXPECT_EQ(m_undoHost.of("info"), std::vector<std::string>{"这次分拣已经撤销过了。"});
}

TEST_F(RunUndoTest, AMoveRunGoesBackAndATakenNameGetsANumber) {
    const std::vector<std::string> files{Src("a.txt", "a"), Src("b.txt", "b")};
    const int64_t run = Sort(TypeOptions(TransferMode::Move, SameFilePolicy::Rename), files);
    ASSERT_FALSE(IsFile(files[0]));
    // Meanwhile the user made a new a.txt where the old one was.
    WriteFile(files[0], "a newer a");

    const UndoReport r = Undo(run);
    EXPECT_EQ(r.movedBack, 2u);
    EXPECT_EQ(r.renamedBack, 1u);
    EXPECT_EQ(ReadFile(files[0]), "a newer a");
    EXPECT_EQ(ReadFile(m_dir / "src/a_1.txt"), "a");
    EXPECT_EQ(ReadFile(files[1]), "b");
    EXPECT_FALSE(IsDir(m_dir / "out/.txt"));
    ASSERT_EQ(m_undoHost.of("info").size(), 1u);
    EXPECT_NE(
        m_undoHost.of("info")[0].find(m_dir / "src/a_1.txt：原来的名字已被占用，已移回并改名"),
        std::string::npos)
        << m_undoHost.of("info")[0];
}

TEST_F(RunUndoTest, OverwrittenFilesComeBackFromTheTrashByteForByte) {
    for (const auto mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        const std::string old = Pattern(100000, 3);
        WriteFile(m_dir / "out/.txt/a.txt", old, 1'000'000'000);
        const std::string a = Src("a.txt", "the new a");
        const int64_t run = Sort(TypeOptions(mode, SameFilePolicy::Overwrite), {a});
        ASSERT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), "the new a");
        EXPECT_EQ(PlanUndo(m_journal, run).restore, 1u);

        const UndoReport r = Undo(run);
        EXPECT_EQ(r.restored, 1u);
        EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), old);
        EXPECT_EQ(ReadFile(a), "the new a");
        EXPECT_EQ(Names(m_home / "data/Trash/files"), std::vector<std::string>{});
        EXPECT_EQ(Names(m_home / "data/Trash/info"), std::vector<std::string>{});
        // The folder was there before the run: it stays.
        EXPECT_TRUE(IsDir(m_dir / "out/.txt"));
    }
}

TEST_F(RunUndoTest, AChangedCopyIsKeptAndACopyWithoutItsSourceGoesToTheTrash) {
    WriteFile(m_dir / "out/.txt/a.txt", "replaced by the run", 1'000'000'000);
    const std::vector<std::string> files{Src("a.txt", "a"), Src("b.txt", "b")};
    const int64_t run = Sort(TypeOptions(TransferMode::Copy, SameFilePolicy::Overwrite), files);
    WriteFile(m_dir / "out/.txt/a.txt", "the user changed the copy");
    ASSERT_EQ(remove(files[1].c_str()), 0);  // b's source is gone: its copy is all there is

    const UndoReport r = Undo(run);
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), "the user changed the copy");
    EXPECT_EQ(r.kept, 2u);  // the changed copy, and the old a that cannot come back over it
    EXPECT_EQ(r.copiesTrashed, 1u);
    EXPECT_FALSE(IsFile(m_dir / "out/.txt/b.txt"));
    // Nothing was destroyed: the old a and the only b are in the Trash.
    const auto trashed = Names(m_home / "data/Trash/files");
    EXPECT_EQ(trashed.size(), 2u);
    EXPECT_EQ(m_undoHost.warnings, 1);
}

TEST_F(RunUndoTest, AKilledMovesPlacementInDoubtIsSettledByTheDisk) {
    const std::string a = Src("a.txt", "a");
    MakeDir(m_dir / "out");
    JournalRun record;
    record.outputDir = m_dir / "out/";
    record.mode = static_cast<int>(TransferMode::Move);
    const int64_t run = m_journal.beginRun(record);
    m_journal.intend(run, a, m_dir / "out/a.txt", static_cast<int>(TransferMode::Move));
    // The move happened; the process died before its outcome was written.
    ASSERT_EQ(rename(a.c_str(), (m_dir / "out/a.txt").c_str()), 0);
    EXPECT_EQ(PlanUndo(m_journal, run).inDoubt, 1u);

    const UndoReport r = Undo(run);
    EXPECT_EQ(r.movedBack, 1u);
    EXPECT_EQ(ReadFile(a), "a");
    EXPECT_FALSE(IsFile(m_dir / "out/a.txt"));
}

TEST_F(RunUndoTest, AStoppedUndoLeavesTheRestForTheNextOne) {
    std::vector<std::string> files;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) files.push_back(Src(name, name));
    const int64_t run = Sort(TypeOptions(TransferMode::Move, SameFilePolicy::Rename), files);

    m_undoHost.stopAfter = 1;  // stopped after the first file
    const UndoReport first = Undo(run);
    EXPECT_TRUE(first.stopped);
    EXPECT_EQ(first.movedBack, 1u);
    EXPECT_EQ(m_undoHost.of("info")[0].rfind("撤销已停止。", 0), 0u);
    EXPECT_TRUE(IsFile(files[2]));  // newest first
    EXPECT_EQ(m_journal.runs(0).front().undoes, run);

    m_undoHost.stopAfter = -1;
    const UndoReport second = Undo(run);
    EXPECT_FALSE(second.stopped);
    EXPECT_EQ(second.movedBack, 2u);
    EXPECT_EQ(second.kept, 0u);  // the one already back is not met again
    for (const std::string& f : files) EXPECT_TRUE(IsFile(f)) << f;
}

// A moved file goes back under its own name, under a number when that is
// taken, and into its folder made again when that is gone. Each way the
// undo records its one step, where the file went, and the run as undone.
TEST_F(RunUndoTest, AMovedFileGoesBackWhateverBecameOfItsFolder) {
    struct Case {
        const char* what;
        bool nameTaken;
        bool folderGone;
        const char* back;  // the name the file goes back under
    };
    const Case cases[] = {
        {"its name free", false, false, "a.txt"},
        {"its name taken", true, false, "a_1.txt"},
        {"its folder gone", false, true, "a.txt"},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = m_dir / ("src/" + std::to_string(++i) + "/sub");
        const std::string a = folder + "/a.txt";
        WriteFile(a, "a", 2'000'000'000);
        const int64_t run = Sort(TypeOptions(TransferMode::Move, SameFilePolicy::Rename), {a});
        ASSERT_NE(run, 0);
        ASSERT_FALSE(Exists(a));
        if (c.nameTaken) WriteFile(a, "a newer a");
        if (c.folderGone) ASSERT_EQ(::rmdir(folder.c_str()), 0);

        const UndoReport r = Undo(run);
        EXPECT_EQ(r.movedBack, 1u);
        EXPECT_EQ(r.renamedBack, c.nameTaken ? 1u : 0u);
        EXPECT_EQ(r.kept, 0u);
        const std::string back = folder + "/" + c.back;
        EXPECT_EQ(ReadFile(back), "a");
        EXPECT_FALSE(Exists(m_dir / "out/.txt/a.txt"));

        const std::vector<JournalRun> runs = m_journal.runs(2);
        ASSERT_EQ(runs.size(), 2u);
        EXPECT_EQ(runs[0].undoes, run);
        ASSERT_TRUE(runs[0].end);
        EXPECT_EQ(runs[0].end->kind, JournalEndKind::Finished);
        EXPECT_EQ(runs[0].counts.placed, 1);
        EXPECT_EQ(runs[1].id, run);
        EXPECT_EQ(runs[1].undoneBy, runs[0].id);
        const std::vector<JournalPlacement> steps = m_journal.placements(runs[0].id);
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0].source, m_dir / "out/.txt/a.txt");
        EXPECT_EQ(steps[0].target, a);
        EXPECT_EQ(steps[0].undoes, m_journal.placements(run).at(0).id);
        EXPECT_EQ(steps[0].outcome.state, PlacementState::Done);
        EXPECT_EQ(steps[0].outcome.result,
                  c.nameTaken ? PlacementResult::Renamed : PlacementResult::Placed);
        EXPECT_EQ(steps[0].outcome.placedTarget, c.nameTaken ? back : std::string());
    }
}

}  // namespace
