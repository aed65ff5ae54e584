// A move across file systems copies, flushes and publishes before it removes
// the source. Another program that appends to the source meanwhile must not
// lose what it wrote: the source is looked at once more just before it goes,
// and a source that changed stays, with no copy of it left and an older
// target put back.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kDone[] = "分拣工作完成！";

// Another process appends to path and is waited for.
void AppendFromAnotherProcess(const std::string& path, const std::string& text) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", "printf '%s' \"$1\" >> \"$2\"", "sh", text.c_str(),
                path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

class LastLookTest : public ::testing::Test {
  protected:
    // Sources on /dev/shm and the output in /tmp: two file systems where the
    // machine has them, else every move of a source is told "cross-device".
    LastLookTest() : m_src("/dev/shm") {
        if (!OnDifferentDevices(m_src.path(), m_out.path())) m_sys.moveAcrossDevices();
        WriteFile(m_a, m_aData, 1'500'000'000);
        WriteFile(m_b, "b data", 1'500'000'000);
    }

    std::string Target(const std::string& name) const { return m_out / (".txt/" + name); }

    std::string Run(SameFilePolicy policy) {
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_out.path();
        o.transferMode = TransferMode::Move;
        o.sameFilePolicy = policy;
        {
            ScopedSys scoped(m_sys);
            RunFileSort(o, {m_a, m_b}, m_host);
        }
        const auto infos = m_host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    std::vector<std::string> Leftovers(const std::string& folder) {
        std::vector<std::string> found;
        for (const std::string& name : Names(folder))
            if (name.rfind(".zanfeld-", 0) == 0) found.push_back(name);
        return found;
    }

    TempDir m_src;
    TempDir m_out;
    const std::string m_a = m_src / "a.txt";
    const std::string m_b = m_src / "b.txt";
    const std::string m_aData = Pattern(3 * 1024 * 1024, 7);
    FaultySys m_sys;
    RecordingHost m_host;
};

// Flush 1 is the copy's own, after which the copy is published; flush 2 makes
// its new name durable, after which only the last look stands before the
// source goes. Bytes appended at either moment are kept.
TEST_F(LastLookTest, BytesAppendedDuringTheMoveAreNeverLost) {
    for (const SameFilePolicy policy : {SameFilePolicy::Rename, SameFilePolicy::Overwrite}) {
        for (const int flush : {1, 2}) {
            const bool older = policy == SameFilePolicy::Overwrite;
            SCOPED_TRACE((older ? "over an older target, flush " : "to a free name, flush ") +
                         std::to_string(flush));
            WriteFile(m_a, m_aData, 1'500'000'000);
            WriteFile(m_b, "b data", 1'500'000'000);
            ::unlink(Target("a.txt").c_str());
            if (older) WriteFile(Target("a.txt"), "old a", 1'000'000'000);
            m_sys.reset();
            if (!OnDifferentDevices(m_src.path(), m_out.path())) m_sys.moveAcrossDevices();
            m_sys.beforeCall(
                SysOp::Fdatasync, [&] { AppendFromAnotherProcess(m_a, "+late"); }, flush);
            m_host.calls.clear();
            const std::string text = Run(policy);

            // The source keeps every byte, its own and the late ones.
            EXPECT_EQ(ReadFile(m_a), m_aData + "+late");
            // No copy of it stays; an older target is as it was.
            if (older) {
                EXPECT_EQ(ReadFile(Target("a.txt")), "old a");
            } else {
                EXPECT_FALSE(Exists(Target("a.txt")));
            }
            EXPECT_FALSE(Exists(Target("a_1.txt")));
            EXPECT_EQ(Leftovers(m_out / ".txt"), std::vector<std::string>{});
            // Counted, with the reason; the next file went on as usual.
            EXPECT_EQ(FailedCount(text), 1u) << text;
            EXPECT_NE(text.find(m_a + "：" + ErrorText(kSourceChanged)), std::string::npos) << text;
            EXPECT_EQ(ReadFile(Target("b.txt")), "b data");
            EXPECT_FALSE(Exists(m_b));
        }
    }
}

TEST_F(LastLookTest, AnUnchangedSourceIsMovedAndAnOlderTargetReplaced) {
    WriteFile(Target("a.txt"), "old a", 1'000'000'000);
    EXPECT_EQ(Run(SameFilePolicy::Overwrite), kDone);
    EXPECT_EQ(ReadFile(Target("a.txt")), m_aData);
    EXPECT_EQ(LStat(Target("a.txt")).st_mtim.tv_sec, 1'500'000'000);
    EXPECT_FALSE(Exists(m_a));
    EXPECT_EQ(Leftovers(m_out / ".txt"), std::vector<std::string>{});
    // A folder under the name is never replaced by the file.
    WriteFile(m_a, m_aData);
    WriteFile(m_b, "b data");
    ::unlink(Target("a.txt").c_str());
    MakeDir(Target("a.txt"));
    m_host.calls.clear();
    const std::string text = Run(SameFilePolicy::Overwrite);
    EXPECT_EQ(FailedCount(text), 1u) << text;
    EXPECT_EQ(ReadFile(m_a), m_aData);
    EXPECT_TRUE(IsDir(Target("a.txt")));
    EXPECT_EQ(Leftovers(m_out / ".txt"), std::vector<std::string>{});
}

}  // namespace
