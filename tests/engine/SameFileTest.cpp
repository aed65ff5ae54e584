// A file already where it belongs, met under another name: through a second
// mount of its folder, through a symlink, through a hard link. Sorting it
// must never destroy it, whatever the mode and the policy, and it is no
// failure: it is where it belongs. Built on real mounts and links.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "FileChecks.h"
#include "FileOps.h"
#include "FolderSort.h"
#include "PrivateMounts.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kDone[] = "分拣工作完成！";

const std::vector<std::string> kNames = {"a.txt", "b.txt", "c.txt"};

struct Mode {
    const char* name;
    TransferMode mode;
};
const Mode kModes[] = {{"copy", TransferMode::Copy}, {"move", TransferMode::Move}};

struct Policy {
    const char* name;
    SameFilePolicy policy;
};
const Policy kPolicies[] = {{"ask", SameFilePolicy::Ask},
                            {"rename", SameFilePolicy::Rename},
                            {"overwrite", SameFilePolicy::Overwrite},
                            {"skip", SameFilePolicy::Skip},
                            {"newer", SameFilePolicy::EditFileTime},
                            {"identical", SameFilePolicy::Identical}};

std::string Content(const std::string& name) { return "the only copy of " + name; }

// out/.txt holds a.txt, b.txt and c.txt, each the only copy of its content.
class SameFileTest : public ::testing::Test {
  protected:
    SameFileTest() {
        for (const std::string& name : kNames)
            WriteFile(Real(".txt/" + name), Content(name), 1'500'000'000);
    }

    std::string Real(const std::string& rel) const { return m_dir / ("real/out/" + rel); }

    std::string Run(TransferMode mode, SameFilePolicy policy,
                    const std::vector<std::string>& sources) {
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_dir / "real/out";
        o.transferMode = mode;
        o.sameFilePolicy = policy;
        m_host.calls.clear();
        // Every question would be answered yes: overwrite.
        m_host.answers.assign(8, true);
        RunFileSort(o, sources, m_host);
        const auto infos = m_host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    void ExpectEveryFileWhole() {
        for (const std::string& name : kNames) {
            ASSERT_TRUE(IsFile(Real(".txt/" + name))) << name << " is gone";
            EXPECT_EQ(ReadFile(Real(".txt/" + name)), Content(name)) << name;
        }
        EXPECT_EQ(Names(Real(".txt")), kNames) << "a copy was made of a file onto itself";
    }

    TempDir m_dir;
    RecordingHost m_host;
};

TEST_F(SameFileTest, FilesSortedOntoThemselvesThroughASecondMountStayWhole) {
    BindMount view(m_dir / "real", m_dir / "view");
    if (!view.error().empty()) GTEST_SKIP() << view.error();
    // The situation is real only if the kernel takes the two paths for two
    // places: a rename between them says "cross-device", and a move falls
    // back to copying.
    WriteFile(m_dir / "real/probe", "p");
    ASSERT_NE(::rename((m_dir / "view/probe").c_str(), (m_dir / "real/probe2").c_str()), 0);
    ASSERT_EQ(errno, EXDEV);

    std::vector<std::string> sources;
    for (const std::string& name : kNames) sources.push_back(m_dir / ("view/out/.txt/" + name));
    for (const Mode& mode : kModes) {
        for (const Policy& policy : kPolicies) {
            SCOPED_TRACE(std::string(mode.name) + ", " + policy.name);
            EXPECT_EQ(Run(mode.mode, policy.policy, sources), kDone);
            ExpectEveryFileWhole();
            // Nothing to ask about a file that is its own target.
            EXPECT_TRUE(m_host.of("ask").empty());
        }
    }
}

TEST_F(SameFileTest, AFolderCopiedOntoItselfThroughASecondMountStaysWhole) {
    // out/proj/proj is the folder, and also the target its keyword gives it.
    WriteFile(Real("proj/proj/f.txt"), "f");
    WriteFile(Real("proj/proj/sub/g.txt"), "g");
    BindMount view(m_dir / "real", m_dir / "view");
    if (!view.error().empty()) GTEST_SKIP() << view.error();
    for (const Policy& policy : kPolicies) {
        SCOPED_TRACE(policy.name);
        SortOptions o;
        o.page = SortPage::Keys;
        o.keywordText = "proj";
        o.outputDir = m_dir / "real/out";
        o.sameFilePolicy = policy.policy;
        m_host.calls.clear();
        m_host.answers.assign(8, true);
        RunFolderSort(o, {m_dir / "view/out/proj/proj"}, m_host);
        EXPECT_EQ(m_host.of("info"), std::vector<std::string>{kDone});
        EXPECT_TRUE(m_host.of("ask").empty());
        EXPECT_EQ(ReadFile(Real("proj/proj/f.txt")), "f");
        EXPECT_EQ(ReadFile(Real("proj/proj/sub/g.txt")), "g");
        EXPECT_EQ(Names(Real("proj/proj")), (std::vector<std::string>{"f.txt", "sub"}));
        EXPECT_EQ(Names(Real("proj/proj/sub")), std::vector<std::string>{"g.txt"});
    }
}

TEST_F(SameFileTest, ALinkToTheFileAtItsOwnTargetChangesNothing) {
    // Desktop shortcuts to the sorted files, absolute and relative.
    const std::string absolute = m_dir / "src/a.txt";
    const std::string relative = m_dir / "src/deep/b.txt";
    MakeDir(m_dir / "src/deep");
    ASSERT_EQ(::symlink(Real(".txt/a.txt").c_str(), absolute.c_str()), 0);
    ASSERT_EQ(::symlink("../../real/out/.txt/b.txt", relative.c_str()), 0);
    for (const Mode& mode : kModes) {
        for (const Policy& policy : kPolicies) {
            SCOPED_TRACE(std::string(mode.name) + ", " + policy.name);
            EXPECT_EQ(Run(mode.mode, policy.policy, {absolute, relative}), kDone);
            ExpectEveryFileWhole();
            EXPECT_TRUE(m_host.of("ask").empty());
            // The shortcuts stay as they were.
            EXPECT_TRUE(S_ISLNK(LStat(absolute).st_mode));
            EXPECT_TRUE(S_ISLNK(LStat(relative).st_mode));
            EXPECT_EQ(ReadFile(relative), Content("b.txt"));
        }
    }
}

TEST_F(SameFileTest, AHardLinkOfTheFileAtItsTargetIsTheSameFile) {
    const std::string other = m_dir / "src/a.txt";
    MakeDir(m_dir / "src");
    for (const Mode& mode : kModes) {
        for (const Policy& policy : kPolicies) {
            SCOPED_TRACE(std::string(mode.name) + ", " + policy.name);
            std::filesystem::remove(other);
            ASSERT_EQ(::link(Real(".txt/a.txt").c_str(), other.c_str()), 0);
            EXPECT_EQ(Run(mode.mode, policy.policy, {other}), kDone);
            ExpectEveryFileWhole();
            EXPECT_TRUE(m_host.of("ask").empty());
        }
    }
}

// A relative link moved into the target folder would point at the very file
// it replaced there, and that file would be lost: such a move is not made,
// and the link is counted.
TEST_F(SameFileTest, ALinkThatWouldPointAtTheFileItReplacesIsNotMoved) {
    WriteFile(m_dir / "src/.txt/a.txt", "another file of that name");
    const std::string link = m_dir / "src/sub/a.txt";
    MakeDir(m_dir / "src/sub");
    ASSERT_EQ(::symlink("../.txt/a.txt", link.c_str()), 0);
    // Newer than the target, so that replacing only older files would replace it.
    SetTimes(m_dir / "src/.txt/a.txt", 1'600'000'000, 0, 1'600'000'000, 0);
    for (const SameFilePolicy policy :
         {SameFilePolicy::Overwrite, SameFilePolicy::Ask, SameFilePolicy::EditFileTime}) {
        SCOPED_TRACE(static_cast<int>(policy));
        const std::string text = Run(TransferMode::Move, policy, {link});
        EXPECT_EQ(FailedCount(text), 1u) << text;
        EXPECT_NE(text.find(link + "：" + ErrorText(kLinkOntoItsTarget)), std::string::npos)
            << text;
        ExpectEveryFileWhole();
        EXPECT_TRUE(S_ISLNK(LStat(link).st_mode));
        EXPECT_EQ(ReadFile(m_dir / "src/.txt/a.txt"), "another file of that name");
    }
    // Under a numbered name the link points at another file: no harm done.
    EXPECT_EQ(Run(TransferMode::Move, SameFilePolicy::Rename, {link}), kDone);
    EXPECT_TRUE(S_ISLNK(LStat(Real(".txt/a_1.txt")).st_mode));
    EXPECT_EQ(ReadFile(Real(".txt/a.txt")), Content("a.txt"));
    EXPECT_FALSE(Exists(link));
}

}  // namespace
