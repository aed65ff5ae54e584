// The same-name answers of the built zanfeld-cli on real clashes: each
// --same policy, --same ask refused without a terminal or answered by
// --yes/--no, and the questions typed on a pseudo-terminal.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "CliProcess.h"

using namespace zanfeld::test;
using namespace std::chrono_literals;

namespace {

using Tree = std::map<std::string, std::string>;

// The question the program asks about an existing target.
std::string Question(const std::string& target) { return "文件" + target + "已存在，是否覆盖？"; }

std::string Summary(int skipped, int renamed, int overwritten) {
    return "分拣完成：已放置 0 个，跳过 " + std::to_string(skipped) + " 个，改名 " +
           std::to_string(renamed) + " 个，覆盖 " + std::to_string(overwritten) +
           " 个，失败 0 个\n";
}

class CliSameNameTest : public ::testing::Test {
  protected:
    // Sources that clash with what is in out/.txt, all else there gone: a's
    // is older than the new one, b's newer. twins: those whose file there
    // holds the new one's bytes.
    void Clash(std::initializer_list<const char*> names, const std::string& twins = "") {
        std::filesystem::remove_all(P("out"));
        std::filesystem::remove_all(P("data/Trash"));
        for (const char* name : names) {
            m_box.write(std::string("src/") + name + ".txt", std::string("new ") + name,
                        1'600'000'000);
            m_box.write(std::string("out/.txt/") + name + ".txt",
                        std::string(Contains(twins, name) ? "new " : "old ") + name,
                        *name == 'b' ? 1'700'000'000 : 1'500'000'000);
        }
    }
    std::string P(const std::string& relative) const { return m_box / relative; }
    std::vector<std::string> Sort(std::vector<std::string> same) const {
        same.insert(same.begin(), {"sort", "--by", "type", "--same"});
        same.insert(same.end(), {"--out", "out", "src/a.txt", "src/b.txt"});
        return same;
    }
    // What the Trash holds, sorted.
    std::vector<std::string> Trashed() const {
        std::vector<std::string> trashed;
        for (const auto& [path, bytes] : TreeOf(P("data/Trash/files"))) trashed.push_back(bytes);
        std::sort(trashed.begin(), trashed.end());
        return trashed;
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliSameNameTest, EachAnswerSettlesRealClashesAndAReplacedFileGoesToTheTrash) {
    const struct {
        std::vector<std::string> same;
        std::string replaced;  // of a and b, those the new file replaces
        bool renamed = false;  // the new files placed beside under another name
        CliInput input = CliInput::Null;
        bool refused = false;
        std::string twins;  // of a and b, those whose file there holds the same bytes
    } cases[] = {
        {{"rename"}, "", true},
        {{"overwrite"}, "ab"},
        {{"skip"}, ""},
        {{"newer"}, "a"},
        // A twin is skipped, and stays where it is when moved; b differs.
        {{"identical"}, "", true, CliInput::Null, false, "a"},
        {{"identical", "--move"}, "", true, CliInput::Null, false, "a"},
        // Without a terminal only --yes or --no answers the questions.
        {{"ask", "--yes"}, "ab"},
        {{"ask", "--no"}, ""},
        {{"ask"}, "", false, CliInput::Null, true},
        {{"ask"}, "", false, CliInput::Pipe, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.same.back() + (c.input == CliInput::Pipe ? " from a pipe" : ""));
        Clash({"a", "b"}, c.twins);
        const CliResult r = m_box.run(Sort(c.same), c.input, "y\ny\n");
        Tree out;
        std::vector<std::string> trashed;
        for (const std::string name : {"a", "b"}) {
            const bool replaced = Contains(c.replaced, name);
            const bool twin = Contains(c.twins, name);
            out[name + ".txt"] = (replaced || twin ? "new " : "old ") + name;
            if (c.renamed && !twin) out[name + "_1.txt"] = "new " + name;
            if (replaced) trashed.push_back("old " + name);
        }
        EXPECT_EQ(TreeOf(P("out/.txt")), out);
        EXPECT_EQ(Trashed(), trashed);
        EXPECT_EQ(m_box.read("src/a.txt"), "new a");
        EXPECT_EQ(std::filesystem::exists(P("src/b.txt")), c.same.back() != "--move");
        EXPECT_FALSE(Contains(r.err, "是否覆盖")) << r.err;
        if (c.refused) {
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_TRUE(Contains(r.err, "--same")) << r.err;
            EXPECT_EQ(r.out, "");
            continue;
        }
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const int n = static_cast<int>(c.replaced.size());
        const int twins = static_cast<int>(c.twins.size());
        EXPECT_EQ(r.out, Summary(c.renamed ? twins : 2 - n, c.renamed ? 2 - twins : 0, n));
    }
}

TEST_F(CliSameNameTest, QuestionsAreAnsweredOnATerminal) {
    const struct {
        std::vector<std::string> answers;
        std::string asked;     // of a, b, c and d, those asked about
        std::string replaced;  // and those replaced
    } cases[] = {
        // y, n, then a: "yes" for c and, unasked, for d.
        {{"y", "n", "a"}, "abc", "acd"},
        // N: "no" for this one and every one after it.
        {{"N"}, "a", ""},
        // Enter alone: "no", asked again for the next.
        {{"", "", "", ""}, "abcd", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers[0]);
        Clash({"a", "b", "c", "d"});
        const CliResult r =
            m_box.answer({"sort", "--by", "type", "--same", "ask", "--out", "out", "src/a.txt",
                          "src/b.txt", "src/c.txt", "src/d.txt", "--quiet"},
                         c.answers);
        EXPECT_EQ(r.unanswered, 0u) << r.err;
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Occurrences(r.err, "已存在，是否覆盖？"), c.asked.size()) << r.err;
        Tree out;
        for (const std::string name : {"a", "b", "c", "d"}) {
            if (Contains(c.asked, name)) {
                EXPECT_TRUE(Contains(r.err, Question(P("out/.txt/" + name + ".txt")))) << r.err;
            }
            out[name + ".txt"] = (Contains(c.replaced, name) ? "new " : "old ") + name;
        }
        EXPECT_EQ(TreeOf(P("out/.txt")), out);
        // --quiet: every file placed, so nothing but the questions.
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(Contains(r.err, "分拣")) << r.err;
    }
}

// A stop while a question waits, answered or by Ctrl-C: what was placed
// before stays, nothing is replaced without an answer, nothing after it is
// placed.
TEST_F(CliSameNameTest, AStopWhileAQuestionWaitsEndsTheRun) {
    for (const bool ctrlC : {false, true}) {
        SCOPED_TRACE(ctrlC ? "Ctrl-C" : "s");
        Clash({"a", "b"});
        m_box.write("src/first.txt", "first");
        m_box.write("src/last.txt", "last");
        CliProcess process(m_box.setup({"sort", "--by", "type", "--same", "ask", "--out", "out",
                                        "src/first.txt", "src/a.txt", "src/b.txt", "src/last.txt"},
                                       CliInput::Terminal));
        ASSERT_TRUE(process.waitUntil(
            [&] { return Contains(process.err(), Question(P("out/.txt/a.txt"))); }, 15s))
            << process.err();
        if (ctrlC) {
            process.signal(SIGINT);
        } else {
            process.write("s\n");
        }
        const CliResult r = process.finish(15s);
        EXPECT_EQ(r.exitCode, 130) << r.err;
        EXPECT_TRUE(Contains(r.err, "分拣已停止。")) << r.err;
        EXPECT_EQ(Occurrences(r.err, "已存在，是否覆盖？"), 1u) << r.err;
        EXPECT_EQ(TreeOf(P("out/.txt")),
                  (Tree{{"a.txt", "old a"}, {"b.txt", "old b"}, {"first.txt", "first"}}));
        EXPECT_EQ(r.out.rfind("分拣已停止：", 0), 0u) << r.out;
    }
}

}  // namespace
