// The recursive folder copy on real temporary trees: structure, merging, the
// same-name policies, a target inside the source, symlinks, and the folder
// that cannot be entered.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "FolderCopyError.h"
#include "FolderSort.h"
#include "RecordingHost.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;
namespace fs = std::filesystem;

namespace {

// Every entry below root, sorted: "dir/" for folders, "link@text" for
// symlinks, "file=content" for files. Links are never followed.
std::vector<std::string> Tree(const std::string& root) {
    std::vector<std::string> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string rel = fs::relative(it->path(), root).string();
        if (it->is_symlink()) {
            out.push_back(rel + "@" + fs::read_symlink(it->path()).string());
        } else if (it->is_directory()) {
            out.push_back(rel + "/");
        } else {
            out.push_back(rel + "=" + ReadFile(it->path().string()));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

void Link(const std::string& text, const std::string& at) {
    ASSERT_EQ(::symlink(text.c_str(), at.c_str()), 0) << at;
}

std::string LinkText(const std::string& path) { return fs::read_symlink(path).string(); }

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

class CopyFolderTreeTest : public ::testing::Test {
  protected:
    bool Copy(const std::string& source, const std::string& target, SameFilePolicy policy) {
        return CopyFolderTree(source, target, policy, m_host, m_failures);
    }
    std::string Src(const std::string& rel) { return m_dir / ("src/" + rel); }
    std::string Dst(const std::string& rel) { return m_dir / ("dst/" + rel); }

    TempDir m_dir;
    RecordingHost m_host;
    FailureLog m_failures;
    RunawayGuard m_guard;
};

TEST_F(CopyFolderTreeTest, ReproducesTheTreeWithEmptyFoldersAndHiddenEntries) {
    WriteFile(Src("a.txt"), "A");
    WriteFile(Src(".hidden"), "H");
    WriteFile(Src(".hdir/x"), "X");
    MakeDir(Src("e1"));
    MakeDir(Src("d/e2/e3"));
    WriteFile(Src("d/f.txt"), "F");
    WriteFile(Src("d/e2/g"), "");

    // The target's parents are made as well.
    const std::string target = m_dir / "dst/deeper/copy";
    EXPECT_TRUE(Copy(m_dir / "src", target, SameFilePolicy::Overwrite));
    EXPECT_EQ(Tree(target), Tree(m_dir / "src"));
    EXPECT_EQ(Tree(target).size(), 10u);
    EXPECT_EQ(m_failures.count(), 0u);
    EXPECT_TRUE(m_host.calls.empty());
}

TEST_F(CopyFolderTreeTest, EmptySourceGivesEmptyTargetAndVanishedSourceGivesNothing) {
    MakeDir(Src(""));
    EXPECT_TRUE(Copy(m_dir / "src", Dst(""), SameFilePolicy::Overwrite));
    EXPECT_TRUE(IsDir(Dst("")));
    EXPECT_TRUE(Names(Dst("")).empty());

    EXPECT_FALSE(Copy(m_dir / "gone", m_dir / "dst2", SameFilePolicy::Overwrite));
    EXPECT_FALSE(Exists(m_dir / "dst2"));
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, MergesIntoAPartialTarget) {
    WriteFile(Src("sub/new.txt"), "new");
    WriteFile(Src("sub/clash.txt"), "source");
    WriteFile(Src("top.txt"), "top");
    WriteFile(Dst("sub/clash.txt"), "old");
    WriteFile(Dst("sub/extra.txt"), "extra");
    WriteFile(Dst("mine/keep.txt"), "keep");

    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Overwrite));
    EXPECT_EQ(
        Tree(m_dir / "dst"),
        (std::vector<std::string>{"mine/", "mine/keep.txt=keep", "sub/", "sub/clash.txt=source",
                                  "sub/extra.txt=extra", "sub/new.txt=new", "top.txt=top"}));
}

TEST_F(CopyFolderTreeTest, SkipKeepsClashingFilesWithoutCountingThem) {
    WriteFile(Src("a.txt"), "source");
    WriteFile(Src("b.txt"), "b");
    WriteFile(Dst("a.txt"), "old");
    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Skip));
    EXPECT_EQ(ReadFile(Dst("a.txt")), "old");
    EXPECT_EQ(ReadFile(Dst("b.txt")), "b");
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, AskAsksOncePerClashAndFollowsEachAnswer) {
    WriteFile(Src("one.txt"), "new1");
    WriteFile(Src("d/two.txt"), "new2");
    WriteFile(Src("d/e/three.txt"), "new3");
    WriteFile(Src("d/free.txt"), "free");
    WriteFile(Dst("one.txt"), "old1");
    WriteFile(Dst("d/two.txt"), "old2");
    WriteFile(Dst("d/e/three.txt"), "old3");
    m_host.answers = {true, false, true};

    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Ask));
    const std::vector<std::string> asked = m_host.of("ask");
    ASSERT_EQ(asked.size(), 3u);
    std::vector<std::string> sorted = asked;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted,
              (std::vector<std::string>{Dst("d/e/three.txt"), Dst("d/two.txt"), Dst("one.txt")}));
    // The answers were taken in the order the questions came.
    const bool answers[] = {true, false, true};
    for (size_t k = 0; k < 3; ++k) {
        const std::string content = ReadFile(asked[k]);
        EXPECT_EQ(content.substr(0, 3), answers[k] ? "new" : "old") << asked[k];
    }
    EXPECT_EQ(ReadFile(Dst("d/free.txt")), "free");  // no clash, no question
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, RenameNumbersFromTheFilesOwnStem) {
    const char* names[] = {"report.txt", "README", "a.b.c", ".profile"};
    for (const char* n : names) {
        WriteFile(Src(n), std::string("src-") + n);
        WriteFile(Dst(n), "old");
    }
    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Rename));
    EXPECT_EQ(ReadFile(Dst("report_1.txt")), "src-report.txt");
    EXPECT_EQ(ReadFile(Dst("README_1")), "src-README");
    EXPECT_EQ(ReadFile(Dst("a.b_1.c")), "src-a.b.c");
    EXPECT_EQ(ReadFile(Dst("_1.profile")), "src-.profile");

    // A second copy goes one number further, never numbering a numbered name.
    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Rename));
    EXPECT_EQ(Names(Dst("")),
              (std::vector<std::string>{".profile", "README", "README_1", "README_2", "_1.profile",
                                        "_2.profile", "a.b.c", "a.b_1.c", "a.b_2.c", "report.txt",
                                        "report_1.txt", "report_2.txt"}));
    EXPECT_EQ(ReadFile(Dst("report.txt")), "old");
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, IdenticalSkipsTwinsAndNumbersTheRest) {
    const std::string big = Pattern((1u << 20) + 7, 5);
    std::string lastByte = big;
    lastByte.back() ^= 1;
    WriteFile(Src("twin.txt"), "twin");
    WriteFile(Dst("twin.txt"), "twin");
    WriteFile(Src("sub/big.bin"), big);
    WriteFile(Dst("sub/big.bin"), lastByte);
    WriteFile(Src("l.txt"), "twin");
    Link("twin.txt", Dst("l.txt"));  // a link is never a twin
    WriteFile(Src("new.txt"), "new");
    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Identical));
    EXPECT_EQ(Names(Dst("")),
              (std::vector<std::string>{"l.txt", "l_1.txt", "new.txt", "sub", "twin.txt"}));
    EXPECT_EQ(LinkText(Dst("l.txt")), "twin.txt");
    EXPECT_EQ(ReadFile(Dst("l_1.txt")), "twin");
    EXPECT_EQ(ReadFile(Dst("new.txt")), "new");
    EXPECT_EQ(Names(Dst("sub")), (std::vector<std::string>{"big.bin", "big_1.bin"}));
    EXPECT_TRUE(ReadFile(Dst("sub/big.bin")) == lastByte);
    EXPECT_TRUE(ReadFile(Dst("sub/big_1.bin")) == big);
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, EditFileTimeReplacesUnlessTheSourceIsOlder) {
    WriteFile(Src("same.txt"), "src", 1'500'000'000);
    WriteFile(Dst("same.txt"), "old", 1'500'000'000);
    WriteFile(Src("older.txt"), "src", 1'400'000'000);
    WriteFile(Dst("older.txt"), "old", 1'500'000'000);
    WriteFile(Src("newer.txt"), "src", 1'600'000'000);
    WriteFile(Dst("newer.txt"), "old", 1'500'000'000);
    WriteFile(Src("absent.txt"), "src", 1'000'000'000);
    // Nanoseconds count: a source older by 1 ns is older.
    WriteFile(Src("nano.txt"), "src");
    WriteFile(Dst("nano.txt"), "old");
    SetTimes(Src("nano.txt"), 1, 0, 1'500'000'000, 5);
    SetTimes(Dst("nano.txt"), 1, 0, 1'500'000'000, 6);

    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::EditFileTime));
    EXPECT_EQ(ReadFile(Dst("same.txt")), "src");
    EXPECT_EQ(ReadFile(Dst("older.txt")), "old");
    EXPECT_EQ(ReadFile(Dst("newer.txt")), "src");
    EXPECT_EQ(ReadFile(Dst("absent.txt")), "src");
    EXPECT_EQ(ReadFile(Dst("nano.txt")), "old");
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, SourceEndingInTheSeparatorJoinsWithoutASecondOne) {
    WriteFile(Src("sub/f.txt"), "F");
    WriteFile(Src("g.txt"), "G");
    MakeDir(Dst("sub/f.txt"));  // blocks the file, so its source path is reported
    EXPECT_TRUE(Copy(m_dir / "src/", m_dir / "dst", SameFilePolicy::Overwrite));
    EXPECT_EQ(ReadFile(Dst("g.txt")), "G");
    ASSERT_EQ(m_failures.count(), 1u);
    const std::string text = m_failures.completionText();
    EXPECT_NE(text.find(Src("sub/f.txt") + "："), std::string::npos) << text;
    EXPECT_EQ(text.find("//"), std::string::npos) << text;
}

TEST_F(CopyFolderTreeTest, TargetInsideTheSourceHoldsExactlyTheSourcesContent) {
    WriteFile(Src("a.txt"), "A");
    WriteFile(Src("sub/b.txt"), "B");
    MakeDir(Src("empty"));
    const std::vector<std::string> before = Tree(m_dir / "src");

    // Made by the copy, two levels deep.
    EXPECT_TRUE(Copy(m_dir / "src", Src("out/kw/src"), SameFilePolicy::Rename));
    EXPECT_EQ(Tree(Src("out/kw/src")), before);

    // Already there as a direct child, and reached through a symlinked name.
    MakeDir(Src("copy"));
    Link(m_dir / "src", m_dir / "alias");
    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "alias/copy", SameFilePolicy::Rename));
    // The first copy's output is part of the source now; the second copy itself is not.
    std::vector<std::string> expected = before;
    for (const char* e : {"out/", "out/kw/", "out/kw/src/"}) expected.push_back(e);
    for (const auto& e : before) expected.push_back("out/kw/src/" + e);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Tree(Src("copy")), expected);
    EXPECT_FALSE(Exists(Src("copy/copy")));
    EXPECT_EQ(m_failures.count(), 0u);
}

TEST_F(CopyFolderTreeTest, LinksToFoldersAreCopiedAsLinksAndLinksToFilesAsContent) {
    WriteFile(Src("real.txt"), "R");
    WriteFile(Src("sub/inner.txt"), "I");
    Link("../..", Src("sub/up"));            // a loop back to an ancestor
    Link(Src("sub"), Src("abs"));            // an absolute link to a folder
    Link("real.txt", Src("file-link.txt"));  // a link to a file
    Link("nowhere", Src("dangling"));

    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Overwrite));
    EXPECT_EQ(LinkText(Dst("sub/up")), "../..");
    EXPECT_EQ(LinkText(Dst("abs")), Src("sub"));
    EXPECT_EQ(LinkText(Dst("dangling")), "nowhere");
    EXPECT_FALSE(fs::is_symlink(Dst("file-link.txt")));
    EXPECT_EQ(ReadFile(Dst("file-link.txt")), "R");
    EXPECT_EQ(Names(Dst("")),
              (std::vector<std::string>{"abs", "dangling", "file-link.txt", "real.txt", "sub"}));
    EXPECT_EQ(m_failures.count(), 0u);

    // Copied again, the identical links are already in place under every policy.
    for (SameFilePolicy p :
         {SameFilePolicy::Skip, SameFilePolicy::Rename, SameFilePolicy::Ask,
          SameFilePolicy::EditFileTime, SameFilePolicy::Overwrite, SameFilePolicy::Identical}) {
        EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", p));
        EXPECT_EQ(LinkText(Dst("sub/up")), "../..");
        EXPECT_EQ(LinkText(Dst("dangling")), "nowhere");
    }
    EXPECT_EQ(m_failures.count(), 0u);
    EXPECT_FALSE(Exists(Dst("dangling_1")));
}

TEST_F(CopyFolderTreeTest, LinkOverAnotherEntryFollowsThePolicyAndNeverReplacesAFolder) {
    MakeDir(Src(""));
    Link("new-text", Src("l1"));
    Link("new-text", Src("l2"));
    WriteFile(Dst("l1"), "file in the way");
    MakeDir(Dst("l2"));

    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Skip));
    EXPECT_EQ(ReadFile(Dst("l1")), "file in the way");
    EXPECT_EQ(m_failures.count(), 1u);  // l2: a folder holds the name

    EXPECT_TRUE(Copy(m_dir / "src", m_dir / "dst", SameFilePolicy::Overwrite));
    EXPECT_EQ(LinkText(Dst("l1")), "new-text");
    EXPECT_TRUE(IsDir(Dst("l2")));
    EXPECT_FALSE(fs::is_symlink(Dst("l2")));
    EXPECT_EQ(m_failures.count(), 2u);
}

