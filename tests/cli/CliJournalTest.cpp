// history and undo of the built zanfeld-cli through the run journal.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MiniJson.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
using namespace std::chrono_literals;

namespace {

class CliJournalTest : public ::testing::Test {
  protected:
    std::string P(const std::string& relative) const { return m_box / relative; }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliJournalTest, AMoveIsUndoneThroughTheJournal) {
    const std::vector<std::string> names{"src/a.txt", "src/deep/b.doc", "src/c", "src/deep/d.txt"};
    for (size_t i = 0; i < names.size(); ++i) m_box.write(names[i], Pattern(1000 + i, i));
    const auto sources = TreeOf(P("src"));
    // An output folder whose name is no valid UTF-8 comes back byte for byte.
    const std::string out = "out\xfe";
    std::vector<std::string> args{"sort", "--by", "type", "--move", "--out", out, "--json"};
    args.insert(args.end(), names.begin(), names.end());
    const CliResult sorted = m_box.run(args);
    ASSERT_EQ(sorted.exitCode, 0) << sorted.err;
    const int64_t run = Json::parse(sorted.out)["run"].integer();
    EXPECT_EQ(FileCount(TreeOf(P("src"))), 0u);

    const Json runs = m_box.history();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["run"].integer(), run);
    EXPECT_EQ(runs[0]["mode"].string(), "move");
    EXPECT_EQ(runs[0]["window"].string(), "files");
    EXPECT_EQ(runs[0]["output"].string(), P(out) + "/");
    EXPECT_EQ(runs[0]["counts"]["placed"].integer(), 4);
    EXPECT_TRUE(runs[0]["undone_by"].isNull());
    const CliResult listed = m_box.run({"history"});
    EXPECT_EQ(listed.out.rfind(std::to_string(run) + "\t", 0), 0u) << listed.out;

