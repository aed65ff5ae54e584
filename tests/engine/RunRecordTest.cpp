// What a run records of itself for a later undo, and replaced files kept in
// the Trash rather than destroyed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FolderSort.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "RunRecorder.h"
#include "ScopedEnv.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

struct Intent {
    std::string source;
    std::string target;
    TransferMode mode;
};

// Keeps every call it gets.
class ListRecorder : public RunRecorder {
  public:
    void beginRun(RunWindow w, const SortOptions& o) override {
        window = w;
        outputDir = o.outputDir;
        ++begun;
    }
    int64_t intend(const std::string& source, const std::string& target,
                   TransferMode mode) override {
        intents.push_back({source, target, mode});
        records.emplace_back();
        return static_cast<int64_t>(intents.size());
    }
    void done(int64_t placement, const PlacementRecord& record) override {
        records.at(static_cast<size_t>(placement - 1)) = record;
    }
    void madeFolder(const std::string& path) override { folders.push_back(path); }
    void endRun(RunEnd e, const RunCounts& c) override {
        end = e;
        counts = c;
    }
    bool ok() const override { return writable; }

    std::optional<RunWindow> window;
    std::string outputDir;
    int begun = 0;
    std::vector<Intent> intents;
    std::vector<std::optional<PlacementRecord>> records;
    std::vector<std::string> folders;
    std::optional<RunEnd> end;
    RunCounts counts;
    bool writable = true;
};

class RecordedHost : public RecordingHost {
  public:
    RunRecorder* recorder() override { return &rec; }
    bool keepReplacedFiles() override { return keep; }
    ListRecorder rec;
    bool keep = false;
};

class RunRecordTest : public ::testing::Test {
  protected:
    SortOptions TypeOptions(SameFilePolicy policy, TransferMode mode = TransferMode::Copy) {
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

    TempDir m_dir;
    RecordedHost m_host;
};

TEST_F(RunRecordTest, EveryPlacementIsIntendedThenRecordedWithThePlacedFile) {
    WriteFile(m_dir / "out/.txt/a.txt", "there before");
    const std::vector<std::string> files{Src("a.txt", "new a"), Src("b.doc", "new b")};
    RunFileSort(TypeOptions(SameFilePolicy::Rename), files, m_host);

    ListRecorder& r = m_host.rec;
    EXPECT_EQ(r.begun, 1);
    EXPECT_EQ(r.window, RunWindow::Files);
    EXPECT_EQ(r.outputDir, m_dir / "out/");
    ASSERT_EQ(r.intents.size(), 2u);
    // Intended under its own name, placed under the numbered one.
    EXPECT_EQ(r.intents[0].source, files[0]);
    EXPECT_EQ(r.intents[0].target, m_dir / "out/.txt/a.txt");
    ASSERT_TRUE(r.records[0]);
    EXPECT_EQ(r.records[0]->target, m_dir / "out/.txt/a_1.txt");
    EXPECT_EQ(r.records[0]->outcome, FileOutcome::Renamed);
    struct stat st;
    ASSERT_EQ(stat((m_dir / "out/.txt/a_1.txt").c_str(), &st), 0);
    EXPECT_EQ(r.records[0]->inode, static_cast<uint64_t>(st.st_ino));
    EXPECT_EQ(r.records[0]->device, static_cast<uint64_t>(st.st_dev));
    EXPECT_EQ(r.records[0]->size, 5);
    EXPECT_EQ(r.records[0]->mtimeSec, 2'000'000'000);
    ASSERT_TRUE(r.records[1]);
    EXPECT_EQ(r.records[1]->outcome, FileOutcome::Placed);
    // The folder the run made, and not the one that was there.
    EXPECT_EQ(r.folders, std::vector<std::string>{m_dir / "out/.doc"});
    EXPECT_EQ(r.end, RunEnd::Finished);
    EXPECT_EQ(r.counts.placed, 1u);
    EXPECT_EQ(r.counts.renamed, 1u);
    EXPECT_EQ(m_host.of("info"), std::vector<std::string>{"分拣工作完成！"});
}

TEST_F(RunRecordTest, AReplacedFileGoesToTheTrashAndItsPlaceThereIsRecorded) {
    TempDir dataHome;
    const ScopedEnv scoped("XDG_DATA_HOME", dataHome.path());
    m_host.keep = true;
    for (const auto mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        m_host.rec = ListRecorder{};
        WriteFile(m_dir / "out/.txt/a.txt", "the old a");
        const std::string a = Src("a.txt", "the new a");
        RunFileSort(TypeOptions(SameFilePolicy::Overwrite, mode), {a}, m_host);

        EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), "the new a");
        ASSERT_EQ(m_host.rec.records.size(), 1u);
        const PlacementRecord& rec = *m_host.rec.records[0];
        EXPECT_EQ(rec.outcome, FileOutcome::Overwritten);
        EXPECT_FALSE(rec.replacedLost);
        ASSERT_FALSE(rec.trashFile.empty());
        EXPECT_EQ(rec.trashFile.rfind(dataHome.path() + "/Trash/files/", 0), 0u) << rec.trashFile;
        EXPECT_EQ(ReadFile(rec.trashFile), "the old a");
        EXPECT_NE(ReadFile(rec.trashInfo).find("Path=" + m_dir.path()), std::string::npos);
        EXPECT_EQ(Names(m_dir / "out/.txt"), std::vector<std::string>{"a.txt"});
        EXPECT_EQ(m_host.of("info").back(), "分拣工作完成！");
    }
}

