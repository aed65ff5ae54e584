// Stored plans from the command line: plans save, list and delete, and
// sort --plan with several plans as one run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliProcess.h"
#include "MiniJson.h"

using namespace zanfeld::test;

namespace {

class CliPlansTest : public ::testing::Test {
  protected:
    CliSandbox m_box{ZANFELD_CLI};
    std::string P(const std::string& relative) const { return m_box / relative; }
    void save(const std::string& name, std::vector<std::string> options) {
        std::vector<std::string> args{"plans", "save", name};
        args.insert(args.end(), options.begin(), options.end());
        const CliResult r = m_box.run(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
};

TEST_F(CliPlansTest, SaveListAndDeleteRoundTripWithAChineseName) {
    save("照片整理", {"--by", "type", "--move", "--same", "identical", "--out", "整理后"});
    save("备份", {"--by", "keys", "--keywords", "发票 合同", "--out", P("备份")});
    CliResult r = m_box.run({"plans", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Json plans = Json::parse(r.out);
    ASSERT_EQ(plans.size(), 2u);
    EXPECT_EQ(plans[0]["name"].string(), "照片整理");
    EXPECT_EQ(plans[0]["criterion"].string(), "type");
    EXPECT_EQ(plans[0]["mode"].string(), "move");
    EXPECT_EQ(plans[0]["same"].string(), "identical");
    EXPECT_EQ(plans[0]["output"].string(), P("整理后"));
    EXPECT_EQ(plans[1]["mode"].string(), "copy");
    r = m_box.run({"plans"});
    EXPECT_EQ(r.out.rfind("照片整理\t文件\t按文件类型分拣\t移动\t" + P("整理后") + "\n", 0), 0u)
        << r.out;

    // Saved again under its name, a plan is replaced, not doubled.
    save("照片整理", {"--by", "size", "--size", ">10MB", "--out", P("大文件")});
    r = m_box.run({"plans", "delete", "备份"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    plans = Json::parse(m_box.run({"plans", "--json"}).out);
    ASSERT_EQ(plans.size(), 1u);
    EXPECT_EQ(plans[0]["criterion"].string(), "size");

    for (const std::vector<std::string>& refused :
         std::vector<std::vector<std::string>>{{"plans", "save", "[坏]", "--by", "type"},
                                               {"plans", "save", " ", "--by", "type"},
                                               {"plans", "delete", "备份"}}) {
        r = m_box.run(refused);
        EXPECT_EQ(r.exitCode, 2) << refused[2];
        EXPECT_TRUE(Contains(r.err, "方案")) << r.err;
    }
    EXPECT_EQ(Json::parse(m_box.run({"plans", "--json"}).out).size(), 1u);
}

// Plans given in turn are one run: a file a plan moved is done, one a plan
// copied goes on to the next. The dry run shows the whole run.
TEST_F(CliPlansTest, InTurnTheFirstMoveWinsAndCopiesGoOn) {
    struct Case {
        const char* first;
        const char* second;
        bool inFirst, inSecond, sourceLeft;
        size_t planned;
    };
    const Case cases[] = {
        {"--copy", "--copy", true, true, true, 2},
        {"--move", "--copy", true, false, false, 1},
        {"--copy", "--move", true, true, false, 2},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string k = std::to_string(++n);
        SCOPED_TRACE(std::string(c.first) + " then " + c.second);
        save("甲" + k, {"--by", "type", c.first, "--out", P("甲" + k)});
        save("乙" + k, {"--by", "type", c.second, "--out", P("乙" + k)});
        m_box.write("src" + k + "/报告.txt", "第" + k + "份");
        const std::vector<std::string> line{"sort",   "--plan", "甲" + k,
                                            "--plan", "乙" + k, P("src" + k + "/报告.txt")};
        std::vector<std::string> dry = line;
        dry.insert(dry.end(), {"--dry-run", "--json"});
        CliResult r = m_box.run(dry);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(Json::parse(r.out)["plan"].size(), c.planned);
        r = m_box.run(line);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(IsFile(P("甲" + k + "/.txt/报告.txt")), c.inFirst);
        EXPECT_EQ(IsFile(P("乙" + k + "/.txt/报告.txt")), c.inSecond);
        EXPECT_EQ(IsFile(P("src" + k + "/报告.txt")), c.sourceLeft);
        // One run in the journal for the two plans.
        EXPECT_EQ(m_box.history().size(), static_cast<size_t>(n));
    }
}

// A plan that cannot run as asked is refused before anything is touched.
TEST_F(CliPlansTest, PlansOfTheWrongKindOrUnknownAreRefused) {
    save("文件方案", {"--by", "type", "--out", P("out")});
    save("询问", {"--by", "type", "--same", "ask", "--out", P("out")});
    save("文件夹方案", {"--folders", "--by", "name", "--out", P("out")});
    m_box.write("src/a.txt", "a");
    const struct {
        std::vector<std::string> line;
        const char* told;
    } cases[] = {
        {{"sort-folders", "--plan", "文件方案", P("src")}, "sort 运行"},
        {{"sort", "--plan", "文件夹方案", P("src/a.txt")}, "sort-folders"},
        {{"sort", "--plan", "没有", P("src/a.txt")}, "没有名为“没有”的方案"},
        {{"sort-folders", "--plan", "文件夹方案", "--plan", "文件夹方案", P("src")}, "一个方案"},
        {{"watch", P("src"), "--plan", "询问"}, "--same identical"},
        {{"watch", P("src"), "--plan", "文件夹方案"}, "文件的方案"},
    };
    const auto before = m_box.files();
    for (const auto& c : cases) {
        const CliResult r = m_box.run(c.line);
        EXPECT_EQ(r.exitCode, 2) << c.told;
        EXPECT_TRUE(Contains(r.err, c.told)) << r.err;
    }
    EXPECT_EQ(TreeDifference(m_box.files(), before), "");
}

}  // namespace
