// The file sort run end to end on real temporary trees, through a recording host.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

class RunFileSortTest : public ::testing::Test {
protected:
    SortOptions Options(SortPage page) {
        SortOptions o;
        o.page = page;
        o.outputDir = m_dir / "out";
        o.sameFilePolicy = SameFilePolicy::Rename;
        return o;
    }
    std::string Src(const std::string& name, const std::string& content = "x", int64_t mtime = 0) {
        const std::string p = m_dir / ("src/" + name);
        WriteFile(p, content, mtime);
        return p;
    }
    std::string Out(const std::string& rel) { return m_dir / ("out/" + rel); }

    TempDir m_dir;
    RecordingHost m_host;
};

TEST_F(RunFileSortTest, CommonChecksComeInOrderAndStopTheRun) {
    SortOptions o = Options(SortPage::FileType);
    RunFileSort(o, {}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"info:没有需要分拣的文件!"}));

    const std::string a = Src("a.txt");
    m_host.calls.clear();
    o.typeFilter = TypeFilterMode::Include;
    RunFileSort(o, {a}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"info:如果选择了只分拣某些文件类型，则类型不应当为空！"}));

    // The picture page does not use the type list.
    m_host.calls.clear();
    o.page = SortPage::PicSize;
    o.picText = "10";
    o.outputDir = " \t ";
    RunFileSort(o, {a}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"reject:0:请选择分拣结果输出目录！"}));
}

TEST_F(RunFileSortTest, TrailingSeparatorIsShownEvenWhenThePageCheckFails) {
    SortOptions o = Options(SortPage::FileSize);
    o.sizeText = "1.5";
    RunFileSort(o, {Src("a.txt")}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"outdir:" + Out(""), "reject:4:请输入正确的文件大小!"}));
    EXPECT_FALSE(IsDir(Out("大于1.5KB")));
}

TEST_F(RunFileSortTest, ProgressSequenceAndCompletion) {
    SortOptions o = Options(SortPage::FileType);
    std::vector<std::string> files{Src("a.txt"), Src("b.doc"), Src("c"), Src("d.txt")};
    RunFileSort(o, files, m_host);
    EXPECT_EQ(m_host.calls.front(), "outdir:" + Out(""));
    EXPECT_EQ(m_host.calls[1], "busy:1");
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 25, 50, 75, 100, 0}));
    const std::vector<std::string> tail(m_host.calls.end() - 4, m_host.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"progress:100", "busy:0", "info:分拣工作完成！", "progress:0"}));
    EXPECT_TRUE(IsFile(Out(".txt/a.txt")));
    EXPECT_TRUE(IsFile(Out(".doc/b.doc")));
    EXPECT_TRUE(IsFile(Out("c")));  // no extension: the output directory itself
    EXPECT_TRUE(IsFile(files[0]));  // copied, not moved
}

TEST_F(RunFileSortTest, FilteredFilesTakeNoProgressStep) {
    SortOptions o = Options(SortPage::FileType);
    o.typeFilter = TypeFilterMode::Exclude;
    o.typePatterns = {"*.BAK"};
    RunFileSort(o, {Src("a.txt"), Src("b.bak"), Src("c.txt")}, m_host);
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 66, 100, 0}));
    EXPECT_FALSE(IsDir(Out(".bak")));
}

TEST_F(RunFileSortTest, TypeFilterComparesWholePatternsIgnoringCase) {
    SortOptions o = Options(SortPage::FileType);
    o.typeFilter = TypeFilterMode::Include;
    o.typePatterns = {"*.txt", "*"};
    RunFileSort(o, {Src("A.TXT"), Src("a.txt.bak"), Src("readme")}, m_host);
    EXPECT_TRUE(IsFile(Out(".TXT/A.TXT")));
    EXPECT_FALSE(IsDir(Out(".bak")));
    EXPECT_TRUE(IsFile(Out("readme")));
}

