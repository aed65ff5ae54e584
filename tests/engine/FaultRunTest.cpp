// Sort runs with a file system call failing on purpose. Whatever fails, the
// source stays whole, no target name holds a half-written file, the failure is
// counted in the completion message and the run goes on with the next file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>

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

// The files the completion text counts as not placed; the text always opens
// with the completion line.
size_t Failures(const std::string& text) {
    EXPECT_EQ(text.rfind(kDone, 0), 0u) << text;
    return FailedCount(text);
}

// Whether the file at path holds exactly expected; says briefly how it differs.
::testing::AssertionResult HasContent(const std::string& path, const std::string& expected) {
    if (!Exists(path)) return ::testing::AssertionFailure() << path << " is missing";
    const std::string actual = ReadFile(path);
    if (actual == expected) return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure()
           << path << " holds " << actual.size() << " bytes, expected " << expected.size()
           << ", first difference at " << at;
}

// Temporary files of ours anywhere below root.
std::vector<std::string> Leftovers(const std::string& root) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(".zanfeld-", 0) == 0) found.push_back(e.path().string());
    }
    return found;
}

const char* OpName(SysOp op) {
    static const char* const names[] = {
        "open",   "close", "read",   "write",    "copy_file_range", "sendfile",
        "fstat",  "stat",  "lstat",  "readlink", "fdatasync",       "futimens",
        "fchmod", "mkdir", "rename", "link",     "unlink",          "symlink"};
    static_assert(std::size(names) == static_cast<size_t>(SysOp::Count));
    return names[static_cast<int>(op)];
}

// Two sources, a.txt and b.txt, sorted by type into out/.txt.
class FaultRunTest : public ::testing::Test {
  protected:
    FaultRunTest() { Reset(); }

    void Reset(const std::string& sourceBase = "/tmp") {
        m_srcDir = std::make_unique<TempDir>(sourceBase);
        m_a = *m_srcDir / "a.txt";
        m_b = *m_srcDir / "b.txt";
        WriteFile(m_a, m_aData, 1'500'000'000);
        WriteFile(m_b, m_bData, 1'500'000'100);
        std::filesystem::remove_all(m_dir / "out");
        MakeDir(m_dir / "out");
        m_host.calls.clear();
        m_sys.reset();
    }

    std::string Target(const std::string& name) const { return m_dir / ("out/.txt/" + name); }

    // Runs with m_sys in force and returns the completion text.
    std::string Run(TransferMode mode, SameFilePolicy policy) {
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_dir / "out";
        o.transferMode = mode;
        o.sameFilePolicy = policy;
        // The faults go by the order of one thread's calls: copies in turn.
        o.copyJobs = 1;
        {
            ScopedSys scoped(m_sys);
            RunFileSort(o, {m_a, m_b}, m_host);
        }
        const auto infos = m_host.of("info");
        EXPECT_EQ(infos.size(), 1u);
        return infos.empty() ? std::string() : infos.back();
    }

    void ExpectNoLeftovers() {
        EXPECT_EQ(Leftovers(m_dir.path()), std::vector<std::string>{});
        EXPECT_EQ(Leftovers(m_srcDir->path()), std::vector<std::string>{});
    }

    // a failed with error (0: any), was counted, and stayed whole where it
    // was; nothing of it reached its target name (oldTarget: what was there
    // before); b, the next file, was placed.
    void ExpectAFailedBPlaced(const std::string& text, TransferMode mode, int error,
                              const std::optional<std::string>& oldTarget = std::nullopt) {
        EXPECT_EQ(Failures(text), 1u) << text;
        EXPECT_NE(text.find(m_a + "："), std::string::npos) << text;
        if (error != 0) {
            EXPECT_NE(text.find(ReasonText(error)), std::string::npos) << text;
        }
        // A full disk or a quota is the target folder's, and its line names it.
        if (error == ENOSPC || error == EDQUOT) {
            EXPECT_NE(text.find(m_a + "：目标文件夹“" + m_dir / "out/.txt" + "”" +
                                (error == ENOSPC ? "所在的磁盘空间不足" : "超出磁盘配额")),
                      std::string::npos)
                << text;
        }
        ASSERT_TRUE(IsFile(m_a));
        EXPECT_TRUE(HasContent(m_a, m_aData));
        if (oldTarget) {
            EXPECT_TRUE(HasContent(Target("a.txt"), *oldTarget));
        } else {
            EXPECT_FALSE(Exists(Target("a.txt")));
        }
        ExpectPlaced(m_b, m_bData, "b.txt", mode);
        ExpectNoLeftovers();
    }

    void ExpectPlaced(const std::string& source, const std::string& data, const std::string& name,
                      TransferMode mode) {
        ASSERT_TRUE(IsFile(Target(name))) << name;
        EXPECT_TRUE(HasContent(Target(name), data)) << name;
        EXPECT_EQ(IsFile(source), mode == TransferMode::Copy) << source;
        if (mode == TransferMode::Copy) {
            EXPECT_TRUE(HasContent(source, data));
        }
    }

    const std::string m_aData = Pattern(300 * 1024 + 7, 1);
    const std::string m_bData = Pattern(200 * 1024 + 3, 2);
    TempDir m_dir;
    std::unique_ptr<TempDir> m_srcDir;
    std::string m_a, m_b;
    RecordingHost m_host;
    FaultySys m_sys;
};

TEST_F(FaultRunTest, DiskFullInTheMiddleOfACopy) {
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Rename), TransferMode::Copy,
                         ENOSPC);
}

