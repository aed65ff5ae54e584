// The folder sort run end to end on real temporary trees, through a recording host.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "FolderSort.h"
#include "RecordingHost.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

// Turns a copy that runs away into its own output (or round a link loop) into
// a quick failure instead of a disk filling up.
struct RunawayGuard {
    FaultySys sys;
    ScopedSys scoped{sys};
    RunawayGuard() {
        sys.beforeCall(
            SysOp::Mkdir,
            [this] {
                if (sys.calls(SysOp::Mkdir) > 500) throw std::runtime_error("runaway copy");
            },
            0);
    }
};

class RunFolderSortTest : public ::testing::Test {
  protected:
    SortOptions Options(SortPage page) {
        SortOptions o;
        o.page = page;
        o.outputDir = m_dir / "out";
        o.sameFilePolicy = SameFilePolicy::Overwrite;
        return o;
    }
    // A source folder holding one file named after it.
    std::string Folder(const std::string& name) {
        const std::string p = m_dir / ("src/" + name);
        WriteFile(p + "/f.txt", name);
        return p;
    }
    std::string Out(const std::string& rel) { return m_dir / ("out/" + rel); }
    std::vector<std::string> Tail(size_t n) {
        return std::vector<std::string>(m_host.calls.end() - static_cast<long>(n),
                                        m_host.calls.end());
    }

    TempDir m_dir;
    RecordingHost m_host;
    RunawayGuard m_guard;
};

TEST_F(RunFolderSortTest, ChecksComeInOrderAndLockNothing) {
    SortOptions o = Options(SortPage::Keys);
    RunFolderSort(o, {}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"info:没有需要分拣的文件夹（目录）!"}));

    const std::string a = Folder("a");
    m_host.calls.clear();
    o.outputDir = " \t ";
    RunFolderSort(o, {a}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"reject:0:请选择分拣结果输出目录！"}));

    // The trailing separator is shown even though the keyword check then fails.
    m_host.calls.clear();
    o.outputDir = m_dir / "out";
    o.keywordText = "   ";
    RunFolderSort(o, {a}, m_host);
    EXPECT_EQ(m_host.calls,
              (std::vector<std::string>{"outdir:" + Out(""), "reject:1:请输入匹配关键字!"}));

    m_host.calls.clear();
    o = Options(SortPage::FileName);
    o.outputDir = Out("");  // already ends in the separator: nothing to show
    o.useNamePart = true;
    o.partBeginText = "";
    o.partEndText = "2";
    RunFolderSort(o, {a}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"reject:2:请输入整数序号!"}));

    m_host.calls.clear();
    o.partBeginText = "1";
    o.partEndText = "x";
    RunFolderSort(o, {a}, m_host);
    EXPECT_EQ(m_host.calls, (std::vector<std::string>{"reject:3:请输入整数序号!"}));
    EXPECT_FALSE(Exists(Out("")));
}

TEST_F(RunFolderSortTest, KeywordsMatchTheWholeFolderNameIgnoringAsciiCase) {
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "游记 A";
    RunFolderSort(
        o, {Folder("西游记"), Folder("东游记"), Folder("Alpha"), Folder("alpha"), Folder("bcd")},
        m_host);
    EXPECT_EQ(ReadFile(Out("游记/西游记/f.txt")), "西游记");
    EXPECT_EQ(ReadFile(Out("游记/东游记/f.txt")), "东游记");
    EXPECT_EQ(ReadFile(Out("A/Alpha/f.txt")), "Alpha");
    EXPECT_EQ(ReadFile(Out("A/alpha/f.txt")), "alpha");
    EXPECT_EQ(Names(Out("")), (std::vector<std::string>{"A", "游记"}));
    EXPECT_EQ(Names(Out("A")), (std::vector<std::string>{"Alpha", "alpha"}));
    EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！"}));
}

