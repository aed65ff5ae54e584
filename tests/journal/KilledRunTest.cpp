// Sort runs killed with SIGKILL at random moments: every file whole in
// exactly one place, a journal that tells which placements were made (at
// most the last in doubt), and an undo that puts everything back.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>
#include <thread>

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

// Every fourth file has an older one of its name in the output, which the
// run replaces: a kill often lands inside a replacement.
bool Clashes(int i) { return i % 4 == 1; }
std::string Before(int i) { return "there before " + std::to_string(i); }
std::string Folder(int i) { return i % 3 ? ".txt" : ".doc"; }

// The sources, on another file system than the output so that a move copies
// too, and the older files in the output. Undo tells a file made by the run
// from one that was there before by its change time, allowing 50 ms for the
// kernel's coarse clock: the older files are made longer ago than that, as
// a person's files are.
std::vector<std::string> MakeSources(const TempDir& sources, const TempDir& dir) {
    for (int i = 0; i < kFiles; ++i)
        if (Clashes(i))
            WriteFile(dir / ("out/" + Folder(i) + "/f" + std::to_string(i) + Folder(i)),
                      Before(i));
    const auto olderMade = std::chrono::steady_clock::now();
    std::vector<std::string> files;
    for (int i = 0; i < kFiles; ++i) {
        files.push_back(sources / ("f" + std::to_string(i) + Folder(i)));
        WriteFile(files.back(), Content(i));
    }
    std::this_thread::sleep_until(olderMade + std::chrono::milliseconds(60));
    return files;
}

// After an undo: the sources whole, the output as it was before the run,
// and nothing left in the Trash (the replaced files are back, and no name of
// ours is there).
void ExpectAsBefore(const std::vector<std::string>& files, const TempDir& dir) {
    for (int i = 0; i < kFiles; ++i)
        EXPECT_EQ(ReadFile(files[static_cast<size_t>(i)]), Content(i)) << i;
    for (const std::string folder : {".txt", ".doc"}) {
        std::vector<std::string> expected;
        for (int i = 0; i < kFiles; ++i)
            if (Clashes(i) && Folder(i) == folder)
                expected.push_back("f" + std::to_string(i) + folder);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Names(dir / ("out/" + folder)), expected) << folder;
        for (const std::string& name : expected) {
            const int i = std::stoi(name.substr(1));
            EXPECT_EQ(ReadFile(dir / ("out/" + folder + "/" + name)), Before(i)) << name;
        }
    }
    if (IsDir(dir / "data/Trash/files")) {
        EXPECT_EQ(Names(dir / "data/Trash/files"), std::vector<std::string>{});
        EXPECT_EQ(Names(dir / "data/Trash/info"), std::vector<std::string>{});
    }
}

// What an undo told its host, without the progress calls, so that a failure
// shows the reason.
std::string Told(const RecordingHost& host) {
    std::vector<std::string> told;
    for (const std::string& call : host.calls)
        if (call.rfind("progress:", 0) != 0) told.push_back(call);
    return ::testing::PrintToString(told);
}

bool Undone(RunJournal& journal, int64_t run) {
    for (const JournalRun& r : journal.runs(0))
        if (r.id == run) return r.undoneBy != 0;
    return false;
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
            const std::string placed = dir / ("out/" + Folder(i) + "/" + name);
            const bool atSource = IsFile(files[static_cast<size_t>(i)]);
            const bool atTarget = IsFile(placed) && !(Clashes(i) && ReadFile(placed) == Before(i));
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

        // Everything comes back, and the undo says so.
        RecordingHost undoHost;
        const UndoReport report = UndoRun(journal, run, undoHost);
        EXPECT_EQ(report.kept, 0u) << Told(undoHost);
        EXPECT_EQ(report.lost, 0u);
        EXPECT_TRUE(Undone(journal, run));
        ExpectAsBefore(files, dir);
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
        EXPECT_EQ(report.kept, 0u) << Told(host);
        EXPECT_EQ(report.renamedBack, 0u) << Told(host);
        EXPECT_EQ(Names(sources.path()).size(), static_cast<size_t>(kFiles));
        ExpectAsBefore(files, dir);
        EXPECT_TRUE(Undone(journal, run));
    }
    EXPECT_GT(cut, 0);
}

}  // namespace
