// Copies prepared ahead on several threads against copies made in turn: the
// same names, bytes, counts, messages and records; a prepared copy whose
// source changed is not published; a stop leaves nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "CopyAhead.h"
#include "FileChecks.h"
#include "Placement.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "RunRecorder.h"
#include "ScopedEnv.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
namespace fs = std::filesystem;

namespace {

// s with every mention of root taken out.
std::string Rel(const std::string& root, std::string s) {
    for (size_t at; (at = s.find(root)) != std::string::npos;) s.erase(at, root.size());
    return s;
}

// Records each placement and every host call, paths relative to root; stops
// the run while file stopAt's turn is noted.
class Host : public RecordingHost, public RunRecorder {
  public:
    explicit Host(std::string root) : m_root(std::move(root)) {}
    RunRecorder* recorder() override { return this; }
    bool stopRequested() override { return m_stop; }
    void noteProgress(const RunProgress& p) override { m_stop = m_stop || p.index == stopAt; }
    void beginRun(RunWindow, const SortOptions&) override {}
    int64_t intend(const std::string& source, const std::string& target, TransferMode) override {
        lines.push_back(Rel(m_root, source + " " + target));
        return static_cast<int64_t>(lines.size());
    }
    void done(int64_t n, const PlacementRecord& r) override {
        lines.push_back(Rel(m_root, std::to_string(n) + " " + r.target + " " + r.trashFile) + " " +
                        std::to_string(static_cast<int>(r.outcome)) + " " +
                        std::to_string(r.error) + " " + std::to_string(r.size) + " " +
                        std::to_string(r.mtimeSec));
    }
    void madeFolder(const std::string& path) override { lines.push_back(Rel(m_root, path)); }
    void endRun(RunEnd, const RunCounts&) override {}
    bool ok() const override { return true; }
    std::vector<std::string> lines;
    size_t stopAt = SIZE_MAX;

