// --settings: the built zanfeld-cli starts from the choices a window stored
// in its settings file (written here as the window writes it), and options
// on the line override them.

#include <gtest/gtest.h>

#include <filesystem>
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
using namespace std::chrono_literals;

namespace {

class CliSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_box.write("src/big.doc", std::string(3000, 'b'), 1'300'000'000);  // 2011
        m_box.write("src/small.txt", "small", 1'500'000'000);               // 2017
        m_box.write("src/report.txt", std::string(1500, 'r'), 1'400'000'000);
        MakeDir(P("out"));
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

    CliSandbox m_box{ZANFELD_CLI};
    const std::vector<std::string> m_sources{"src/big.doc", "src/small.txt", "src/report.txt"};
};

TEST_F(CliSettingsTest, TheStoredChoicesRunAndTheLineOverridesThem) {
    ASSERT_EQ(SaveFileWindowSettings(P("my.ini"), Stored()), "");
    std::vector<std::string> args{"sort", "--settings=my.ini"};
    args.insert(args.end(), m_sources.begin(), m_sources.end());
    CliResult r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The size page, over 1 KB, numbering a clash, into the stored folder.
    EXPECT_EQ(TreeOf(P("out")),
              (std::map<std::string, std::string>{{"大于1KB", "<dir>"},
                                                  {"大于1KB/big.doc", "there before"},
                                                  {"大于1KB/big_1.doc", std::string(3000, 'b')},
                                                  {"大于1KB/report.txt", std::string(1500, 'r')}}));

    // The line wins: another page, answer and folder.
    args.insert(args.end(), {"--by", "keys", "--same", "overwrite", "--out", "out2"});
    r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(TreeOf(P("out2")),
              (std::map<std::string, std::string>{{"report", "<dir>"},
                                                  {"report/report.txt", std::string(1500, 'r')}}));

    // The stored type list is no filter, as the window does not store its
    // switch; a move is asked for on the line.
    args = {"sort", "--settings=my.ini", "--by", "type", "--move", "--out", "out3"};
    args.insert(args.end(), m_sources.begin(), m_sources.end());
    r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(FileCount(TreeOf(P("out3"))), 3u) << Listing(TreeOf(P("out3")));
    EXPECT_TRUE(IsFile(P("out3/.doc/big.doc")));
    EXPECT_FALSE(Exists(P("src/small.txt")));

    // An option of another page than the stored one is refused.
    args = {"sort", "--settings=my.ini", "--keywords", "x", "src/big.doc"};
    r = m_box.run(args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "--keywords")) << r.err;
}

TEST_F(CliSettingsTest, TheDefaultFileAndTheDatePage) {
    FileWindowSettings s = Stored();
    s.page = 4;  // date: modified earlier than 2015-01-01
    ASSERT_EQ(SaveFileWindowSettings(P("config/Zanfeld.ini"), s), "");
    std::vector<std::string> args{"sort", "--settings", "--json"};
    args.insert(args.end(), m_sources.begin(), m_sources.end());
    const CliResult r = m_box.run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ(j["counts"]["placed"].integer(), 2);
    EXPECT_EQ(j["output"].string(), P("out") + "/");
    size_t placed = 0;
    for (const auto& [path, bytes] : TreeOf(P("out"))) {
        if (path.find("/big.doc") != std::string::npos && bytes != "there before") ++placed;
        if (path.find("/report.txt") != std::string::npos) ++placed;
        EXPECT_EQ(path.find("small.txt"), std::string::npos) << path;
    }
    EXPECT_EQ(placed, 2u) << Listing(TreeOf(P("out")));
}

TEST_F(CliSettingsTest, TheFolderWindowReadsItsOwnSection) {
    FolderWindowSettings s;
    s.page = 0;  // keys
    s.edtKeys = "pro";
    s.outDir = P("folders") + "/";
    MakeDir(P("folders"));
    ASSERT_EQ(SaveFolderWindowSettings(P("my.ini"), s), "");
    // The file window's section beside it is not read.
    ASSERT_EQ(SaveFileWindowSettings(P("my.ini"), Stored()), "");
    m_box.write("projects/one/a.txt", "a");
    m_box.write("prose/b.txt", "b");
    m_box.write("other/c.txt", "c");
    const CliResult r =
        m_box.run({"sort-folders", "--settings=my.ini", "projects", "prose", "other"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(TreeOf(P("folders")),
              (std::map<std::string, std::string>{{"pro", "<dir>"},
                                                  {"pro/projects", "<dir>"},
                                                  {"pro/projects/one", "<dir>"},
                                                  {"pro/projects/one/a.txt", "a"},
                                                  {"pro/prose", "<dir>"},
                                                  {"pro/prose/b.txt", "b"}}));
}

TEST_F(CliSettingsTest, ARefusedStoredChoiceIsNamedByItsOption) {
    // The window stored the height condition with a value it cannot take:
    // the option to give instead is --height.
    FileWindowSettings s = Stored();
    s.page = 5;
    s.picHeight = true;
    s.picSizeValue = "tall";
    ASSERT_EQ(SaveFileWindowSettings(P("my.ini"), s), "");
    const CliResult r = m_box.run({"sort", "--settings=my.ini", "src/big.doc", "--json"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "请输入正确的图片宽高!（--height）")) << r.err;
    EXPECT_EQ(Json::parse(r.out)["option"].string(), "--height");
}

TEST_F(CliSettingsTest, AMissingSettingsFileIsRefused) {
    const auto before = m_box.files();
    for (const char* option : {"--settings=nothing.ini", "--settings"}) {
        std::vector<std::string> args{"sort", option, "--by", "type", "--out", "out"};
        args.insert(args.end(), m_sources.begin(), m_sources.end());
        const CliResult r = m_box.run(args);
        EXPECT_EQ(r.exitCode, 2) << option;
        EXPECT_TRUE(Contains(r.err, "--settings")) << r.err;
        EXPECT_EQ(TreeDifference(m_box.files(), before), "") << option;
    }
}

}  // namespace