TEST_F(FaultRunTest, QuotaInTheMiddleOfACopy) {
    m_sys.failAfterPartial(SysOp::CopyFileRange, EDQUOT);
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Rename), TransferMode::Copy,
                         EDQUOT);
}

TEST_F(FaultRunTest, DiskFullWhileOverwritingKeepsTheOldTarget) {
    WriteFile(Target("a.txt"), "old a");
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Overwrite), TransferMode::Copy,
                         ENOSPC, "old a");
}

TEST_F(FaultRunTest, DiskFullThroughSendfile) {
    m_sys.failOn(SysOp::CopyFileRange, EOPNOTSUPP, 0);
    m_sys.failAfterPartial(SysOp::Sendfile, ENOSPC);
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Skip), TransferMode::Copy, ENOSPC);
}

TEST_F(FaultRunTest, IoErrorInTheMiddleOfAWrite) {
    // Neither copy_file_range nor sendfile: plain reads and writes.
    m_sys.failOn(SysOp::CopyFileRange, EXDEV, 0);
    m_sys.failOn(SysOp::Sendfile, EINVAL, 0);
    m_sys.failAfterPartial(SysOp::Write, EIO);
    WriteFile(Target("a.txt"), "old a");
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Overwrite), TransferMode::Copy,
                         EIO, "old a");
}

TEST_F(FaultRunTest, IoErrorReadingTheSource) {
    m_sys.failOn(SysOp::CopyFileRange, EXDEV, 0);
    m_sys.failOn(SysOp::Sendfile, EINVAL, 0);
    m_sys.failAfterPartial(SysOp::Read, EIO);
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Ask), TransferMode::Copy, EIO);
}

TEST_F(FaultRunTest, FolderThatCannotBeCreated) {
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        Reset();
        m_sys.failOn(SysOp::Mkdir, EACCES);
        ExpectAFailedBPlaced(Run(mode, SameFilePolicy::Rename), mode, 0);
    }
}

TEST_F(FaultRunTest, MoveFallsBackToTheSafeCopyWhenRenameSaysCrossDevice) {
    m_sys.failOn(SysOp::Rename, EXDEV, 1);
    const std::string text = Run(TransferMode::Move, SameFilePolicy::Rename);
    EXPECT_EQ(text, kDone);
    ExpectPlaced(m_a, m_aData, "a.txt", TransferMode::Move);
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Move);
    EXPECT_EQ(LStat(Target("a.txt")).st_mtim.tv_sec, 1'500'000'000);
    EXPECT_GE(m_sys.calls(SysOp::Fdatasync), 1);  // flushed before the source went
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, CrossDeviceMoveOverAnExistingTarget) {
    WriteFile(Target("a.txt"), "old a");
    m_sys.failOn(SysOp::Rename, EXDEV, 1);
    EXPECT_EQ(Run(TransferMode::Move, SameFilePolicy::Overwrite), kDone);
    ExpectPlaced(m_a, m_aData, "a.txt", TransferMode::Move);
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Move);
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, CrossDeviceMoveThatRunsOutOfSpaceKeepsTheSource) {
    m_sys.moveAcrossDevices();
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    ExpectAFailedBPlaced(Run(TransferMode::Move, SameFilePolicy::Overwrite), TransferMode::Move,
                         ENOSPC);
}

