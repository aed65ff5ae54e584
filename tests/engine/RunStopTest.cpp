// Runs that the user stops, between files and inside a large copy, and the
// progress notes and counts a run gives its host.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FileChecks.h"
#include "FolderSort.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

// A host that stops the run when a progress note meets a condition, and
// keeps the notes and the counts.
class StoppingHost : public RecordingHost {
  public:
    bool stopRequested() override { return m_stop; }
    void noteProgress(const RunProgress& p) override {
        notes.push_back(p);
        paths.push_back(p.path ? *p.path : std::string());
        if (stopWhen && stopWhen(p)) m_stop = true;
    }
    void noteCounts(const RunCounts& c) override { counts.push_back(c); }

    std::function<bool(const RunProgress&)> stopWhen;
    std::vector<RunProgress> notes;
    std::vector<std::string> paths;
    std::vector<RunCounts> counts;

  private:
    bool m_stop = false;
};

constexpr size_t kMiB = 1024 * 1024;

class RunStopTest : public ::testing::Test {
  protected:
    SortOptions TypeOptions(TransferMode mode = TransferMode::Copy) {
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_dir / "out/";
        o.transferMode = mode;
        o.sameFilePolicy = SameFilePolicy::Overwrite;
        return o;
    }

    TempDir m_dir;
    StoppingHost m_host;
};

TEST_F(RunStopTest, AStopBetweenFilesEndsWithTheCountsSoFarAndLeavesTheRestAlone) {
    std::vector<std::string> files;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        files.push_back(m_dir / (std::string("src/") + name));
        WriteFile(files.back(), std::string("data of ") + name);
    }
    // The user presses stop while the third file's turn is noted. A move
    // within one file system is a single rename, which goes through; the
    // run stops before the next file.
    m_host.stopWhen = [](const RunProgress& p) { return p.index == 2; };
    RunFileSort(TypeOptions(TransferMode::Move), files, m_host);

    EXPECT_EQ(m_host.of("info"),
              std::vector<std::string>{
                  "分拣已停止。\n\n已放置 3 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个。"});
    EXPECT_EQ(Names(m_dir / "out/.txt").size(), 3u);
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/c.txt"), "data of c.txt");
    EXPECT_FALSE(IsFile(files[2]));
    EXPECT_EQ(ReadFile(files[3]), "data of d.txt");
    // The bar ends empty without passing 100; the window is free again.
    EXPECT_EQ(m_host.progress().back(), 0);
    EXPECT_EQ(m_host.of("progress").end()[-2], "50");
    EXPECT_EQ(m_host.of("busy").back(), "0");
    ASSERT_EQ(m_host.counts.size(), 1u);
    EXPECT_EQ(m_host.counts[0].placed, 3u);
    // Every entry's turn is noted with the list's length and the mode.
    ASSERT_GE(m_host.notes.size(), 3u);
    EXPECT_EQ(m_host.notes[0].count, 4u);
    EXPECT_TRUE(m_host.notes[0].moving);
    EXPECT_EQ(m_host.paths[0], files[0]);
}

TEST_F(RunStopTest, AStopInsideALargeCopyLeavesNoPartOfItAndTheSourceWhole) {
    for (const auto mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        // Moved across file systems the data is copied too; within one, a
        // move is a rename with no chunks to stop between.
        TempDir sources("/dev/shm");
        if (mode == TransferMode::Move && !OnDifferentDevices(sources.path(), m_dir.path()))
            GTEST_SKIP() << "/dev/shm and /tmp are one file system here";
        const std::string big = sources / "film.mkv";
        const std::string content = Pattern(80 * kMiB, 7);
        WriteFile(big, content);
        WriteFile(m_dir / "out/.mkv/film.mkv", "the older film");

        StoppingHost host;
        // Stopped once the first chunk is through.
        host.stopWhen = [](const RunProgress& p) {
            return p.bytesDone > 0 && p.bytesDone < p.bytesTotal;
        };
        RunFileSort(TypeOptions(mode), {big}, host);

        ASSERT_EQ(host.of("info").size(), 1u);
        EXPECT_EQ(host.of("info")[0].rfind("分拣已停止。", 0), 0u) << host.of("info")[0];
        EXPECT_EQ(ReadFile(big), content);
        EXPECT_EQ(ReadFile(m_dir / "out/.mkv/film.mkv"), "the older film");
        // No hidden part-copy beside it.
        EXPECT_EQ(Names(m_dir / "out/.mkv"), std::vector<std::string>{"film.mkv"});
        // The bytes were reported as they went, against the whole size.
        bool sawBytes = false;
        for (const RunProgress& p : host.notes)
            sawBytes = sawBytes || (p.bytesTotal == content.size() && p.bytesDone >= 32 * kMiB);
        EXPECT_TRUE(sawBytes);
        ASSERT_EQ(host.counts.size(), 1u);
        EXPECT_EQ(host.counts[0].placed + host.counts[0].overwritten, 0u);
    }
}

