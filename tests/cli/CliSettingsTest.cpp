// --settings: the built zanfeld-cli starts from the choices a window stored
// in its settings file (written here as the window writes it), and options
// on the line override them.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "CliProcess.h"
#include "FileChecks.h"
#include "MiniJson.h"
#include "SettingsFile.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

using Tree = std::map<std::string, std::string>;

class CliSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_box.write("src/big.doc", std::string(3000, 'b'), 1'300'000'000);  // 2011
        m_box.write("src/small.txt", "small", 1'500'000'000);               // 2017
        m_box.write("src/report.txt", std::string(1500, 'r'), 1'400'000'000);
        m_box.write("out/大于1KB/big.doc", "there before");
    }
    // Section [Parameter] as the file window saves it.
    FileWindowSettings Stored() const {
        FileWindowSettings s;
        s.sameFilePolicy = SameFilePolicy::Rename;
        s.outDir = P("out") + "/";
        s.page = 3;  // size
        s.fileSize = "1";
        s.cmbCondition = 0;  // greater
        s.cmbUnit = 0;       // KB
        s.edtKeys = "report";
        s.suffixFilter = {"*.txt"};
        s.dtDate = CivilDate{2015, 1, 1};
        s.dtTime = TimeOfDay{0, 0, 0};
        s.fileAttrModified = true;
        s.cmbFileDate = 0;  // earlier
        return s;
    }
    std::string P(const std::string& relative) const { return m_box / relative; }
    // The line with the three files after it.
    std::vector<std::string> WithFiles(std::vector<std::string> args) const {
        args.insert(args.end(), {"src/big.doc", "src/small.txt", "src/report.txt"});
        return args;
    }

    CliSandbox m_box{ZANFELD_CLI};
};

TEST_F(CliSettingsTest, TheWindowsStoredChoicesRunUnderTheLine) {
    // my.ini holds both windows' sections; the default file the date page.
    FolderWindowSettings folders;
    folders.page = 0;  // keys
    folders.edtKeys = "pro";
    folders.outDir = P("folders") + "/";
    MakeDir(P("folders"));
    ASSERT_EQ(SaveFolderWindowSettings(P("my.ini"), folders), "");
    ASSERT_EQ(SaveFileWindowSettings(P("my.ini"), Stored()), "");
    FileWindowSettings date = Stored();
    date.page = 4;  // modified earlier than 2015-01-01
    ASSERT_EQ(SaveFileWindowSettings(P("config/Zanfeld.ini"), date), "");
    m_box.write("projects/one/a.txt", "a");
    m_box.write("prose/b.txt", "b");
    m_box.write("other/c.txt", "c");
    const std::string big(3000, 'b'), report(1500, 'r');
    const struct {
        std::vector<std::string> args;
        const char* folder;  // where the run's files go
        Tree tree;
    } cases[] = {
        // The size page, over 1 KB, numbering a clash, into the stored folder.
        {WithFiles({"sort", "--settings=my.ini"}),
         "out/大于1KB",
         {{"big.doc", "there before"}, {"big_1.doc", big}, {"report.txt", report}}},
        // The default file, on the date page: the files from before 2015, in
        // a folder named as the locale writes the date.
        {WithFiles({"sort", "--settings"}), "", {{"big.doc", big}, {"report.txt", report}}},
        // The folder window reads its own section.
        {{"sort-folders", "--settings=my.ini", "projects", "prose", "other"},
         "folders",
         {{"pro", "<dir>"},
          {"pro/projects", "<dir>"},
          {"pro/projects/one", "<dir>"},
          {"pro/projects/one/a.txt", "a"},
          {"pro/prose", "<dir>"},
          {"pro/prose/b.txt", "b"}}},
        // The stored type list is no filter, as the window does not store its
        // switch; the line asks for a move.
        {WithFiles({"sort", "--settings=my.ini", "--by", "type", "--move", "--out", "out3"}),
         "out3",
         {{".doc", "<dir>"},
          {".doc/big.doc", big},
          {".txt", "<dir>"},
          {".txt/report.txt", report},
          {".txt/small.txt", "small"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const CliResult r = m_box.run(c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::string folder = c.folder;
        for (const std::string& name : Names(P("out")))
            if (folder.empty() && name != "大于1KB") folder = "out/" + name;
        EXPECT_EQ(TreeOf(P(folder)), c.tree) << Listing(TreeOf(P(folder)));
    }
    EXPECT_EQ(Names(P("out")).size(), 2u) << Listing(TreeOf(P("out")));
    EXPECT_EQ(FileCount(TreeOf(P("src"))), 0u) << "the move left its sources";
}

TEST_F(CliSettingsTest, RefusalsNameTheOption) {
    // The window stored the height condition with a value it cannot take:
    // the option to give instead is --height.
    FileWindowSettings tall = Stored();
    tall.page = 5;
    tall.picHeight = true;
    tall.picSizeValue = "tall";
    ASSERT_EQ(SaveFileWindowSettings(P("tall.ini"), tall), "");
    const struct {
        std::vector<std::string> args;
        const char* named;  // in stderr
        const char* option;
    } cases[] = {
        {{"--settings=tall.ini"}, "请输入正确的图片宽高!（--height）", "--height"},
        {{"--settings=nothing.ini", "--by", "type", "--out", "out"}, "--settings", "--settings"},
        // No default file.
        {{"--settings", "--by", "type", "--out", "out"}, "--settings", "--settings"},
    };
    const auto before = m_box.files();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        std::vector<std::string> args{"sort"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args = WithFiles(args);
        args.push_back("--json");
        const CliResult r = m_box.run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Contains(r.err, c.named)) << r.err;
        EXPECT_EQ(Json::parse(r.out)["option"].string(), c.option) << r.out;
        EXPECT_EQ(TreeDifference(m_box.files(), before), "");
    }
}

}  // namespace