TEST_F(FaultRunTest, CrossDeviceMoveWhoseFlushFailsKeepsTheSource) {
    m_sys.moveAcrossDevices();
    m_sys.failOn(SysOp::Fdatasync, EIO, 1);
    ExpectAFailedBPlaced(Run(TransferMode::Move, SameFilePolicy::Rename), TransferMode::Move, EIO);
}

TEST_F(FaultRunTest, SourceThatCannotBeRemovedAfterACrossDeviceCopyIsCounted) {
    m_sys.moveAcrossDevices();
    m_sys.failOn(SysOp::Unlink, EACCES, 1);
    const std::string text = Run(TransferMode::Move, SameFilePolicy::Rename);
    EXPECT_EQ(Failures(text), 1u) << text;
    EXPECT_NE(text.find(m_a + "："), std::string::npos) << text;
    // In both places, whole, never in neither.
    EXPECT_TRUE(HasContent(m_a, m_aData));
    EXPECT_TRUE(HasContent(Target("a.txt"), m_aData));
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Move);
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, RealCrossDeviceMoveWhoseFlushFails) {
    Reset("/dev/shm");
    if (!OnDifferentDevices(m_srcDir->path(), m_dir.path()))
        GTEST_SKIP() << "/dev/shm and /tmp are one file system here";
    m_sys.failOn(SysOp::Fdatasync, EIO, 1);
    ExpectAFailedBPlaced(Run(TransferMode::Move, SameFilePolicy::Overwrite), TransferMode::Move,
                         EIO);
}

TEST_F(FaultRunTest, NameTakenJustBeforeTheCopyIsPublishedIsNumberedAgain) {
    m_sys.beforeCall(SysOp::Link, [&] { WriteFile(Target("a.txt"), "racer"); });
    EXPECT_EQ(Run(TransferMode::Copy, SameFilePolicy::Rename), kDone);
    EXPECT_TRUE(HasContent(Target("a.txt"), "racer"));
    ExpectPlaced(m_a, m_aData, "a_1.txt", TransferMode::Copy);
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Copy);
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, NameTakenJustBeforeTheMoveIsNumberedAgain) {
    m_sys.beforeCall(SysOp::Rename, [&] { WriteFile(Target("a.txt"), "racer"); });
    EXPECT_EQ(Run(TransferMode::Move, SameFilePolicy::Rename), kDone);
    EXPECT_TRUE(HasContent(Target("a.txt"), "racer"));
    ExpectPlaced(m_a, m_aData, "a_1.txt", TransferMode::Move);
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Move);
}

TEST_F(FaultRunTest, NameTakenJustBeforePublishUnderSkipKeepsBoth) {
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        Reset();
        const SysOp publish = mode == TransferMode::Copy ? SysOp::Link : SysOp::Rename;
        m_sys.beforeCall(publish, [&] { WriteFile(Target("a.txt"), "racer"); });
        // Skipping a taken name is the user's choice, not a failure.
        EXPECT_EQ(Run(mode, SameFilePolicy::Skip), kDone);
        EXPECT_TRUE(HasContent(Target("a.txt"), "racer"));
        EXPECT_TRUE(HasContent(m_a, m_aData));
        ExpectPlaced(m_b, m_bData, "b.txt", mode);
        ExpectNoLeftovers();
    }
}

TEST_F(FaultRunTest, FolderTakingTheNameJustBeforePublishIsAFailure) {
    m_sys.beforeCall(SysOp::Link, [&] { MakeDir(Target("a.txt")); });
    const std::string text = Run(TransferMode::Copy, SameFilePolicy::Rename);
    EXPECT_TRUE(IsDir(Target("a.txt")));
    EXPECT_EQ(Failures(text), 1u) << text;
    EXPECT_TRUE(HasContent(m_a, m_aData));
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Copy);
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, HiddenNameCollisionWhileReplacingIsRetried) {
    WriteFile(Target("a.txt"), "old a");
    // The first link meets the old file; the second, to a hidden name, is
    // told that name is taken too.
    m_sys.failOn(SysOp::Link, EEXIST, 2);
    EXPECT_EQ(Run(TransferMode::Copy, SameFilePolicy::Overwrite), kDone);
    ExpectPlaced(m_a, m_aData, "a.txt", TransferMode::Copy);
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Copy);
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, WithoutUnnamedFilesTheHiddenFileGoesWhenTheCopyFails) {
    // As on a file system without unnamed files: a hidden name is used.
    m_sys.refuseUnnamedFiles();
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    ExpectAFailedBPlaced(Run(TransferMode::Copy, SameFilePolicy::Rename), TransferMode::Copy,
                         ENOSPC);
}