TEST_F(CopyFolderTreeTest, AFailedFileIsCountedAndTheWalkGoesOn) {
    for (SameFilePolicy p :
         {SameFilePolicy::Overwrite, SameFilePolicy::Skip, SameFilePolicy::Ask,
          SameFilePolicy::Rename, SameFilePolicy::EditFileTime, SameFilePolicy::Identical}) {
        TempDir dir;
        WriteFile(dir / "src/a.txt", "A");
        WriteFile(dir / "src/z/b.txt", "B");
        MakeDir(dir / "dst/a.txt");  // a folder of the file's name
        FailureLog failures;
        RecordingHost host;
        EXPECT_TRUE(CopyFolderTree(dir / "src", dir / "dst", p, host, failures));
        EXPECT_EQ(failures.count(), 1u) << static_cast<int>(p);
        EXPECT_TRUE(IsDir(dir / "dst/a.txt"));
        EXPECT_EQ(ReadFile(dir / "dst/z/b.txt"), "B");
        EXPECT_TRUE(host.of("ask").empty());  // a folder is no file to ask about
    }

    // A full disk is the target folder's: the file's line names it.
    for (SameFilePolicy p : {SameFilePolicy::Overwrite, SameFilePolicy::Rename}) {
        TempDir dir;
        WriteFile(dir / "src/z/b.txt", std::string(300 * 1024, 'b'));
        FailureLog failures;
        RecordingHost host;
        m_guard.sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC,
                                     m_guard.sys.calls(SysOp::CopyFileRange) + 1);
        EXPECT_TRUE(CopyFolderTree(dir / "src", dir / "dst", p, host, failures));
        EXPECT_EQ(failures.count(), 1u);
        EXPECT_NE(failures.failureText().find(dir / "src/z/b.txt" + "：目标文件夹“" +
                                              dir / "dst/z" + "”所在的磁盘空间不足"),
                  std::string::npos)
            << failures.failureText();
        EXPECT_FALSE(IsFile(dir / "dst/z/b.txt"));
    }
}