TEST_F(RunRecordTest, AReplacedFileNoTrashCanTakeIsReplacedAsBeforeAndCounted) {
    // The home Trash cannot be made: a file stands where its folder would go.
    TempDir dataHome;
    WriteFile(dataHome / "Trash", "not a folder");
    const ScopedEnv scoped("XDG_DATA_HOME", dataHome.path());
    m_host.keep = true;
    WriteFile(m_dir / "out/.txt/a.txt", "the old a");
    const std::string a = Src("a.txt", "the new a");
    RunFileSort(TypeOptions(SameFilePolicy::Overwrite), {a}, m_host);

    EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), "the new a");
    EXPECT_EQ(Names(m_dir / "out/.txt"), std::vector<std::string>{"a.txt"});
    ASSERT_EQ(m_host.rec.records.size(), 1u);
    EXPECT_TRUE(m_host.rec.records[0]->replacedLost);
    EXPECT_TRUE(m_host.rec.records[0]->trashFile.empty());
    EXPECT_EQ(m_host.of("info"),
              std::vector<std::string>{
                  "分拣工作完成！\n\n有 1 个被覆盖的文件无法放入回收站，已不能恢复。"});
}

TEST_F(RunRecordTest, ARecordThatCannotBeWrittenIsSaidAndTheRunGoesOn) {
    m_host.rec.writable = false;
    const std::string a = Src("a.txt", "a");
    RunFileSort(TypeOptions(SameFilePolicy::Overwrite), {a}, m_host);
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/a.txt"), "a");
    EXPECT_EQ(m_host.of("info"),
              std::vector<std::string>{"分拣工作完成！\n\n分拣记录无法写入，此次分拣不能撤销。"});
}

TEST_F(RunRecordTest, AFolderSortRecordsEachFileOfItsTreesAndTheFoldersItMade) {
    WriteFile(m_dir / "src/相册/1.jpg", "one");
    WriteFile(m_dir / "src/相册/sub/2.jpg", "two");
    SortOptions o;
    o.page = SortPage::FileName;
    o.outputDir = m_dir / "out/";
    o.sameFilePolicy = SameFilePolicy::Skip;
    RunFolderSort(o, {m_dir / "src/相册"}, m_host);

    ListRecorder& r = m_host.rec;
    EXPECT_EQ(r.window, RunWindow::Folders);
    ASSERT_EQ(r.intents.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        ASSERT_TRUE(r.records[i]);
        EXPECT_EQ(r.records[i]->outcome, FileOutcome::Placed);
        EXPECT_EQ(r.intents[i].mode, TransferMode::Copy);
        EXPECT_EQ(r.records[i]->target, r.intents[i].target);
        EXPECT_GT(r.records[i]->inode, 0u);
    }
    // Every folder made, outermost first: the output directory was missing too.
    EXPECT_EQ(r.folders,
              (std::vector<std::string>{m_dir / "out", m_dir / "out/相册", m_dir / "out/相册/相册",
                                        m_dir / "out/相册/相册/sub"}));
    EXPECT_EQ(r.end, RunEnd::Finished);
}

