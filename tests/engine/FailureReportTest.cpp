// What the completion message says of the files that were not placed: the
// thing that failed (a target folder that could not be made is named, not
// the source that is fine), the reason in the window's language, the warning
// icon, and every file counted, on the keyword page too.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
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

class FailureReportTest : public ::testing::Test {
  protected:
    std::string Run(SortOptions o, const std::vector<std::string>& sources) {
        m_host.calls.clear();
        m_host.warnings = 0;
        RunFileSort(o, sources, m_host);
        const auto infos = m_host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    SortOptions Options(SortPage page, TransferMode mode, const std::string& out) {
        SortOptions o;
        o.page = page;
        o.outputDir = out;
        o.transferMode = mode;
        o.sameFilePolicy = SameFilePolicy::Rename;
        return o;
    }

    static bool HasAsciiLetters(const std::string& text) {
        for (const char c : text)
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
        return false;
    }

    TempDir m_dir;
    RecordingHost m_host;
};

// An output directory where nothing can be made: every file is counted with
// the folder that could not be made and a reason in Chinese; the sources are
// all there.
TEST_F(FailureReportTest, AFolderThatCannotBeMadeIsNamedWithItsReason) {
    const std::string a = m_dir / "src/a.txt";
    const std::string b = m_dir / "src/b.txt";
    WriteFile(a, "a");
    WriteFile(b, "b");
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        const std::string text =
            Run(Options(SortPage::FileType, mode, "/proc/zanfeld-nowhere/"), {a, b});
        EXPECT_EQ(text.rfind(kDone, 0), 0u) << text;
        EXPECT_EQ(FailedCount(text), 2u) << text;
        const std::string line = a + "：无法建立目标文件夹“/proc/zanfeld-nowhere/.txt”：";
        const size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << text;
        const std::string reason =
            text.substr(at + line.size(), text.find('\n', at) - at - line.size());
        EXPECT_FALSE(reason.empty());
        EXPECT_FALSE(HasAsciiLetters(reason)) << reason;
        EXPECT_EQ(m_host.warnings, 1);
        EXPECT_EQ(ReadFile(a), "a");
        EXPECT_EQ(ReadFile(b), "b");
    }
}

TEST_F(FailureReportTest, AReadOnlyOutputDirectorySaysSo) {
    MakeDir(m_dir / "out");
    BindMount readOnly(m_dir / "out", m_dir / "out");
    if (!readOnly.error().empty()) GTEST_SKIP() << readOnly.error();
    if (::mount(nullptr, (m_dir / "out").c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                nullptr) != 0)
        GTEST_SKIP() << "cannot make the bind mount read-only";
    const std::string a = m_dir / "src/a.txt";
    WriteFile(a, "a");
    const std::string text =
        Run(Options(SortPage::FileType, TransferMode::Move, m_dir / "out/"), {a});
    EXPECT_NE(text.find(a + "：无法建立目标文件夹“" + m_dir / "out/.txt" + "”：只读文件系统"),
              std::string::npos)
        << text;
    EXPECT_EQ(ReadFile(a), "a");
}

// The reasons users meet read in Chinese; anything else keeps the system's text.
TEST_F(FailureReportTest, ReasonsUsersMeetAreChinese) {
    for (const int error : {ENOENT, EACCES, EROFS, ENOSPC, EDQUOT, ENAMETOOLONG, ELOOP, EMLINK,
                            EISDIR, ENOTDIR, EIO, EXDEV, kSourceChanged, kNotRegularFile}) {
        const std::string reason = ReasonText(error);
        EXPECT_FALSE(reason.empty());
        EXPECT_FALSE(HasAsciiLetters(reason)) << error << ": " << reason;
    }
    EXPECT_EQ(ReasonText(ENOTEMPTY), ErrorText(ENOTEMPTY));
}