TEST_F(RunStopTest, CountsTellPlacedSkippedRenamedOverwrittenAndFailedFiles) {
    std::vector<std::string> files;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.bad", "f.txt"}) {
        files.push_back(m_dir / (std::string("src/") + name));
        WriteFile(files.back(), "new", 2'000'000'000);
    }
    for (const char* name : {"b.txt", "c.txt", "d.txt"})
        WriteFile(m_dir / (std::string("out/.txt/") + name), "old", 1'000'000'000);
    WriteFile(m_dir / "out/.bad", "a file where a folder would go");
    // The same-name answer changes from file to file, as a user may change it
    // during a run.
    const std::vector<SameFilePolicy> policies{SameFilePolicy::Skip,      SameFilePolicy::Rename,
                                               SameFilePolicy::Overwrite, SameFilePolicy::Skip,
                                               SameFilePolicy::Overwrite, SameFilePolicy::Ask};
    size_t file = 0;
    m_host.onRefresh = [&](SortOptions& o) { o.sameFilePolicy = policies[file++]; };
    RunFileSort(TypeOptions(), files, m_host);

    ASSERT_EQ(m_host.counts.size(), 1u);
    const RunCounts& c = m_host.counts[0];
    EXPECT_EQ(c.placed, 2u);  // a, and f with nothing to ask about
    EXPECT_EQ(c.renamed, 1u);
    EXPECT_EQ(c.overwritten, 1u);
    EXPECT_EQ(c.skipped, 1u);
    EXPECT_EQ(c.failed, 1u);
    EXPECT_EQ(c.text(), "已放置 2 个，跳过 1 个，改名 1 个，覆盖 1 个，失败 1 个");
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/b_1.txt"), "new");
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/d.txt"), "old");
}

TEST_F(RunStopTest, AFolderSortStopsBetweenTheFilesOfATree) {
    const std::string tree = m_dir / "src/相册";
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"})
        WriteFile(tree + "/" + name, std::string("photo ") + name);
    SortOptions o;
    o.page = SortPage::FileName;
    o.outputDir = m_dir / "out/";
    o.sameFilePolicy = SameFilePolicy::Overwrite;
    // Stopped when the tree's second file comes up (a note without bytes is
    // a file's turn; its copy notes its bytes).
    int files = 0;
    m_host.stopWhen = [&](const RunProgress& p) {
        return p.bytesTotal == 0 && p.path->find(".jpg") != std::string::npos && ++files == 2;
    };
    RunFolderSort(o, {tree}, m_host);

    ASSERT_EQ(m_host.of("info").size(), 1u);
    EXPECT_EQ(m_host.of("info")[0],
              "分拣已停止。\n\n已放置 1 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 0 个。");
    EXPECT_EQ(Names(m_dir / "out/相册/相册").size(), 1u);
    EXPECT_EQ(Names(tree).size(), 4u);
    EXPECT_EQ(m_host.progress().back(), 0);
}

// A host that knows nothing of stops and notes runs exactly as before.
TEST_F(RunStopTest, AHostWithoutStopsOrNotesSeesTheSameRun) {
    RecordingHost plain;
    const std::string a = m_dir / "src/a.txt";
    WriteFile(a, "a");
    RunFileSort(TypeOptions(), {a}, plain);
    EXPECT_EQ(plain.of("info"), std::vector<std::string>{"分拣工作完成！"});
    EXPECT_EQ(plain.progress(), (std::vector<int>{0, 100, 0}));
}

}  // namespace