  private:
    std::string m_root;
    bool m_stop = false;
};

// Every file of the sources and the output: its path from root, its bytes
// and last-write time.
std::map<std::string, std::pair<std::string, int64_t>> Tree(const std::string& root) {
    std::map<std::string, std::pair<std::string, int64_t>> files;
    for (const char* top : {"/src", "/out"})
        for (const auto& e : fs::recursive_directory_iterator(root + top))
            if (e.is_regular_file())
                files[e.path().string().substr(root.size())] = {ReadFile(e.path()),
                                                                LStat(e.path()).st_mtim.tv_sec};
    return files;
}

// Thirty files under five names from three folders, clashing with each
// other and with older and newer files there before.
std::vector<std::string> MakeTree(const TempDir& dir) {
    std::vector<std::string> sources;
    const char* names[] = {"西游记.txt", "游记 楼.txt", "红楼梦.doc", "noext", "b.txt"};
    for (int i = 0; i < 30; ++i) {
        sources.push_back(dir / ("src/" + std::to_string(i % 3) + "/" + names[i % 5]));
        WriteFile(sources.back(), Pattern(100 + i, i % 7),
                  int64_t{1'000'000'000} + (i % 4) * 500'000'000);
    }
    sources.push_back(dir / "src/gone.txt");  // listed, never there
    WriteFile(dir / "out/.txt/西游记.txt", "old", 1'000'000'000);
    WriteFile(dir / "out/.doc/红楼梦.doc", "newer", 2'000'000'000);
    WriteFile(dir / "out/游记/西游记_1.txt", "taken", 1'000'000'000);
    WriteFile(dir / "out/noext", Pattern(103, 3), 1'000'000'000);  // the twin of one source
    fs::create_directories(dir / "out/楼");
    return sources;
}

TEST(CopyAheadTest, PreparedCopiesEndAsCopiesInTurn) {
    for (const SortPage page : {SortPage::FileType, SortPage::Keys, SortPage::FileName,
                                SortPage::FileSize, SortPage::FileDate, SortPage::TakenDate})
        for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move})
            for (const SameFilePolicy policy :
                 {SameFilePolicy::Ask, SameFilePolicy::Rename, SameFilePolicy::Overwrite,
                  SameFilePolicy::Skip, SameFilePolicy::EditFileTime, SameFilePolicy::Identical}) {
                SCOPED_TRACE(testing::Message()
                             << static_cast<int>(page) << " " << static_cast<int>(mode) << " "
                             << static_cast<int>(policy));
                std::map<std::string, std::pair<std::string, int64_t>> trees[2];
                std::vector<std::string> calls[2], records[2];
                for (const unsigned jobs : {1u, 4u}) {
                    TempDir dir;
                    ScopedEnv data("XDG_DATA_HOME", dir / "data");
                    SortOptions o;
                    o.page = page;
                    o.outputDir = dir / "out/";
                    o.transferMode = mode;
                    o.sameFilePolicy = policy;
                    o.copyJobs = jobs;
                    o.keywordText = "游记 楼";
                    o.sizeText = "1";
                    o.sizeCondition = SizeCondition::Less;
                    o.sizeUnit = SizeUnit::KB;
                    o.dateSource = DateSource::Modified;
                    o.dateCondition = DateCondition::Later;
                    o.thresholdDate = CivilDate{2020, 1, 1};
                    o.takenPatterns = {"*.TXT", "*.DOC"};
                    o.takenFromModified = true;
                    Host host(dir.path());
                    host.answers = {true, false, true, true, false};
                    RunFileSort(o, MakeTree(dir), host);
                    const size_t k = jobs == 1 ? 0 : 1;
                    trees[k] = Tree(dir.path());
                    for (const std::string& call : host.calls)
                        calls[k].push_back(Rel(dir.path(), call));
                    records[k] = host.lines;
                    EXPECT_EQ(host.of("info").size(), 1u);
                }
                EXPECT_EQ(trees[0], trees[1]);
                EXPECT_EQ(calls[0], calls[1]);
                EXPECT_EQ(records[0], records[1]);
                EXPECT_GE(records[0].size(), 6u);  // each case places files
            }
}

// The mechanism itself: a prepared copy is published under its name; one
// whose source changed since is discarded and the file copied anew.
TEST(CopyAheadTest, APreparedCopyOfAChangedSourceIsNotPublished) {
    TempDir dir;
    const std::string a = dir / "src/a.txt", b = dir / "src/b.txt";
    WriteFile(a, "a as prepared");
    WriteFile(b, "b as prepared");
    fs::create_directories(dir / "out");
    CopyAhead copies(2);
    copies.add(0, a, dir / "out");
    copies.add(1, b, dir / "out");
    std::unique_ptr<PreparedCopy> first = copies.take(0, true), second = copies.take(1, true);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{});  // nothing visible yet
    WriteFile(b, "b changed since", 2'000'000'000);
    TargetFolder out;
    ASSERT_EQ(out.open(dir / "out"), 0);
    RecordingHost host;
    for (auto& [path, prepared] : {std::pair{a, first.get()}, std::pair{b, second.get()}})
        EXPECT_EQ(PlaceFile(path, out, TransferMode::Copy, SameFilePolicy::Skip, host, {}, nullptr,
                            prepared)
                      .status,
                  PlaceResult::Status::Placed);
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "a as prepared");
    EXPECT_EQ(ReadFile(dir / "out/b.txt"), "b changed since");
    EXPECT_EQ(Names(dir / "out"), (std::vector<std::string>{"a.txt", "b.txt"}));
}

// A stop with copies prepared ahead: the files before it placed whole, the
// rest nowhere, no temporary left.
TEST(CopyAheadTest, AStopDiscardsWhatWasPrepared) {
    TempDir dir;
    ScopedEnv data("XDG_DATA_HOME", dir / "data");
    std::vector<std::string> sources;
    for (int i = 0; i < 40; ++i) {
        sources.push_back(dir / ("src/f" + std::to_string(i) + ".txt"));
        WriteFile(sources.back(), Pattern(5000 + i, i));
    }
    fs::create_directories(dir / "out/.txt");
    SortOptions o;
    o.page = SortPage::FileType;
    o.outputDir = dir / "out/";
    o.copyJobs = 4;
    Host host(dir.path());
    host.stopAt = 9;
    RunFileSort(o, sources, host);
    const std::vector<std::string> names = Names(dir / "out/.txt");
    EXPECT_EQ(names.size(), 10u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(ReadFile(sources[i]), Pattern(5000 + i, i));
        const std::string target = dir / ("out/.txt/f" + std::to_string(i) + ".txt");
        if (i < 10)
            EXPECT_EQ(ReadFile(target), Pattern(5000 + i, i));
        else
            EXPECT_FALSE(Exists(target));
    }
    for (const std::string& name : names) EXPECT_NE(name[0], '.') << name;
}

}  // namespace