TEST_F(FaultRunTest, WithoutUnnamedFilesARaceOnPublishIsNumberedAgain) {
    m_sys.refuseUnnamedFiles();
    m_sys.beforeCall(SysOp::Rename, [&] { WriteFile(Target("a.txt"), "racer"); });
    EXPECT_EQ(Run(TransferMode::Copy, SameFilePolicy::Rename), kDone);
    EXPECT_TRUE(HasContent(Target("a.txt"), "racer"));
    ExpectPlaced(m_a, m_aData, "a_1.txt", TransferMode::Copy);
    ExpectPlaced(m_b, m_bData, "b.txt", TransferMode::Copy);
    ExpectNoLeftovers();
}

TEST_F(FaultRunTest, ReplacingOnlyOlderFilesWhenATimeCannotBeRead) {
    // Look 1 reads the source's time, look 2 the target's. A time that cannot
    // be read decides nothing: the file is counted, the old target stays.
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        for (const int nth : {1, 2}) {
            SCOPED_TRACE(std::to_string(nth) + (mode == TransferMode::Copy ? " copy" : " move"));
            Reset();
            WriteFile(Target("a.txt"), "old a", 1'000'000'000);
            WriteFile(Target("b.txt"), "old b", 1'000'000'000);
            m_sys.failOn(SysOp::Stat, EIO, nth);
            ExpectAFailedBPlaced(Run(mode, SameFilePolicy::EditFileTime), mode, EIO, "old a");
        }
    }
}

// Every call of a clean run failed in turn, once each, with EIO (and the data
// calls also with a partial transfer followed by ENOSPC). Whatever the call,
// each file ends up placed whole or counted, never half-written, never lost.
struct SweepCase {
    const char* name;
    TransferMode mode;
    SameFilePolicy policy;
    bool oldTargets;   // a.txt and b.txt already in the target folder
    int copyMethod;    // 0 copy_file_range, 1 sendfile, 2 read/write
    bool crossDevice;  // sources on /dev/shm
};

class FaultSweep : public FaultRunTest, public ::testing::WithParamInterface<SweepCase> {
  protected:
    void Prepare(const SweepCase& c) {
        Reset(c.crossDevice ? "/dev/shm" : "/tmp");
        if (c.oldTargets) {
            // Older than the sources, so that replacing only older files replaces them.
            WriteFile(Target("a.txt"), "old a", 1'000'000'000);
            WriteFile(Target("b.txt"), "old b", 1'000'000'000);
        }
        if (c.copyMethod >= 1) m_sys.failOn(SysOp::CopyFileRange, EXDEV, 0);
        if (c.copyMethod >= 2) m_sys.failOn(SysOp::Sendfile, EINVAL, 0);
    }

    bool EnvironmentFails(const SweepCase& c, SysOp op) const {
        return (c.copyMethod >= 1 && op == SysOp::CopyFileRange) ||
               (c.copyMethod >= 2 && op == SysOp::Sendfile);
    }

    // Checks one file after a faulted run; returns whether it counts as failed.
    bool CheckFile(const SweepCase& c, const std::string& source, const std::string& data,
                   const std::string& name, const std::string& old) {
        const bool inSource = IsFile(source);
        if (inSource) {
            EXPECT_TRUE(HasContent(source, data)) << source << " changed";
        }
        std::optional<std::string> target;
        if (Exists(Target(name))) target = ReadFile(Target(name));
        const bool placed = target && *target == data;
        if (target && !placed) {
            EXPECT_TRUE(c.oldTargets && *target == old)
                << name << " holds a partial or foreign file";
        }
        if (!c.oldTargets && !placed) {
            EXPECT_FALSE(target.has_value());
        }
        if (c.mode == TransferMode::Copy) {
            EXPECT_TRUE(inSource) << source << " lost in a copy";
            return !placed;
        }
        EXPECT_TRUE(inSource || placed) << source << " is in neither place";
        return !placed || inSource;
    }
};

TEST_P(FaultSweep, EveryCallFailedOnce) {
    const SweepCase c = GetParam();
    Prepare(c);
    if (c.crossDevice && !OnDifferentDevices(m_srcDir->path(), m_dir.path()))
        GTEST_SKIP() << "/dev/shm and /tmp are one file system here";

    // A clean run tells how often each call is made.
    ASSERT_EQ(Run(c.mode, c.policy), kDone);
    std::array<int, static_cast<size_t>(SysOp::Count)> clean{};
    for (size_t i = 0; i < clean.size(); ++i) clean[i] = m_sys.calls(static_cast<SysOp>(i));

    int injected = 0;
    for (size_t i = 0; i < clean.size(); ++i) {
        const SysOp op = static_cast<SysOp>(i);
        if (EnvironmentFails(c, op)) continue;
        const bool dataOp = op == SysOp::Read || op == SysOp::Write || op == SysOp::CopyFileRange ||
                            op == SysOp::Sendfile;
        for (int nth = 1; nth <= clean[i]; ++nth) {
            for (int partial = 0; partial <= (dataOp ? 1 : 0); ++partial) {
                SCOPED_TRACE(std::string(OpName(op)) + " call " + std::to_string(nth) +
                             (partial ? " partial+ENOSPC" : " EIO"));
                Prepare(c);
                if (partial) {
                    m_sys.failAfterPartial(op, ENOSPC, nth);
                } else {
                    m_sys.failOn(op, EIO, nth);
                }
                const std::string text = Run(c.mode, c.policy);
                const bool aFailed = CheckFile(c, m_a, m_aData, "a.txt", "old a");
                const bool bFailed = CheckFile(c, m_b, m_bData, "b.txt", "old b");
                EXPECT_EQ(Failures(text), size_t{aFailed} + size_t{bFailed}) << text;
                // One fault costs one file at most; the run went on.
                EXPECT_FALSE(aFailed && bFailed) << text;
                if (op == SysOp::Unlink) {
                    // A move across file systems puts an older target aside
                    // under a hidden name until its source has gone; should
                    // removing it then fail, it stays there for a later run's
                    // sweep. Nothing else may stay.
                    for (const std::string& left : Leftovers(m_dir.path()))
                        EXPECT_TRUE(c.oldTargets && c.crossDevice &&
                                    (HasContent(left, "old a") || HasContent(left, "old b")))
                            << left;
                    EXPECT_EQ(Leftovers(m_srcDir->path()), std::vector<std::string>{});
                } else {
                    ExpectNoLeftovers();
                }
                ++injected;
                if (HasFailure()) return;
            }
        }
    }
    EXPECT_GE(injected, 5);
    std::printf("[ sweep    ] %s: %d faults injected\n", c.name, injected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, FaultSweep,
    ::testing::Values(
        SweepCase{"CopyNew", TransferMode::Copy, SameFilePolicy::Rename, false, 0, false},
        SweepCase{"CopyOverwrite", TransferMode::Copy, SameFilePolicy::Overwrite, true, 0, false},
        SweepCase{"CopyOverwriteSendfile", TransferMode::Copy, SameFilePolicy::Overwrite, true, 1,
                  false},
        SweepCase{"CopyOverwriteReadWrite", TransferMode::Copy, SameFilePolicy::Overwrite, true, 2,
                  false},
        SweepCase{"CopyNewerOnly", TransferMode::Copy, SameFilePolicy::EditFileTime, true, 0,
                  false},
        SweepCase{"MoveRename", TransferMode::Move, SameFilePolicy::Rename, false, 0, false},
        SweepCase{"MoveOverwrite", TransferMode::Move, SameFilePolicy::Overwrite, true, 0, false},
        SweepCase{"MoveCrossDevice", TransferMode::Move, SameFilePolicy::Rename, false, 0, true},
        SweepCase{"MoveCrossDeviceOverwrite", TransferMode::Move, SameFilePolicy::Overwrite, true,
                  2, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
