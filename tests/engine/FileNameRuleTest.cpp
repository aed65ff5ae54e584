#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "FileNameRule.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using Strings = std::vector<std::string>;

SortOptions NameOptions(const std::string& outputDir = "/nonexistent/out/") {
    SortOptions options;
    options.page = SortPage::FileName;
    options.outputDir = outputDir;
    return options;
}

SortOptions RangeOptions(const char* begin, const char* end) {
    SortOptions options = NameOptions();
    options.useNamePart = true;
    options.partBeginText = begin;
    options.partEndText = end;
    return options;
}

// The single folder the rule names for path, or "<kind>" when it places nowhere.
std::string FolderFor(const SortOptions& options, const std::string& path) {
    test::RecordingHost host;
    FileNameRule rule;
    EXPECT_TRUE(rule.prepare(options, host));
    EXPECT_TRUE(host.calls.empty());
    const RuleOutcome outcome = rule.evaluate(options, path);
    if (outcome.kind == RuleOutcome::Kind::Drop) return "<drop>";
    if (outcome.kind == RuleOutcome::Kind::NoMatch) return "<nomatch>";
    EXPECT_EQ(outcome.folders.size(), 1u);
    return outcome.folders.empty() ? "<none>" : outcome.folders[0];
}

TEST(FileNameRule, BaseNameIsTheFolder) {
    EXPECT_EQ(FolderFor(NameOptions(), "/src/A.xls"), "A");
    EXPECT_EQ(FolderFor(NameOptions(), "/src/A.doc"), "A");
    EXPECT_EQ(FolderFor(NameOptions(), "/src/西游记.txt"), "西游记");
    EXPECT_EQ(FolderFor(NameOptions(), "/src/Report报告 2013.final.txt"), "Report报告 2013.final");
    EXPECT_EQ(FolderFor(NameOptions(), "/src/noext"), "noext");
    EXPECT_EQ(FolderFor(NameOptions(), "/src/.profile"), "");
}

TEST(FileNameRule, CharacterRanges) {
    EXPECT_EQ(FolderFor(RangeOptions("2", "3"), "/src/西游记.txt"), "游记");
    EXPECT_EQ(FolderFor(RangeOptions("2", "3"), "/src/ABCDE.txt"), "BC");
    EXPECT_EQ(FolderFor(RangeOptions("3", "2"), "/src/ABCDE.txt"), "BC");
    EXPECT_EQ(FolderFor(RangeOptions("0", "3"), "/src/ABCDEFG.txt"), "ABCD");
    EXPECT_EQ(FolderFor(RangeOptions("1", "300"), "/src/ABCDEFG.txt"), "ABCDEFG");
    EXPECT_EQ(FolderFor(RangeOptions("300", "400"), "/src/ABCDEFG.txt"), "");
    EXPECT_EQ(FolderFor(RangeOptions("5", "8"), "/src/AB.txt"), "");
    EXPECT_EQ(FolderFor(RangeOptions("7", "8"), "/src/Report报告2013.txt"), "报告");
    EXPECT_EQ(FolderFor(RangeOptions("2", "2"),
                        "/src/a\xF0\x9F\x98\x80"
                        "b.txt"),
              "");
    EXPECT_EQ(FolderFor(RangeOptions("3", "4"),
                        "/src/a\xF0\x9F\x98\x80"
                        "b.txt"),
              "b");
    EXPECT_EQ(FolderFor(RangeOptions("2", "4"),
                        "/src/a\xF0\x9F\x98\x80"
                        "b.txt"),
              "\xF0\x9F\x98\x80"
              "b");
}

TEST(FileNameRule, LongNamesAreCutAtTheCappedEnd) {
    std::string name;
    for (int i = 0; i < 270; ++i) name += "游";
    const std::string expected = name.substr(0, 254 * 3);
    EXPECT_EQ(FolderFor(RangeOptions("1", "300"), "/src/" + name + ".txt"), expected);
    EXPECT_EQ(FolderFor(RangeOptions("250", "300"), "/src/" + name + ".txt"), "游游游游游");
}

TEST(FileNameRule, RejectsPositionsThatAreNoIntegers) {
    const std::string begin = std::to_string(static_cast<int>(OptionId::PartBegin));
    const std::string end = std::to_string(static_cast<int>(OptionId::PartEnd));
    struct Case {
        const char* begin;
        const char* end;
        std::string call;
    };
    for (const Case& c : {Case{"", "3", "reject:" + begin + ":请输入整数序号!"},
                          Case{"1", "", "reject:" + end + ":请输入整数序号!"},
                          Case{"a", "b", "reject:" + begin + ":请输入整数序号!"},
                          Case{"1", "99999999999", "reject:" + end + ":请输入整数序号!"}}) {
        test::RecordingHost host;
        FileNameRule rule;
        EXPECT_FALSE(rule.prepare(RangeOptions(c.begin, c.end), host));
        EXPECT_EQ(host.calls, (Strings{c.call}));
    }
}

