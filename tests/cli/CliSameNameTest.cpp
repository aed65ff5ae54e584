// The same-name answers of the built zanfeld-cli on real clashes: each
// --same policy, --same ask refused without a terminal or answered by
// --yes/--no, and the questions typed on a pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>

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

// The question the program asks about an existing target.
std::string Question(const std::string& target) { return "文件" + target + "已存在，是否覆盖？"; }

class CliSameNameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // a: the file there is older than the new one; b: newer.
        m_box.write("src/a.txt", "new a", 1'600'000'000);
        m_box.write("src/b.txt", "new b", 1'600'000'000);
        m_box.write("out/.txt/a.txt", "old a", 1'500'000'000);
        m_box.write("out/.txt/b.txt", "old b", 1'700'000'000);
    }
    std::string P(const std::string& relative) const { return m_box / relative; }
    std::vector<std::string> Sort(const std::string& same) const {
        return {"sort", "--by", "type", "--same", same, "--out", "out", "src/a.txt", "src/b.txt"};
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliSameNameTest, EachAnswerSettlesRealClashes) {
    const struct {
        const char* same;
        std::map<std::string, std::string> out;  // below out/.txt
        const char* summary;
    } cases[] = {
        {"rename",
         {{"a.txt", "old a"}, {"a_1.txt", "new a"}, {"b.txt", "old b"}, {"b_1.txt", "new b"}},
         "分拣完成：已放置 0 个，跳过 0 个，改名 2 个，覆盖 0 个，失败 0 个\n"},
        {"overwrite",
         {{"a.txt", "new a"}, {"b.txt", "new b"}},
         "分拣完成：已放置 0 个，跳过 0 个，改名 0 个，覆盖 2 个，失败 0 个\n"},
        {"skip",
         {{"a.txt", "old a"}, {"b.txt", "old b"}},
         "分拣完成：已放置 0 个，跳过 2 个，改名 0 个，覆盖 0 个，失败 0 个\n"},
        {"newer",
         {{"a.txt", "new a"}, {"b.txt", "old b"}},
         "分拣完成：已放置 0 个，跳过 1 个，改名 0 个，覆盖 1 个，失败 0 个\n"},
    };
    for (const auto& c : cases) {
        SetUp();
        const CliResult r = m_box.run(Sort(c.same));
        EXPECT_EQ(r.exitCode, 0) << c.same << "\n" << r.err;
        EXPECT_EQ(TreeOf(P("out/.txt")), c.out) << c.same;
        EXPECT_EQ(r.out, c.summary) << c.same;
        EXPECT_EQ(m_box.read("src/a.txt"), "new a");
        std::filesystem::remove_all(P("out"));
    }
}

TEST_F(CliSameNameTest, AReplacedFileGoesToTheTrash) {
    const CliResult r = m_box.run(Sort("overwrite"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> trashed;
    for (const auto& [path, bytes] : TreeOf(P("data/Trash/files"))) trashed.push_back(bytes);
    std::sort(trashed.begin(), trashed.end());
    EXPECT_EQ(trashed, (std::vector<std::string>{"old a", "old b"}));
}

TEST_F(CliSameNameTest, AskWithoutATerminalIsRefusedUnlessYesOrNoAnswers) {
    const auto before = m_box.files();
    for (CliInput input : {CliInput::Null, CliInput::Pipe}) {
        const CliResult r = m_box.run(Sort("ask"), input, "y\ny\n");
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Contains(r.err, "--same")) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(TreeDifference(m_box.files(), before), "");
    }

    std::vector<std::string> no = Sort("ask");
    no.push_back("--no");
    CliResult r = m_box.run(no);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "old a");
    EXPECT_EQ(m_box.read("out/.txt/b.txt"), "old b");
    EXPECT_FALSE(Contains(r.err, "是否覆盖")) << r.err;

    std::vector<std::string> yes = Sort("ask");
    yes.push_back("--yes");
    r = m_box.run(yes);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "new a");
    EXPECT_EQ(m_box.read("out/.txt/b.txt"), "new b");
    EXPECT_EQ(r.out, "分拣完成：已放置 0 个，跳过 0 个，改名 0 个，覆盖 2 个，失败 0 个\n");
}

TEST_F(CliSameNameTest, QuestionsAreAnsweredOnATerminal) {
    for (const char* name : {"c.txt", "d.txt"}) {
        m_box.write(std::string("src/") + name, std::string("new ") + name[0]);
        m_box.write(std::string("out/.txt/") + name, std::string("old ") + name[0]);
    }
    const std::vector<std::string> args{"sort",      "--by",      "type",      "--same",
                                        "ask",       "--out",     "out",       "src/a.txt",
                                        "src/b.txt", "src/c.txt", "src/d.txt", "--quiet"};
    // y, n, then a: "yes" for c and, unasked, for d.
    CliResult r = m_box.answer(args, {"y", "n", "a"});
    EXPECT_EQ(r.unanswered, 0u) << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Occurrences(r.err, "已存在，是否覆盖？"), 3u) << r.err;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        EXPECT_TRUE(Contains(r.err, Question(P(std::string("out/.txt/") + name)))) << r.err;
    EXPECT_EQ(TreeOf(P("out/.txt")),
              (std::map<std::string, std::string>{
                  {"a.txt", "new a"}, {"b.txt", "old b"}, {"c.txt", "new c"}, {"d.txt", "new d"}}));
    EXPECT_EQ(r.out, "分拣完成：已放置 0 个，跳过 1 个，改名 0 个，覆盖 3 个，失败 0 个\n");

    // N: "no" for this one and every one after it.
    for (const char* name : {"a", "b", "c", "d"})
        m_box.write(std::string("out/.txt/") + name + ".txt", std::string("old ") + name);
    r = m_box.answer(args, {"N"});
    EXPECT_EQ(r.unanswered, 0u) << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Occurrences(r.err, "已存在，是否覆盖？"), 1u) << r.err;
    for (const char* name : {"a", "b", "c", "d"})
        EXPECT_EQ(m_box.read(std::string("out/.txt/") + name + ".txt"), std::string("old ") + name);
    EXPECT_EQ(r.out, "分拣完成：已放置 0 个，跳过 4 个，改名 0 个，覆盖 0 个，失败 0 个\n");
}

