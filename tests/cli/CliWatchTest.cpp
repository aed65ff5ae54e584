// zanfeld-cli watch on real folders (settle time 0.2 s): batches become
// automatic runs that undo cleanly, its own output below the watched folder
// is never sorted again, one watch a settings file, and SIGTERM in the
// middle of a batch leaves every file whole in exactly one place.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MiniJson.h"

using namespace zanfeld::test;
using namespace std::chrono_literals;

namespace {

class CliWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The output lies below the watched folder.
        const CliResult r = m_box.run({"plans", "save", "整理", "--by", "type", "--move", "--same",
                                       "identical", "--out", P("in/已整理")});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        MakeDir(P("in"));
    }
    std::string P(const std::string& relative) const { return m_box / relative; }
    CliProcess::Setup watch() const {
        return m_box.setup({"watch", P("in"), "--plan", "整理", "--settle", "0.2", "--json"});
    }
    // The files directly in the watched folder.
    size_t waiting() const {
        size_t n = 0;
        for (const std::string& name : Names(P("in"))) n += IsFile(P("in/" + name));
        return n;
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliWatchTest, BurstsBecomeAutomaticRunsThatUndoAndTheOutputIsLeftAlone) {
    constexpr int kFiles = 40;
    m_box.write("in/早到.txt", "there before the start");
    const auto before = m_box.files();
    for (int i = 0; i < kFiles; ++i)
        m_box.write("later/f" + std::to_string(i) + (i % 2 ? ".txt" : ".doc"), Pattern(100 + i, i));

    CliProcess process(watch());
    ASSERT_TRUE(process.waitUntil([&] { return waiting() == 0; }, 10s)) << process.err();
    // A second watch of the same settings file is refused, naming the first.
    const CliResult second = m_box.run({"watch", P("later"), "--plan", "整理"});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_TRUE(Contains(second.err, std::to_string(process.pid()))) << second.err;

    // Two bursts, moved in at once.
    for (int burst = 0; burst < 2; ++burst) {
        for (int i = burst; i < kFiles; i += 2) {
            const std::string name = "f" + std::to_string(i) + (i % 2 ? ".txt" : ".doc");
            ASSERT_EQ(::rename(P("later/" + name).c_str(), P("in/" + name).c_str()), 0);
        }
        ASSERT_TRUE(process.waitUntil([&] { return waiting() == 0; }, 10s)) << process.err();
    }
    std::this_thread::sleep_for(600ms);  // time to sort the output again, were it watched
    process.signal(SIGTERM);
    const CliResult r = process.finish(20s);
    EXPECT_EQ(r.exitCode, 0) << r.err;

    // Each file placed once: no batch took a file from the output.
    size_t files = 0, runs = 0;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        const Json batch = Json::parse(line);
        EXPECT_TRUE(batch["automatic"].boolean());
        EXPECT_EQ(batch["counts"]["placed"].integer(), batch["files"].integer());
        files += static_cast<size_t>(batch["files"].integer());
        ++runs;
    }
    EXPECT_EQ(files, kFiles + 1u);
    EXPECT_LE(runs, 5u) << "files that arrived together were sorted apart";
    EXPECT_EQ(FileCount(TreeOf(P("in/已整理"))), kFiles + 1u);
    const Json history = m_box.history();
    ASSERT_EQ(history.size(), runs);
    for (const Json& run : history.array()) {
        EXPECT_TRUE(run["automatic"].boolean());
        const CliResult undo = m_box.run({"undo", std::to_string(run["run"].integer()), "--yes"});
        EXPECT_EQ(undo.exitCode, 0) << undo.err;
    }
    // Everything back where it arrived; the folders the runs made gone.
    auto after = m_box.files();
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i) + (i % 2 ? ".txt" : ".doc");
        EXPECT_EQ(after["in/" + name], Pattern(100 + i, i)) << name;
        after.erase("in/" + name);
    }
    after.erase("later");
    EXPECT_EQ(TreeDifference(after, before), "");
}

// SIGTERM while a large batch is moved: the watch ends between files with
// status 0, every file whole in exactly one place.
TEST_F(CliWatchTest, SigtermInABatchLeavesEveryFileWholeInOnePlace) {
    constexpr int kFiles = 3000;
    for (int i = 0; i < kFiles; ++i)
        m_box.write("in/f" + std::to_string(i) + ".txt", Pattern(64, i));
    CliProcess process(watch());
    ASSERT_TRUE(process.waitUntil(
        [&] { return IsDir(P("in/已整理/.txt")) && !Names(P("in/已整理/.txt")).empty(); }, 20s));
    process.signal(SIGTERM);
    const CliResult r = process.finish(20s);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_GT(waiting(), 0u) << "the batch ended before the signal: nothing was stopped";
    size_t moved = 0;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "f" + std::to_string(i) + ".txt";
        const bool left = IsFile(P("in/" + name));
        const bool placed = IsFile(P("in/已整理/.txt/" + name));
        ASSERT_NE(left, placed) << name;
        EXPECT_EQ(ReadFile(P(left ? "in/" + name : "in/已整理/.txt/" + name)), Pattern(64, i));
        moved += placed;
    }
    // The batch's run tells what it did: stopped, each move counted.
    const Json history = m_box.history();
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(static_cast<size_t>(history[0]["counts"]["placed"].integer()), moved);
    EXPECT_EQ(history[0]["state"].string(), "已停止");
}

// --from-settings watches the folders switched on in [Watch], each with its
// plans and depth; a folder switched off is left alone.
TEST_F(CliWatchTest, FromSettingsWatchesTheFoldersSwitchedOn) {
    MakeDir(P("off"));
    std::string ini = m_box.read("config/Zanfeld.ini");
    ini += "\n[Watch]\nCount=2\nFolder1=" + P("in") + "\nPlans1=整理\nOn1=1\nDepth1=1\nAll1=0\n" +
           "Folder2=" + P("off") + "\nPlans2=整理\nOn2=0\nDepth2=0\nAll2=0\n";
    m_box.write("config/Zanfeld.ini", ini);
    m_box.write("off/留下.txt", "switched off");
    CliProcess process(m_box.setup({"watch", "--from-settings", "--settle", "0.2"}));
    std::this_thread::sleep_for(300ms);
    m_box.write("in/sub/深处.txt", "one level down");
    EXPECT_TRUE(process.waitUntil([&] { return IsFile(P("in/已整理/.txt/深处.txt")); }, 10s))
        << process.err();
    process.signal(SIGTERM);
    EXPECT_EQ(process.finish(20s).exitCode, 0);
    EXPECT_TRUE(IsFile(P("off/留下.txt")));
}

}  // namespace