TEST_F(RunFolderSortTest, DerivedNamesFromARangeAndAFilter) {
    SortOptions o = Options(SortPage::FileName);
    o.useNamePart = true;
    o.partBeginText = "1";
    o.partEndText = "1";
    const std::string a1 = Folder("A1"), a2 = Folder("A2");
    RunFolderSort(o, {a1, a2}, m_host);
    EXPECT_EQ(ReadFile(Out("A/A1/f.txt")), "A1");
    EXPECT_EQ(ReadFile(Out("A/A2/f.txt")), "A2");

    // A range typed backwards is the same range.
    o.partBeginText = "5";
    o.partEndText = "2";
    RunFolderSort(o, {Folder("ABCDEFG")}, m_host);
    EXPECT_EQ(ReadFile(Out("BCDE/ABCDEFG/f.txt")), "ABCDEFG");

    // Two filter pieces.
    TempDir other;
    o = Options(SortPage::FileName);
    o.outputDir = other / "out";
    o.nameFilter = "1*2";
    RunFolderSort(o, {a1, a2, Folder("Photos")}, m_host);
    EXPECT_EQ(Names(other / "out"), (std::vector<std::string>{"A", "Photos"}));
    EXPECT_EQ(Names(other / "out/A"), (std::vector<std::string>{"A1", "A2"}));
    EXPECT_EQ(ReadFile(other / "out/Photos/Photos/f.txt"), "Photos");
}

TEST_F(RunFolderSortTest, EmptyDerivedNameCopiesStraightBelowTheOutputDirectory) {
    SortOptions o = Options(SortPage::FileName);
    o.useNamePart = true;
    o.partBeginText = "5";
    o.partEndText = "8";
    RunFolderSort(o, {Folder("AB")}, m_host);
    EXPECT_EQ(Names(Out("")), (std::vector<std::string>{"AB"}));
    EXPECT_EQ(ReadFile(Out("AB/f.txt")), "AB");

    // A source ending in the separator has no name: its content goes into the
    // output directory itself. On the keyword page it matches nothing.
    WriteFile(m_dir / "root/r.txt", "R");
    o.useNamePart = false;
    RunFolderSort(o, {m_dir / "root/"}, m_host);
    EXPECT_EQ(ReadFile(Out("r.txt")), "R");

    SortOptions k = Options(SortPage::Keys);
    k.keywordText = "root";
    m_host.calls.clear();
    RunFolderSort(k, {m_dir / "root/"}, m_host);
    EXPECT_FALSE(Exists(Out("root")));
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 100, 0}));
}

TEST_F(RunFolderSortTest, OnlyMatchDirPassesOverWithoutAProgressStep) {
    MakeDir(Out("A"));
    SortOptions o = Options(SortPage::FileName);
    o.useNamePart = true;
    o.partBeginText = "1";
    o.partEndText = "1";
    o.onlyMatchDir = true;
    RunFolderSort(o, {Folder("A1"), Folder("B1"), Folder("A2")}, m_host);
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 66, 100, 0}));
    EXPECT_EQ(Names(Out("")), (std::vector<std::string>{"A"}));
    EXPECT_EQ(Names(Out("A")), (std::vector<std::string>{"A1", "A2"}));
}

TEST_F(RunFolderSortTest, HiddenDatePageCopiesNothingButMovesTheBar) {
    for (int page : {2, 4, -1}) {
        m_host.calls.clear();
        SortOptions o = Options(static_cast<SortPage>(page));
        RunFolderSort(o, {Folder("a"), Folder("b")}, m_host);
        EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 50, 100, 0})) << page;
        EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！"}));
        EXPECT_FALSE(Exists(Out("a")));
        EXPECT_FALSE(Exists(Out("b")));
    }
}

TEST_F(RunFolderSortTest, ProgressForThreeFoldersOfWhichTheSecondHasNoMatch) {
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "x";
    RunFolderSort(o, {Folder("x1"), Folder("y"), Folder("x2")}, m_host);
    EXPECT_EQ(m_host.calls.front(), "outdir:" + Out(""));
    EXPECT_EQ(m_host.calls[1], "busy:1");
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 33, 66, 100, 0}));
    EXPECT_EQ(Tail(4), (std::vector<std::string>{"progress:100", "busy:0", "info:分拣工作完成！",
                                                 "progress:0"}));
    EXPECT_EQ(Names(Out("x")), (std::vector<std::string>{"x1", "x2"}));
}