    // No terminal and no --yes: nothing happens.
    const auto sortedTree = m_box.files();
    CliResult r = m_box.run({"undo"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "--yes")) << r.err;
    EXPECT_EQ(TreeDifference(m_box.files(), sortedTree), "");
    // Nor with a dry run, which tells.
    r = m_box.run({"undo", "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "移回 4 个文件")) << r.out;
    EXPECT_EQ(TreeDifference(m_box.files(), sortedTree), "");

    r = m_box.run({"undo", "--yes", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const Json undone = Json::parse(r.out);
    EXPECT_EQ(undone["run"].integer(), run);
    EXPECT_EQ(undone["moved_back"].integer(), 4);
    EXPECT_EQ(TreeDifference(TreeOf(P("src")), sources), "");
    EXPECT_EQ(FileCount(TreeOf(P(out))), 0u);
    EXPECT_FALSE(m_box.history()[1]["undone_by"].isNull());

    r = m_box.run({"undo", std::to_string(run), "--yes"});
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(CliJournalTest, UndoAsksOnATerminal) {
    m_box.write("src/a.txt", "a");
    ASSERT_EQ(m_box.run({"sort", "--by", "type", "--move", "--out", "out", "src/a.txt"}).exitCode,
              0);
    for (const char* answer : {"n", "y"}) {
        CliProcess process(m_box.setup({"undo"}, CliInput::Terminal));
        ASSERT_TRUE(process.waitUntil([&] { return Contains(process.err(), "是否继续？"); }, 15s))
            << process.err();
        process.write(std::string(answer) + "\n");
        const CliResult r = process.finish(30s);
        if (answer[0] == 'n') {
            EXPECT_EQ(r.exitCode, 2) << r.err;
            EXPECT_TRUE(IsFile(P("out/.txt/a.txt")));
        } else {
            EXPECT_EQ(r.exitCode, 0) << r.err;
            EXPECT_EQ(m_box.read("src/a.txt"), "a");
            EXPECT_FALSE(Exists(P("out/.txt/a.txt")));
        }
    }
}

TEST_F(CliJournalTest, UndoingACopyRemovesTheCopiesAndBringsBackWhatWasReplaced) {
    m_box.write("src/a.txt", "new a");
    m_box.write("src/b.doc", "new b");
    m_box.write("out/.txt/a.txt", "old a");
    const auto before = m_box.files();
    const CliResult r = m_box.run(
        {"sort", "--by", "type", "--same", "overwrite", "--out", "out", "src/a.txt", "src/b.doc"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(m_box.read("out/.txt/a.txt"), "new a");

    const CliResult undone = m_box.run({"undo", "--yes", "--json"});
    ASSERT_EQ(undone.exitCode, 0) << undone.err;
    const Json j = Json::parse(undone.out);
    EXPECT_EQ(j["copies_removed"].integer() + j["copies_trashed"].integer(), 2);
    EXPECT_EQ(j["restored"].integer(), 1);
    // The tree as it was; the Trash may keep what it took meanwhile.
    auto after = m_box.files();
    for (auto it = after.begin(); it != after.end();)
        it = it->first.rfind("data", 0) == 0 ? after.erase(it) : std::next(it);
    auto expected = before;
    for (auto it = expected.begin(); it != expected.end();)
        it = it->first.rfind("data", 0) == 0 ? expected.erase(it) : std::next(it);
    EXPECT_EQ(TreeDifference(after, expected), "") << Listing(after);
}

TEST_F(CliJournalTest, UndoLeavesChangedFilesAndReplacesNothing) {
    m_box.write("src/a.txt", "a");
    m_box.write("src/b.txt", "b");
    m_box.write("src/c.txt", "c");
    ASSERT_EQ(m_box
                  .run({"sort", "--by", "type", "--move", "--out", "out", "src/a.txt", "src/b.txt",
                        "src/c.txt"})
                  .exitCode,
              0);
    // Since the run: a was changed where it went; a new b came to its old place.
    m_box.write("out/.txt/a.txt", "a, changed since");
    m_box.write("src/b.txt", "another b");
    const CliResult r = m_box.run({"undo", "--yes", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["kept"].integer(), 1);
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "a, changed since");
    EXPECT_FALSE(Exists(P("src/a.txt")));
    EXPECT_EQ(m_box.read("src/c.txt"), "c");
    // Both b's are kept: the new one where it is, the moved one beside it.
    EXPECT_EQ(m_box.read("src/b.txt"), "another b");
    std::vector<std::string> bs;
    for (const auto& [path, bytes] : TreeOf(P("src"))) bs.push_back(bytes);
    std::sort(bs.begin(), bs.end());
    EXPECT_EQ(bs, (std::vector<std::string>{"another b", "b", "c"}));
}

TEST_F(CliJournalTest, ARunWhoseJournalCannotBeWrittenStillSorts) {
    m_box.write("blocked", "a file where the journal's folder would be");
    m_box.write("src/a.txt", "a");
    CliProcess::Setup setup =
        m_box.setup({"sort", "--by", "type", "--out", "out", "--json", "src/a.txt"});
    setup.env.emplace_back("XDG_STATE_HOME", P("blocked/state"));
    CliResult r = RunProgram(setup);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_TRUE(j["run"].isNull());
    EXPECT_TRUE(Contains(j["message"].string(), "不能撤销")) << r.out;
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "a");
    setup.args = {"undo", "--yes"};
    r = RunProgram(setup);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "a");
}

TEST_F(CliJournalTest, NothingToUndoIsRefused) {
    CliResult r = m_box.run({"undo", "--yes", "--json"});
    EXPECT_EQ(r.exitCode, 2);
    const Json j = Json::parse(r.out);
    EXPECT_TRUE(j["refused"].boolean());
    EXPECT_EQ(j["exit"].integer(), 2);
    r = m_box.run({"undo", "7", "--yes"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.empty());
    r = m_box.run({"history"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
}

}  // namespace
