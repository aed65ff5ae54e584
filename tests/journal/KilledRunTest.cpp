// Sort runs killed with SIGKILL at random moments: every file whole in
// exactly one place, a journal that tells which placements were made (at
// most the last in doubt), and an undo that puts everything back.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <random>

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

constexpr int kFiles = 240;

std::string Content(int i) {
    // Most files small, every twentieth large enough for a kill inside its copy.
    return i % 20 == 0 ? Pattern(6 << 20, static_cast<unsigned>(i)) : "file " + std::to_string(i);
}

// The sources, on another file system than the output so that a move copies
// too, and one clash, so that a replaced file goes to the Trash and comes back.
std::vector<std::string> MakeSources(const TempDir& sources, const TempDir& dir) {
    std::vector<std::string> files;
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(sources / ("f" + std::to_string(i) + (i % 3 ? ".txt" : ".doc")));
        WriteFile(files.back(), Content(i));
    }
    WriteFile(dir / "out/.txt/f1.txt", "there before");
    return files;
}

TEST(KilledRunTest, EveryFileIsWholeInOnePlaceAndUndoPutsItBack) {
    std::mt19937 random(20261208);
    for (int trial = 0; trial < 6; ++trial) {
        const bool move = trial % 2 == 0;
        SCOPED_TRACE(testing::Message() << "trial " << trial << (move ? " move" : " copy"));
        TempDir sources("/dev/shm");  // a move across file systems copies, too
        TempDir dir;
        const ScopedEnv dataHome("XDG_DATA_HOME", dir / "data");
        const std::vector<std::string> files = MakeSources(sources, dir);
        const std::string journalPath = dir / "state/journal.sqlite";

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RunJournal journal;
            journal.open(journalPath);
            JournalHost host(journal);
            SortOptions o;
            o.page = SortPage::FileType;
            o.outputDir = dir / "out/";
            o.transferMode = move ? TransferMode::Move : TransferMode::Copy;
            o.sameFilePolicy = SameFilePolicy::Overwrite;
            RunFileSort(o, files, host);
            _exit(0);
        }
        std::uniform_int_distribution<int> delay(5, 120);
        usleep(static_cast<useconds_t>(delay(random)) * 1000);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        // Whole wherever it is, and never nowhere (a copy: the source
        // always).
        int both = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string name =
                files[static_cast<size_t>(i)].substr(sources.path().size() + 1);
            const std::string placed =
                dir / ("out/" + std::string(i % 3 ? ".txt/" : ".doc/") + name);
            const bool atSource = IsFile(files[static_cast<size_t>(i)]);
            const bool atTarget = IsFile(placed) && !(i == 1 && ReadFile(placed) == "there before");
            if (atSource) {
                EXPECT_EQ(ReadFile(files[static_cast<size_t>(i)]), Content(i)) << name;
            }
            if (atTarget) {
                EXPECT_EQ(ReadFile(placed), Content(i)) << name;
            }
            // A move killed between publishing its copy and letting go of
            // the source leaves the file in both places: never in neither.
            EXPECT_TRUE(atSource || atTarget) << name;
            if (!move) {
                EXPECT_TRUE(atSource) << name;
            }
            if (atSource && atTarget) ++both;
        }

        if (move) {
            EXPECT_LE(both, 1);  // at most the file being moved
        }

        RunJournal journal;
        ASSERT_EQ(journal.open(journalPath), 0);
        const auto runs = journal.runs(0);
        if (runs.empty()) continue;  // killed before the run began
        const int64_t run = runs.front().id;
        const auto placements = journal.placements(run);
        for (size_t i = 0; i + 1 < placements.size(); ++i)
            EXPECT_NE(placements[i].outcome.state, PlacementState::Intended) << i;

        RecordingHost undoHost;
        UndoRun(journal, run, undoHost);
        for (int i = 0; i < kFiles; ++i) {
            EXPECT_EQ(ReadFile(files[static_cast<size_t>(i)]), Content(i)) << i;
        }
        // Only what was there before is left in the output directory. (f1's
        // replacement, when the run was killed inside it, may have left the
        // older file in the Trash unrecorded: it is there, not lost.)
        for (const char* folder : {"out/.txt", "out/.doc"}) {
            if (!IsDir(dir / folder)) continue;
            for (const std::string& name : Names(dir / folder)) {
                EXPECT_EQ(std::string(folder) + "/" + name, "out/.txt/f1.txt");
            }
        }
        if (IsFile(dir / "out/.txt/f1.txt")) {
            EXPECT_EQ(ReadFile(dir / "out/.txt/f1.txt"), "there before");
        }
    }
}

// Undos of a move across file systems killed at random moments, then undone
// again: every file back once, whole, under its own name (never also under a
// numbered one), and the run undone exactly when everything is back.
TEST(KilledRunTest, AKilledUndoIsFinishedOnceByTheNext) {
    std::mt19937 random(20261209);
    int cut = 0;  // undos the kill cut short
    for (int trial = 0; trial < 4; ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        TempDir sources("/dev/shm");
        TempDir dir;
        const ScopedEnv dataHome("XDG_DATA_HOME", dir / "data");
        const std::vector<std::string> files = MakeSources(sources, dir);
        const std::string journalPath = dir / "state/journal.sqlite";
        int64_t run = 0;
        {
            RunJournal journal;
            ASSERT_EQ(journal.open(journalPath), 0);
            JournalHost host(journal);
            SortOptions o;
            o.page = SortPage::FileType;
            o.outputDir = dir / "out/";
            o.transferMode = TransferMode::Move;
            o.sameFilePolicy = SameFilePolicy::Overwrite;
            RunFileSort(o, files, host);
            run = journal.runs(1).at(0).id;
        }

        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RunJournal journal;
            journal.open(journalPath);
            RecordingHost host;
            UndoRun(journal, run, host);
            _exit(0);
        }
        std::uniform_int_distribution<int> delay(2, 60);
        usleep(static_cast<useconds_t>(delay(random)) * 1000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        RunJournal journal;
        ASSERT_EQ(journal.open(journalPath), 0);
        for (const JournalRun& r : journal.runs(0)) cut += r.id == run && r.undoneBy == 0;
        RecordingHost host;
        const UndoReport report = UndoRun(journal, run, host);
        EXPECT_EQ(report.kept, 0u) << ::testing::PrintToString(host.calls);
        EXPECT_EQ(report.renamedBack, 0u) << ::testing::PrintToString(host.calls);
        for (int i = 0; i < kFiles; ++i)
            EXPECT_EQ(ReadFile(files[static_cast<size_t>(i)]), Content(i)) << i;
        EXPECT_EQ(Names(sources.path()).size(), static_cast<size_t>(kFiles));
        EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{".txt"});
        EXPECT_EQ(Names(dir / "out/.txt"), std::vector<std::string>{"f1.txt"});
        EXPECT_EQ(ReadFile(dir / "out/.txt/f1.txt"), "there before");
        bool undone = false;
        for (const JournalRun& r : journal.runs(0)) undone = undone || (r.id == run && r.undoneBy);
        EXPECT_TRUE(undone);
    }
    EXPECT_GT(cut, 0);
}

}  // namespace