TEST_F(RunFolderSortTest, VanishedSourceStillGetsItsTargetFolder) {
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "游记 gone";
    RunFolderSort(o, {m_dir / "src/gone游记"}, m_host);
    EXPECT_TRUE(Names(Out("游记")).empty());
    EXPECT_TRUE(Names(Out("gone")).empty());

    o = Options(SortPage::FileName);
    RunFolderSort(o, {m_dir / "src/missing"}, m_host);
    EXPECT_TRUE(Names(Out("missing")).empty());
    EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！", "分拣工作完成！"}));
}

TEST_F(RunFolderSortTest, KeywordListedTwiceCopiesTwiceAndThePolicyIsTakenPerFolder) {
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "a a";
    o.sameFilePolicy = SameFilePolicy::Skip;
    int refreshes = 0;
    // From the second folder on the window says Rename.
    m_host.onRefresh = [&](SortOptions& live) {
        if (++refreshes == 2) live.sameFilePolicy = SameFilePolicy::Rename;
    };
    const std::string a = Folder("a");
    RunFolderSort(o, {a, a}, m_host);
    EXPECT_EQ(refreshes, 2);
    // First folder under Skip: twice into a/a, the second copy keeps f.txt.
    // Second folder under Rename: twice more, numbered.
    EXPECT_EQ(Names(Out("a/a")), (std::vector<std::string>{"f.txt", "f_1.txt", "f_2.txt"}));
}

TEST_F(RunFolderSortTest, OutputInsideTheSourceIsNotCopiedIntoItself) {
    WriteFile(m_dir / "Sx/f.txt", "F");
    WriteFile(m_dir / "Sx/sub/g.txt", "G");
    MakeDir(m_dir / "Sx/out");
    SortOptions o = Options(SortPage::Keys);
    o.outputDir = m_dir / "Sx/out/";
    o.keywordText = "S x";  // both match: the second copy must not hold the first
    RunFolderSort(o, {m_dir / "Sx"}, m_host);
    EXPECT_EQ(m_host.of("info"), (std::vector<std::string>{"分拣工作完成！"}));
    for (const char* keyword : {"S", "x"}) {
        const std::string copy = m_dir / (std::string("Sx/out/") + keyword + "/Sx");
        EXPECT_EQ(Names(copy), (std::vector<std::string>{"f.txt", "sub"})) << keyword;
        EXPECT_EQ(ReadFile(copy + "/sub/g.txt"), "G");
    }
}

// On the first question, the second source folder's sub-folder that has not
// been walked yet becomes a file, so it cannot be entered.
class SabotagingHost : public RecordingHost {
  public:
    SabotagingHost(std::string root, std::string parking) : m_root(root), m_parking(parking) {}

    bool askOverwrite(const std::string& targetPath) override {
        RecordingHost::askOverwrite(targetPath);
        if (victim.empty()) {
            victim = m_root + (targetPath.find("/X/") != std::string::npos ? "/Y" : "/X");
            if (std::rename(victim.c_str(), m_parking.c_str()) != 0) ADD_FAILURE() << "rename";
            WriteFile(victim, "now a file");
        }
        return true;
    }

    std::string victim;

  private:
    std::string m_root;
    std::string m_parking;
};

// S1 holds two sub-folders whose files are in the output already; the first
// question about one of them makes the other a file (SabotagingHost).
class RunFolderSortStopTest : public RunFolderSortTest {
  protected:
    RunFolderSortStopTest() {
        WriteFile(m_s1 + "/X/x.txt", "newX");
        WriteFile(m_s1 + "/Y/y.txt", "newY");
        WriteFile(Out("S/S1/X/x.txt"), "old");
        WriteFile(Out("S/S1/Y/y.txt"), "old");
        m_options.keywordText = "S";
        m_options.sameFilePolicy = SameFilePolicy::Ask;
    }

