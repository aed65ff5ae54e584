// zanfeld-cli's sort and undo as a script uses them: every same-name answer,
// both modes, on a tree with clashes, older files in the output and links,
// gives back the tree byte for byte (times included) and tells the truth in
// its exit status; two programs sorting into one output at once are both
// journalled and both undone, in either order.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
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

class CliUndoRoundTripTest : public ::testing::Test {
  protected:
    std::string P(const std::string& relative) const { return m_box / relative; }

    // The tree with its files' times: what undo must give back.
    std::string State() const {
        std::string state = Listing(TreeOf(P("t")));
        for (const auto& [path, bytes] : TreeOf(P("t"))) {
            const struct stat st = LStat(P("t/" + path));
            state += path + " " + bytes + " " + std::to_string(st.st_mode) + " " +
                     (S_ISDIR(st.st_mode) ? "" : std::to_string(st.st_mtim.tv_sec)) + "\n";
        }
        return state;
    }

    void MakeTree() {
        m_box.write("t/src/a/x.txt", "a's x", 1'500'000'000);
        m_box.write("t/src/b/x.txt", "b's x", 1'500'001'000);
        m_box.write("t/src/b/y.doc", "y", 1'500'002'000);
        m_box.write("t/out/.txt/x.txt", "the user's older x", 1000);
        ASSERT_EQ(::symlink("y.doc", P("t/src/b/ylink.doc").c_str()), 0);
        ASSERT_EQ(::symlink("gone.doc", P("t/src/b/dangling.doc").c_str()), 0);
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliUndoRoundTripTest, EveryAnswerIsUndoneToTheByte) {
    const std::vector<std::vector<std::string>> answers = {
        {"--same", "rename"}, {"--same", "overwrite"},    {"--same", "skip"},
        {"--same", "newer"},  {"--same", "ask", "--yes"}, {"--same", "ask", "--no"},
    };
    for (const char* mode : {"--copy", "--move"}) {
        for (const auto& answer : answers) {
            SCOPED_TRACE(std::string(mode) + " " + answer[1] +
                         (answer.size() > 2 ? answer[2] : ""));
            std::filesystem::remove_all(P("t"));
            MakeTree();
            const std::string before = State();
            std::vector<std::string> args{"sort",     "--by",   "type",     mode,    "--out",
                                          P("t/out"), "--walk", P("t/src"), "--all", "--json"};
            args.insert(args.end(), answer.begin(), answer.end());
            const CliResult sorted = m_box.run(args);
            // A link that leads nowhere (from the start, or once the file it
            // names went first) has no content to copy nor a time to
            // compare: the only failures there may be, and said so.
            if (sorted.exitCode == 1) {
                EXPECT_TRUE(Contains(sorted.err, "dangling.doc") ||
                            Contains(sorted.err, "ylink.doc"))
                    << sorted.err;
                EXPECT_EQ(
                    Occurrences(sorted.err, "t/src/"),
                    Occurrences(sorted.err, "dangling.doc") + Occurrences(sorted.err, "ylink.doc"))
                    << sorted.err;
            } else {
                EXPECT_EQ(sorted.exitCode, 0) << sorted.err;
            }
            const int64_t run = Json::parse(sorted.out)["run"].integer();
            ASSERT_GT(run, 0) << sorted.out;

            const CliResult told = m_box.run({"undo", "--dry-run", "--json"});
            EXPECT_EQ(told.exitCode, 0) << told.err;
            EXPECT_EQ(Json::parse(told.out)["run"].integer(), run) << told.out;

            const CliResult undone = m_box.run({"undo", "--yes", "--json"});
            EXPECT_EQ(undone.exitCode, 0) << undone.err;
            EXPECT_EQ(Json::parse(undone.out)["kept"].integer(), 0) << undone.out;
            EXPECT_EQ(State(), before);
            const Json history = m_box.history();
            const auto& runs = history.array();
            const auto sortRun = std::find_if(runs.begin(), runs.end(), [&](const Json& row) {
                return row["run"].integer() == run;
            });
            ASSERT_NE(sortRun, runs.end());
            EXPECT_FALSE((*sortRun)["undone_by"].isNull());
        }
    }
}

TEST_F(CliUndoRoundTripTest, TwoProgramsAtOnceAreBothRecordedAndUndone) {
    const int kFiles = 400;
    for (int i = 0; i < kFiles; ++i) {
        m_box.write("t/one/f" + std::to_string(i) + ".txt", Pattern(100, i), 1'500'000'000 + i);
        m_box.write("t/two/g" + std::to_string(i) + ".doc", Pattern(100, i + kFiles),
                    1'500'000'000);
    }
    const std::string before = State();
    for (const bool newestFirst : {true, false}) {
        SCOPED_TRACE(newestFirst ? "undone newest first" : "undone oldest first");
        CliProcess one(m_box.setup({"sort", "--by", "type", "--move", "--out", P("t/out"), "--walk",
                                    P("t/one"), "--json"}));
        CliProcess two(m_box.setup({"sort", "--by", "type", "--move", "--out", P("t/out"), "--walk",
                                    P("t/two"), "--json"}));
        const CliResult a = one.finish();
        const CliResult b = two.finish();
        ASSERT_EQ(a.exitCode, 0) << a.err;
        ASSERT_EQ(b.exitCode, 0) << b.err;
        EXPECT_FALSE(Contains(a.err + b.err, "分拣记录无法写入")) << a.err << b.err;
        std::vector<int64_t> runs{Json::parse(a.out)["run"].integer(),
                                  Json::parse(b.out)["run"].integer()};
        std::sort(runs.begin(), runs.end());
        if (newestFirst) std::reverse(runs.begin(), runs.end());
        for (const int64_t run : runs) {
            const CliResult undone = m_box.run({"undo", std::to_string(run), "--yes"});
            EXPECT_EQ(undone.exitCode, 0) << undone.err;
        }
        EXPECT_EQ(State(), before);
    }
}

}  // namespace