TEST(FileNameRule, FilterPiecesAreRemovedAfterTheRange) {
    SortOptions options = NameOptions();
    options.nameFilter = "_*-";
    EXPECT_EQ(FolderFor(options, "/src/2013_report-final.txt"), "2013reportfinal");
    options.nameFilter = "ab*b";
    EXPECT_EQ(FolderFor(options, "/src/aabb.txt"), "a");
    options.nameFilter = "报告*-";
    EXPECT_EQ(FolderFor(options, "/src/年度报告-2013.pdf"), "年度2013");
    options.nameFilter = "A";
    EXPECT_EQ(FolderFor(options, "/src/A.xls"), "");
}

TEST(FileNameRule, OnlyMatchDirDropsFilesWithoutAnExistingFolder) {
    test::TempDir tmp;
    test::MakeDir(tmp / "out/A");
    test::WriteFile(tmp / "out/C", "a file, not a folder");
    SortOptions options = NameOptions(tmp / "out/");
    options.onlyMatchDir = true;
    EXPECT_EQ(FolderFor(options, "/src/A.xls"), "A");
    EXPECT_EQ(FolderFor(options, "/src/B.xls"), "<drop>");
    EXPECT_EQ(FolderFor(options, "/src/C.xls"), "<drop>");
    // Letter case follows the file system.
    EXPECT_EQ(FolderFor(options, "/src/a.xls"), "<drop>");
    // The empty name is the output directory itself.
    EXPECT_EQ(FolderFor(options, "/src/.profile"), "");
    // The test uses the derived name.
    options.nameFilter = "_";
    EXPECT_EQ(FolderFor(options, "/src/A_.xls"), "A");
}

std::set<std::string> Tree(const std::string& root) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
        out.insert(std::filesystem::relative(e.path(), root).string());
    return out;
}

TEST(FileNameRuleRun, GroupsFilesAndPlacesEmptyNamesInTheOutputDirectory) {
    test::TempDir tmp;
    test::WriteFile(tmp / "src/A.xls", "1");
    test::WriteFile(tmp / "src/A.doc", "2");
    test::WriteFile(tmp / "src/.profile", "3");
    test::RecordingHost host;
    RunFileSort(NameOptions(tmp / "out"),
                {tmp / "src/A.xls", tmp / "src/A.doc", tmp / "src/.profile"}, host);
    EXPECT_EQ(host.of("info"), (Strings{"分拣工作完成！"}));
    EXPECT_EQ(Tree(tmp / "out"), (std::set<std::string>{"A", "A/A.xls", "A/A.doc", ".profile"}));
}

TEST(FileNameRuleRun, OnlyMatchDirLeavesOtherFilesWhereTheyAre) {
    test::TempDir tmp;
    test::MakeDir(tmp / "out/A");
    test::WriteFile(tmp / "src/A.xls", "1");
    test::WriteFile(tmp / "src/B.xls", "2");
    SortOptions options = NameOptions(tmp / "out");
    options.onlyMatchDir = true;
    options.transferMode = TransferMode::Move;
    test::RecordingHost host;
    RunFileSort(options, {tmp / "src/A.xls", tmp / "src/B.xls"}, host);
    EXPECT_EQ(Tree(tmp / "out"), (std::set<std::string>{"A", "A/A.xls"}));
    EXPECT_TRUE(test::IsFile(tmp / "src/B.xls"));
    // B was dropped: no progress step for it.
    EXPECT_EQ(host.progress(), (std::vector<int>{0, 100, 0}));
}

TEST(FileNameRuleRun, DotNamesNeverPlaceOutsideTheOutputDirectory) {
    test::TempDir tmp;
    test::WriteFile(tmp / "src/...txt", "x");  // base name ".."
    test::WriteFile(tmp / "src/..txt", "y");   // base name "."
    test::MakeDir(tmp / "base/out");
    for (const bool onlyMatchDir : {false, true}) {
        SortOptions options = NameOptions(tmp / "base/out");
        options.onlyMatchDir = onlyMatchDir;
        options.transferMode = TransferMode::Copy;
        test::RecordingHost host;
        RunFileSort(options, {tmp / "src/...txt"}, host);
        EXPECT_EQ(Tree(tmp / "base"), (std::set<std::string>{"out"}));
        EXPECT_TRUE(test::IsFile(tmp / "src/...txt"));
        ASSERT_EQ(host.of("info").size(), 1u);
        EXPECT_EQ(host.of("info")[0].rfind("分拣工作完成！", 0), 0u);
    }
    // "." stays inside: the output directory itself.
    test::RecordingHost host;
    RunFileSort(NameOptions(tmp / "base/out"), {tmp / "src/..txt"}, host);
    EXPECT_EQ(Tree(tmp / "base"), (std::set<std::string>{"out", "out/..txt"}));
}

}  // namespace
}  // namespace zanfeld
