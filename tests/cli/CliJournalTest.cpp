// history and undo of the built zanfeld-cli through the run journal: what
// they refuse, how undo asks, and what it leaves alone. That undo gives every
// sort back to the byte is CliUndoRoundTripTest's part.

#include <gtest/gtest.h>

#include <algorithm>
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

    // Runs args with standard input on a terminal, answering its question.
    CliResult Answered(const std::vector<std::string>& args, const std::string& answer) const {
        CliProcess process(m_box.setup(args, CliInput::Terminal));
        EXPECT_TRUE(process.waitUntil([&] { return Contains(process.err(), "是否继续？"); }, 15s))
            << process.err();
        process.write(answer + "\n");
        return process.finish(30s);
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliJournalTest, AMoveIsListedAndUndoneOnceOnlyWhenConfirmed) {
    // Nothing to undo yet.
    CliResult r = m_box.run({"undo", "--yes", "--json"});
    EXPECT_EQ(r.exitCode, 2);
    const Json refused = Json::parse(r.out);
    EXPECT_TRUE(refused["refused"].boolean());
    EXPECT_EQ(refused["exit"].integer(), 2);
    r = m_box.run({"undo", "7", "--yes"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.empty());
    r = m_box.run({"history"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");

    const std::vector<std::string> names{"src/a.txt", "src/deep/b.doc", "src/c", "src/deep/d.txt"};
    for (size_t i = 0; i < names.size(); ++i) m_box.write(names[i], Pattern(1000 + i, i));
    const auto sources = TreeOf(P("src"));
    // An output folder whose name is no valid UTF-8 comes back byte for byte.
    const std::string out = "out\xfe";
    std::vector<std::string> args{"sort", "--by", "type", "--move", "--out", out, "--json"};
    args.insert(args.end(), names.begin(), names.end());
    r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const int64_t run = Json::parse(r.out)["run"].integer();

    const Json runs = m_box.history();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["run"].integer(), run);
    EXPECT_EQ(runs[0]["mode"].string(), "move");
    EXPECT_EQ(runs[0]["window"].string(), "files");
    EXPECT_EQ(runs[0]["output"].string(), P(out) + "/");
    EXPECT_EQ(runs[0]["counts"]["placed"].integer(), 4);
    EXPECT_TRUE(runs[0]["undone_by"].isNull());
    r = m_box.run({"history"});
    EXPECT_EQ(r.out.rfind(std::to_string(run) + "\t", 0), 0u) << r.out;

    // Neither without a terminal and --yes, nor when the answer is no, nor in
    // a dry run, which tells.
    const auto sorted = m_box.files();
    r = m_box.run({"undo"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "--yes")) << r.err;
    EXPECT_EQ(TreeDifference(m_box.files(), sorted), "");
    for (const char* no : {"n", ""}) {
        r = Answered({"undo"}, no);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_TRUE(Contains(r.err, "没有撤销。")) << r.err;
        EXPECT_EQ(TreeDifference(m_box.files(), sorted), "");
    }
    r = m_box.run({"undo", "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "移回 4 个文件")) << r.out;
    EXPECT_EQ(TreeDifference(m_box.files(), sorted), "");

    r = Answered({"undo", "--json"}, "y");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const Json undone = Json::parse(r.out);
    EXPECT_EQ(undone["run"].integer(), run);
    EXPECT_EQ(undone["moved_back"].integer(), 4);
    EXPECT_EQ(TreeDifference(TreeOf(P("src")), sources), "");
    EXPECT_EQ(FileCount(TreeOf(P(out))), 0u);
    EXPECT_FALSE(m_box.history()[1]["undone_by"].isNull());
    // The undo is listed as an undo, with what it put back.
    EXPECT_EQ(m_box.history()[0]["mode"].string(), "undo");
    r = m_box.run({"history", "--limit", "1"});
    EXPECT_TRUE(Contains(r.out, "\t撤销\t")) << r.out;
    EXPECT_TRUE(Contains(r.out, "\t移回 4，移除 0，恢复 0，未撤销 0\t")) << r.out;

    r = m_box.run({"undo", std::to_string(run), "--yes"});
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(CliJournalTest, UndoingACopyCountsWhatItRemovesAndRestores) {
    m_box.write("src/a.txt", "new a");
    m_box.write("src/b.doc", "new b");
    m_box.write("out/.txt/a.txt", "old a");
    ASSERT_EQ(m_box
                  .run({"sort", "--by", "type", "--same", "overwrite", "--out", "out", "src/a.txt",
                        "src/b.doc"})
                  .exitCode,
              0);
    // --quiet: an undo that put everything back says nothing; the JSON stays.
    const CliResult r = m_box.run({"undo", "--yes", "--json", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["copies_removed"].integer() + j["copies_trashed"].integer(), 2) << r.out;
    EXPECT_EQ(j["restored"].integer(), 1) << r.out;
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "old a");
    EXPECT_FALSE(Exists(P("out/.doc/b.doc")));
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
    const CliResult r = m_box.run({"undo", "--yes", "--json", "--quiet"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_TRUE(Contains(r.err, "撤销未能全部完成。")) << r.err;
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

}  // namespace