TEST_F(RunFileSortTest, PictureTypesAreSubstringTests) {
    SortOptions o = Options(SortPage::PicSize);
    o.picText = "1";
    o.picturePatterns = {"*.JPG;*.JPEG"};
    // Not pictures: they pass the type test and are dropped by the rule, so
    // no progress step is taken for any of them.
    RunFileSort(o, {Src("a.jpeg"), Src("b.jp"), Src("c.j"), Src("d.png")}, m_host);
    EXPECT_EQ(m_host.progress(), (std::vector<int>{100, 0}));
    EXPECT_TRUE(IsDir(Out("大于等于1")));

    m_host.calls.clear();
    o.picturePatterns.clear();
    RunFileSort(o, {Src("a.jpeg")}, m_host);
    EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！"}));
}

TEST_F(RunFileSortTest, MoveLeavesTheListAsItWasAndMovesTheFiles) {
    SortOptions o = Options(SortPage::FileType);
    o.transferMode = TransferMode::Move;
    const std::string a = Src("a.txt", "AAA");
    RunFileSort(o, {a}, m_host);
    EXPECT_FALSE(IsFile(a));
    EXPECT_EQ(ReadFile(Out(".txt/a.txt")), "AAA");
}

TEST_F(RunFileSortTest, LiveOptionsApplyFromTheNextFile) {
    SortOptions o = Options(SortPage::FileType);
    const std::string a = Src("a.txt"), b = Src("b.txt");
    int calls = 0;
    m_host.onRefresh = [&](SortOptions& live) {
        if (++calls == 2) live.transferMode = TransferMode::Move;
    };
    RunFileSort(o, {a, b}, m_host);
    EXPECT_TRUE(IsFile(a));
    EXPECT_FALSE(IsFile(b));
    EXPECT_TRUE(IsFile(Out(".txt/b.txt")));
}

TEST_F(RunFileSortTest, FailedPlacementsAreCountedAndTheRunGoesOn) {
    SortOptions o = Options(SortPage::FileType);
    WriteFile(Out(".txt"), "a plain file where the folder should be");
    const std::string a = Src("a.txt"), b = Src("b.doc"), c = Src("c.txt");
    RunFileSort(o, {a, b, c}, m_host);
    EXPECT_TRUE(IsFile(Out(".doc/b.doc")));
    const auto info = m_host.of("info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].rfind("分拣工作完成！\n", 0), 0u) << info[0];
    EXPECT_NE(info[0].find("有 2 个文件未能分拣"), std::string::npos) << info[0];
    EXPECT_NE(info[0].find(a + "："), std::string::npos);
    EXPECT_NE(info[0].find(c + "："), std::string::npos);
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 33, 66, 100, 0}));
    EXPECT_EQ(ReadFile(Out(".txt")), "a plain file where the folder should be");
}

TEST_F(RunFileSortTest, DeclinedPlacementsAreNotFailures) {
    SortOptions o = Options(SortPage::FileType);
    o.sameFilePolicy = SameFilePolicy::Skip;
    WriteFile(Out(".txt/a.txt"), "old");
    RunFileSort(o, {Src("a.txt", "new")}, m_host);
    EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！"}));
    EXPECT_EQ(ReadFile(Out(".txt/a.txt")), "old");
}

