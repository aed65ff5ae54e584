// Nothing is ever written outside the output directory through a symlink met
// on the target side: one that a folder copy made itself from an earlier
// source of the same name, one that stands where a tree's own folder goes,
// or one swapped in for a target folder while a run goes on.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FileChecks.h"
#include "FileOps.h"
#include "FolderSort.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kDone[] = "分拣工作完成！";

const SameFilePolicy kPolicies[] = {SameFilePolicy::Overwrite, SameFilePolicy::Ask,
                                    SameFilePolicy::Rename, SameFilePolicy::Skip,
                                    SameFilePolicy::EditFileTime};

class OutsideWriteTest : public ::testing::Test {
  protected:
    OutsideWriteTest() {
        // A folder elsewhere, with a file that must never change.
        WriteFile(Outside("readme.txt"), "precious", 1'000'000'000);
    }

    std::string Outside(const std::string& rel) const { return m_dir / ("outside/" + rel); }
    std::string Out(const std::string& rel) const { return m_dir / ("out/" + rel); }

    void ExpectOutsideUntouched() {
        EXPECT_EQ(Names(m_dir / "outside"), std::vector<std::string>{"readme.txt"});
        EXPECT_EQ(ReadFile(Outside("readme.txt")), "precious");
        EXPECT_EQ(LStat(Outside("readme.txt")).st_mtim.tv_sec, 1'000'000'000);
    }

    std::string RunFolders(SameFilePolicy policy, const std::vector<std::string>& folders) {
        SortOptions o;
        o.page = SortPage::Keys;
        o.keywordText = "proj";
        o.outputDir = m_dir / "out";
        o.sameFilePolicy = policy;
        m_host.calls.clear();
        m_host.answers.assign(8, true);
        RunFolderSort(o, folders, m_host);
        const auto infos = m_host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    TempDir m_dir;
    RecordingHost m_host;
};

// Two listed folders of one name merge into one target. In the first, docs
// is a link to the folder elsewhere and is copied as a link; the second's
// real docs folder must not be written through it.
TEST_F(OutsideWriteTest, AMergedTreeNeverWritesThroughALinkItCopied) {
    MakeDir(m_dir / "a/proj");
    ASSERT_EQ(::symlink(Outside("").c_str(), (m_dir / "a/proj/docs").c_str()), 0);
    WriteFile(m_dir / "b/proj/docs/readme.txt", "from b", 1'600'000'000);
    WriteFile(m_dir / "b/proj/docs/deeper/more.txt", "more from b");
    WriteFile(m_dir / "b/proj/top.txt", "top");
    for (const SameFilePolicy policy : kPolicies) {
        SCOPED_TRACE(static_cast<int>(policy));
        std::filesystem::remove_all(m_dir / "out");
        const std::string text = RunFolders(policy, {m_dir / "a/proj", m_dir / "b/proj"});
        ExpectOutsideUntouched();
        EXPECT_TRUE(S_ISLNK(LStat(Out("proj/proj/docs")).st_mode));
        EXPECT_EQ(ReadFile(Out("proj/proj/top.txt")), "top");
        // The files below the link's name could not be copied, and say so.
        EXPECT_EQ(FailedCount(text), 2u) << text;
        EXPECT_NE(text.find(m_dir / "b/proj/docs/readme.txt："), std::string::npos) << text;
        EXPECT_NE(text.find(m_dir / "b/proj/docs/deeper/more.txt："), std::string::npos) << text;
        EXPECT_TRUE(m_host.of("ask").empty());
    }
}

// The output directory and the folders above a tree may be links the user
// made; the tree's own folder is never written through when it is one.
TEST_F(OutsideWriteTest, ALinkWhereATreeGoesIsNotWrittenThrough) {
    WriteFile(m_dir / "src/proj/readme.txt", "new");
    WriteFile(m_dir / "src/proj/sub/x.txt", "x");
    MakeDir(Out("proj"));
    ASSERT_EQ(::symlink(Outside("").c_str(), Out("proj/proj").c_str()), 0);
    for (const SameFilePolicy policy : kPolicies) {
        SCOPED_TRACE(static_cast<int>(policy));
        const std::string text = RunFolders(policy, {m_dir / "src/proj"});
        ExpectOutsideUntouched();
        EXPECT_EQ(FailedCount(text), 2u) << text;
        EXPECT_TRUE(S_ISLNK(LStat(Out("proj/proj")).st_mode));
    }

    // A keyword folder that the user made as a link is followed, as chosen.
    std::filesystem::remove(Out("proj/proj"));
    std::filesystem::remove(Out("proj"));
    MakeDir(m_dir / "mine");
    ASSERT_EQ(::symlink((m_dir / "mine").c_str(), Out("proj").c_str()), 0);
    EXPECT_EQ(RunFolders(SameFilePolicy::Overwrite, {m_dir / "src/proj"}), kDone);
    EXPECT_EQ(ReadFile(m_dir / "mine/proj/readme.txt"), "new");
    EXPECT_EQ(ReadFile(m_dir / "mine/proj/sub/x.txt"), "x");
}

// A target folder swapped for a link between two files of a run: the files
// after the swap still go into the folder that was opened, never through the
// link.
TEST_F(OutsideWriteTest, AFolderSwappedForALinkMidRunCannotRedirectLaterFiles) {
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        std::filesystem::remove_all(m_dir / "out");
        std::filesystem::remove_all(m_dir / "moved");
        const std::vector<std::string> sources = {m_dir / "src/a.txt", m_dir / "src/b.txt",
                                                  m_dir / "src/c.txt"};
        for (const std::string& s : sources) WriteFile(s, s);
        int refreshes = 0;
        m_host.onRefresh = [&](SortOptions&) {
            if (++refreshes != 2) return;
            ASSERT_EQ(::rename(Out(".txt").c_str(), (m_dir / "moved").c_str()), 0);
            ASSERT_EQ(::symlink(Outside("").c_str(), Out(".txt").c_str()), 0);
        };
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_dir / "out";
        o.transferMode = mode;
        o.sameFilePolicy = SameFilePolicy::Overwrite;
        m_host.calls.clear();
        RunFileSort(o, sources, m_host);
        m_host.onRefresh = nullptr;
        EXPECT_EQ(m_host.of("info"), std::vector<std::string>{kDone});
        ExpectOutsideUntouched();
        EXPECT_EQ(Names(m_dir / "moved"), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
        for (const std::string& s : sources)
            EXPECT_EQ(ReadFile(m_dir / ("moved/" + s.substr(s.size() - 5))), s);
    }
}

}  // namespace