    std::string StopText() const {
        return "无法进入文件夹“" + m_sabotage.victim + "”：" + ReasonText(ENOTDIR) +
               "，分拣已中止。";
    }

    const std::string m_s1 = m_dir / "src/S1";
    SabotagingHost m_sabotage{m_s1, m_dir / "parked"};
    SortOptions m_options = Options(SortPage::Keys);
};

TEST_F(RunFolderSortStopTest, AFolderThatCannotBeEnteredEndsTheRunAndUnlocksTheWindow) {
    const std::string s2 = Folder("S2");
    RunFolderSort(m_options, {m_s1, s2}, m_sabotage);
    ASSERT_FALSE(m_sabotage.victim.empty());
    EXPECT_FALSE(Exists(Out("S/S2")));  // the run stopped
    const std::vector<std::string> tail(m_sabotage.calls.end() - 3, m_sabotage.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"busy:0", "progress:0", "info:" + StopText()}));
    EXPECT_EQ(m_sabotage.of("info").size(), 1u);  // no completion message
    ASSERT_EQ(m_sabotage.of("ask").size(), 1u);
    EXPECT_EQ(ReadFile(m_sabotage.of("ask")[0]).substr(0, 3), "new");
}

TEST_F(RunFolderSortStopTest, AStoppedRunStillNamesTheFilesThatFailedBeforeTheStop) {
    const std::string s0 = Folder("S0");
    MakeDir(Out("S/S0/f.txt"));  // a folder of the file's name blocks it
    RunFolderSort(m_options, {s0, m_s1}, m_sabotage);
    ASSERT_FALSE(m_sabotage.victim.empty());
    const std::vector<std::string> info = m_sabotage.of("info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].rfind(StopText() + "\n\n有 1 个文件未能分拣：\n" + s0 + "/f.txt：", 0), 0u)
        << info[0];
}

TEST_F(RunFolderSortTest, AFailedFileIsCountedAndTheRunGoesOn) {
    const std::string s1 = Folder("S1");
    WriteFile(s1 + "/b.txt", "B");
    MakeDir(Out("S/S1/f.txt"));  // a folder of the file's name blocks it
    const std::string s2 = Folder("S2");
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "S";
    RunFolderSort(o, {s1, s2}, m_host);
    EXPECT_EQ(ReadFile(Out("S/S1/b.txt")), "B");
    EXPECT_EQ(ReadFile(Out("S/S2/f.txt")), "S2");
    const std::vector<std::string> info = m_host.of("info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].rfind("分拣工作完成！", 0), 0u);
    EXPECT_NE(info[0].find("有 1 个文件未能分拣"), std::string::npos) << info[0];
    EXPECT_NE(info[0].find(s1 + "/f.txt："), std::string::npos) << info[0];
    EXPECT_EQ(m_host.progress(), (std::vector<int>{0, 50, 100, 0}));
}

TEST_F(RunFolderSortTest, TargetNamesThatLeaveTheOutputDirectoryCopyNothing) {
    MakeDir(Out(""));
    SortOptions o = Options(SortPage::Keys);
    o.keywordText = "..";
    RunFolderSort(o, {Folder("a..b")}, m_host);

    SortOptions n = Options(SortPage::FileName);
    n.nameFilter = "x*y";
    RunFolderSort(n, {Folder("x..y")}, m_host);

    EXPECT_EQ(Names(m_dir.path()), (std::vector<std::string>{"out", "src"}));
    EXPECT_TRUE(Names(Out("")).empty());
    const std::vector<std::string> info = m_host.of("info");
    ASSERT_EQ(info.size(), 2u);
    for (const auto& text : info)
        EXPECT_NE(text.find("有 1 个文件未能分拣"), std::string::npos) << text;
}

}  // namespace