// On the keyword page a move that fails into one keyword's folder and then
// succeeds into a later one is still counted: the file is not where the
// first keyword wanted it.
TEST_F(FailureReportTest, AFailureBeforeAMoveOnTheKeywordPageIsCounted) {
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        const std::string out = m_dir / (mode == TransferMode::Copy ? "copy/" : "move/");
        // The first keyword's folder name is taken by a plain file.
        WriteFile(out + "alpha", "a file, not a folder");
        const std::string source = m_dir / "src/x_alpha_beta.txt";
        WriteFile(source, "data");
        SortOptions o = Options(SortPage::Keys, mode, out);
        o.keywordText = "alpha beta";
        const std::string text = Run(o, {source});
        EXPECT_EQ(FailedCount(text), 1u) << text;
        EXPECT_NE(text.find(source + "：无法建立目标文件夹“" + out + "alpha”："), std::string::npos)
            << text;
        EXPECT_EQ(ReadFile(out + "beta/x_alpha_beta.txt"), "data");
        EXPECT_EQ(ReadFile(out + "alpha"), "a file, not a folder");
        EXPECT_EQ(m_host.warnings, 1);
    }

    // A dangling link under the name in the first folder takes the name as a
    // file does: 编号 numbers past it, and nothing fails.
    const std::string out = m_dir / "links/";
    MakeDir(out + "alpha");
    ASSERT_EQ(::symlink("nowhere", (out + "alpha/y_alpha_beta.txt").c_str()), 0);
    const std::string source = m_dir / "src/y_alpha_beta.txt";
    WriteFile(source, "data");
    SortOptions o = Options(SortPage::Keys, TransferMode::Move, out);
    o.keywordText = "alpha beta";
    const std::string text = Run(o, {source});
    EXPECT_EQ(FailedCount(text), 0u) << text;
    EXPECT_EQ(ReadFile(out + "alpha/y_alpha_beta_1.txt"), "data");
    EXPECT_TRUE(S_ISLNK(LStat(out + "alpha/y_alpha_beta.txt").st_mode));
}

TEST_F(FailureReportTest, AFolderSortIntoAFolderThatCannotBeMadeSaysWhich) {
    WriteFile(m_dir / "src/proj/a.txt", "a");
    WriteFile(m_dir / "src/proj/sub/b.txt", "b");
    SortOptions o;
    o.page = SortPage::Keys;
    o.keywordText = "proj";
    o.outputDir = "/proc/zanfeld-nowhere/";
    o.sameFilePolicy = SameFilePolicy::Overwrite;
    m_host.calls.clear();
    RunFolderSort(o, {m_dir / "src/proj"}, m_host);
    const auto infos = m_host.of("info");
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_EQ(FailedCount(infos[0]), 2u) << infos[0];
    EXPECT_NE(infos[0].find("：无法建立目标文件夹“/proc/zanfeld-nowhere/proj/proj”："),
              std::string::npos)
        << infos[0];
    EXPECT_EQ(m_host.warnings, 1);
}

TEST_F(FailureReportTest, ACleanRunKeepsTheInformationIcon) {
    const std::string a = m_dir / "src/a.txt";
    WriteFile(a, "a");
    EXPECT_EQ(Run(Options(SortPage::FileType, TransferMode::Copy, m_dir / "out/"), {a}), kDone);
    EXPECT_EQ(m_host.warnings, 0);
}

}  // namespace

// The message names the first few; a host that keeps an account hears of
// every failure, with the same reason, in the order they happened, and a
// folder sort's files within the trees too.
TEST(FailureNotes, EveryFailureReachesTheHost) {
    struct Host : RecordingHost {
        std::vector<std::pair<std::string, std::string>> failures;
        void noteFailure(const std::string& path, const std::string& reason) override {
            failures.emplace_back(path, reason);
        }
    };
    TempDir dir;
    std::vector<std::string> sources;
    for (int i = 0; i < 14; ++i) {
        sources.push_back(dir / ("src/f" + std::to_string(i) + ".txt"));
        WriteFile(sources.back(), "x");
    }
    Host host;
    SortOptions o;
    o.page = SortPage::FileType;
    o.outputDir = "/proc/zanfeld-nowhere/";
    RunFileSort(o, sources, host);
    ASSERT_EQ(host.failures.size(), sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(host.failures[i].first, sources[i]);
        EXPECT_NE(host.failures[i].second.find("/proc/zanfeld-nowhere/.txt"), std::string::npos);
    }
    const std::string text = host.of("info").back();
    EXPECT_NE(text.find("有 14 个文件未能分拣"), std::string::npos) << text;
    EXPECT_EQ(text.find(sources[13]), std::string::npos) << "the message names only the first ten";

    Host folders;
    o.page = SortPage::Keys;
    o.keywordText = "src";
    RunFolderSort(o, {dir / "src"}, folders);
    EXPECT_FALSE(folders.failures.empty());
}