// Answers Yes to the first question and, at that moment, puts a file where
// the sibling folder that has not been walked yet stood, so that it cannot
// be entered. Which sibling that is depends only on the listing order.
class SabotagingHost : public RecordingHost {
  public:
    SabotagingHost(std::string root, std::string parking) : m_root(root), m_parking(parking) {}

    bool askOverwrite(const std::string& targetPath) override {
        RecordingHost::askOverwrite(targetPath);
        if (victim.empty()) {
            const bool askedX = targetPath.find("/X/") != std::string::npos;
            victim = m_root + (askedX ? "/Y" : "/X");
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

TEST_F(CopyFolderTreeTest, AFolderThatCannotBeEnteredThrowsAfterTheFilesAlreadyCopied) {
    WriteFile(Src("X/x.txt"), "newX");
    WriteFile(Src("Y/y.txt"), "newY");
    WriteFile(Dst("X/x.txt"), "old");
    WriteFile(Dst("Y/y.txt"), "old");
    SabotagingHost host(m_dir / "src", m_dir / "parked");

    try {
        CopyFolderTree(m_dir / "src", m_dir / "dst", SameFilePolicy::Ask, host, m_failures);
        FAIL() << "no error";
    } catch (const FolderCopyError& e) {
        EXPECT_EQ(e.path(), host.victim);
        EXPECT_EQ(e.error(), ENOTDIR);
    }
    ASSERT_EQ(host.of("ask").size(), 1u);
    EXPECT_EQ(ReadFile(host.of("ask")[0]).substr(0, 3), "new");  // copied before the error
}

}  // namespace