// The record holds the placed entry as a look at it right after finds it (a
// link moved as a link, as itself). Where the placement holds those facts
// (a copy it wrote and has open, or had before its hidden name was renamed;
// an entry it renamed) the record makes no look of its own; elsewhere it
// looks once.
TEST_F(RunRecordTest, ThePlacedEntryIsRecordedAndLookedAtOnlyWherePlacingCannotTell) {
    struct Case {
        const char* what;
        TransferMode mode;
        SameFilePolicy policy;
        bool link;        // the source is a symlink
        bool taken;       // a file is under the source's name in the folder already
        bool hiddenCopy;  // no unnamed files: a copy is written under a hidden name
        const char* placed;
        int looks;  // stat and lstat calls the record adds to the same run unrecorded
    };
    const Case cases[] = {
        {"copy", TransferMode::Copy, SameFilePolicy::Rename, false, false, false, "a.txt", 0},
        {"copy, numbered", TransferMode::Copy, SameFilePolicy::Rename, false, true, false,
         "a_1.txt", 0},
        {"copy, hidden name first", TransferMode::Copy, SameFilePolicy::Rename, false, false, true,
         "a.txt", 0},
        {"copy, hidden name, numbered", TransferMode::Copy, SameFilePolicy::Rename, false, true,
         true, "a_1.txt", 0},
        {"copy over a file", TransferMode::Copy, SameFilePolicy::Overwrite, false, true, false,
         "a.txt", 1},
        {"move", TransferMode::Move, SameFilePolicy::Rename, false, false, false, "a.txt", 0},
        {"move, numbered", TransferMode::Move, SameFilePolicy::Rename, false, true, false,
         "a_1.txt", 0},
        {"move of a link", TransferMode::Move, SameFilePolicy::Rename, true, false, false, "a.txt",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int looks[2] = {0, 0};
        for (const bool recorded : {false, true}) {
            TempDir dir;
            const std::string source = dir / "src/a.txt";
            if (c.link) {
                WriteFile(dir / "src/linked.doc", "what the link leads to", 1'000'000'000);
                ASSERT_EQ(::symlink("linked.doc", source.c_str()), 0);
            } else {
                WriteFile(source, "the new a", 2'000'000'000);
                SetTimes(source, 2'000'000'000, 0, 2'000'000'000, 123'456'789);
            }
            if (c.taken) WriteFile(dir / "out/.txt/a.txt", "there before", 1'000'000'000);
            SortOptions o = TypeOptions(c.policy, c.mode);
            o.outputDir = dir / "out/";
            RecordedHost recordedHost;
            RecordingHost plainHost;
            FaultySys sys;
            if (c.hiddenCopy) sys.refuseUnnamedFiles();
            {
                ScopedSys scoped(sys);
                RunFileSort(o, {source},
                            recorded ? static_cast<SortHost&>(recordedHost) : plainHost);
            }
            looks[recorded] = sys.calls(SysOp::Lstat) + sys.calls(SysOp::Stat);
            if (!recorded) continue;
            ASSERT_EQ(recordedHost.rec.records.size(), 1u);
            ASSERT_TRUE(recordedHost.rec.records[0]);
            const PlacementRecord& r = *recordedHost.rec.records[0];
            const std::string placed = dir / (std::string("out/.txt/") + c.placed);
            EXPECT_EQ(r.target, placed);
            const struct stat st = LStat(placed);
            EXPECT_EQ(S_ISLNK(st.st_mode), c.link);
            EXPECT_EQ(r.device, static_cast<uint64_t>(st.st_dev));
            EXPECT_EQ(r.inode, static_cast<uint64_t>(st.st_ino));
            EXPECT_EQ(r.size, static_cast<int64_t>(st.st_size));
            EXPECT_EQ(r.mtimeSec, static_cast<int64_t>(st.st_mtim.tv_sec));
            EXPECT_EQ(r.mtimeNsec, static_cast<int64_t>(st.st_mtim.tv_nsec));
        }
        EXPECT_EQ(looks[1] - looks[0], c.looks);
    }
}

}  // namespace