TEST_F(RunFileSortTest, TargetFoldersThatLeaveTheOutputDirectoryAreRefused) {
    SortOptions o = Options(SortPage::FileName);
    const std::string dots = Src("...txt");  // base name ".."
    const std::string ok = Src("fine.txt");
    RunFileSort(o, {dots, ok}, m_host);
    EXPECT_TRUE(IsFile(Out("fine/fine.txt")));
    EXPECT_FALSE(IsFile(m_dir / "...txt"));
    const auto info = m_host.of("info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_NE(info[0].find("有 1 个文件未能分拣"), std::string::npos) << info[0];

    m_host.calls.clear();
    o = Options(SortPage::Keys);
    o.keywordText = "..";
    const std::string k = Src("a..b.txt");
    RunFileSort(o, {k}, m_host);
    EXPECT_FALSE(IsFile(m_dir / "a..b.txt"));
    EXPECT_NE(m_host.of("info")[0].find("有 1 个文件未能分拣"), std::string::npos);
}

TEST_F(RunFileSortTest, AnUnexpectedErrorUnlocksTheWindowAndIsShown) {
    SortOptions o = Options(SortPage::FileType);
    m_host.onRefresh = [](SortOptions&) { throw std::runtime_error("boom"); };
    RunFileSort(o, {Src("a.txt")}, m_host);
    const auto busy = m_host.of("busy");
    ASSERT_EQ(busy.size(), 2u);
    EXPECT_EQ(busy.back(), "0");
    const auto info = m_host.of("info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_NE(info[0].find("boom"), std::string::npos);
}

TEST_F(RunFileSortTest, PlacingAFileOntoItselfNeverLosesIt) {
    // The output directory is the source folder and a file without extension
    // goes to the output directory itself: the target is the source.
    for (auto mode : {TransferMode::Copy, TransferMode::Move}) {
        for (auto policy : {SameFilePolicy::Ask, SameFilePolicy::Rename, SameFilePolicy::Overwrite,
                            SameFilePolicy::Skip, SameFilePolicy::EditFileTime}) {
            TempDir dir;
            const std::string f = dir / "readme";
            WriteFile(f, "precious", 1'600'000'000);
            SortOptions o;
            o.page = SortPage::FileType;
            o.outputDir = dir.path() + "/";
            o.transferMode = mode;
            o.sameFilePolicy = policy;
            RecordingHost host;
            host.answers = {true};
            RunFileSort(o, {f}, host);
            SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + "/" + std::to_string(static_cast<int>(policy)));
            bool whole = ReadFile(f) == "precious" || ReadFile(dir / "readme_1") == "precious";
            EXPECT_TRUE(whole);
            EXPECT_EQ(host.of("info").back(), "分拣工作完成！");
        }
    }
}

}  // namespace

namespace {

// On the keyword page a numbered name chosen in one keyword's folder is where
// the search starts in the next keyword's folder.
TEST_F(RunFileSortTest, KeywordPlacementsChainTheNumberedName) {
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "游记 西游";
    WriteFile(Out("游记/西游记.txt"), "taken");
    const std::string f = Src("西游记.txt", "new");
    RunFileSort(o, {f}, m_host);
    EXPECT_EQ(ReadFile(Out("游记/西游记_1.txt")), "new");
    // 西游 holds neither name, yet the chain starts from 西游记_1.txt.
    EXPECT_EQ(ReadFile(Out("西游/西游记_1.txt")), "new");
    EXPECT_FALSE(IsFile(Out("西游/西游记.txt")));
}

TEST_F(RunFileSortTest, KeywordListedTwiceMeetsItsOwnCopy) {
    struct {
        SameFilePolicy policy;
        std::vector<std::string> files;
        size_t asks;
    } cases[] = {
        {SameFilePolicy::Rename, {"a.txt", "a_1.txt"}, 0},
        {SameFilePolicy::Skip, {"a.txt"}, 0},
        {SameFilePolicy::Ask, {"a.txt"}, 1},
        {SameFilePolicy::Overwrite, {"a.txt"}, 0},
    };
    for (const auto& c : cases) {
        TempDir dir;
        RecordingHost host;
        SortOptions o;
        o.page = SortPage::Keys;
        o.outputDir = dir / "out/";
        o.keywordText = "a a";
        o.sameFilePolicy = c.policy;
        WriteFile(dir / "src/a.txt", "x");
        RunFileSort(o, {dir / "src/a.txt"}, host);
        for (const auto& name : c.files) EXPECT_TRUE(IsFile(dir / ("out/a/" + name))) << name;
        EXPECT_FALSE(IsFile(dir / "out/a/a_2.txt"));
        EXPECT_EQ(host.of("ask").size(), c.asks);
        EXPECT_EQ(host.of("info").back(), "分拣工作完成！");
    }
}

// In move mode the first keyword moves the file; the later keyword finds no
// source, which is expected and not reported, though its folder is made.
TEST_F(RunFileSortTest, MoveWithTwoKeywordsMovesOnceAndReportsNothing) {
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "游记 西游";
    o.transferMode = TransferMode::Move;
    const std::string f = Src("西游记.txt", "x");
    RunFileSort(o, {f}, m_host);
    EXPECT_TRUE(IsFile(Out("游记/西游记.txt")));
    EXPECT_TRUE(IsDir(Out("西游")));
    EXPECT_FALSE(IsFile(Out("西游/西游记.txt")));
    EXPECT_FALSE(IsFile(f));
    EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！"}));
}

}  // namespace