TEST_F(CliSameNameTest, StopAnsweredOnATerminalEndsTheRun) {
    m_box.write("src/first.txt", "first");
    m_box.write("src/last.txt", "last");
    const CliResult r = m_box.answer({"sort", "--by", "type", "--same", "ask", "--out", "out",
                                      "src/first.txt", "src/a.txt", "src/b.txt", "src/last.txt"},
                                     {"s"});
    EXPECT_EQ(r.unanswered, 0u) << r.err;
    EXPECT_EQ(r.exitCode, 130) << r.err;
    EXPECT_TRUE(Contains(r.err, "分拣已停止。")) << r.err;
    EXPECT_EQ(Occurrences(r.err, "已存在，是否覆盖？"), 1u) << r.err;
    // Placed before the question; nothing after it.
    EXPECT_EQ(TreeOf(P("out/.txt")),
              (std::map<std::string, std::string>{
                  {"a.txt", "old a"}, {"b.txt", "old b"}, {"first.txt", "first"}}));
    EXPECT_EQ(r.out.rfind("分拣已停止：", 0), 0u) << r.out;
}

TEST_F(CliSameNameTest, CtrlCWhileAQuestionWaitsStopsTheRun) {
    CliProcess process(m_box.setup(Sort("ask"), CliInput::Terminal));
    ASSERT_TRUE(process.waitUntil(
        [&] { return Contains(process.err(), Question(P("out/.txt/a.txt"))); }, 15s))
        << process.err();
    process.signal(SIGINT);
    const CliResult r = process.finish(15s);
    EXPECT_EQ(r.exitCode, 130) << r.err;
    EXPECT_TRUE(Contains(r.err, "分拣已停止。")) << r.err;
    // Nothing is replaced without an answer, and b is never asked about.
    EXPECT_EQ(Occurrences(r.err, "已存在，是否覆盖？"), 1u) << r.err;
    EXPECT_EQ(m_box.read("out/.txt/a.txt"), "old a");
    EXPECT_EQ(m_box.read("out/.txt/b.txt"), "old b");
}

}  // namespace
