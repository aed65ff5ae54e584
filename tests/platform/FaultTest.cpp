#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "Sys.h"
#include "TargetFolder.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::Exists;
using test::FaultySys;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::Pattern;
using test::ReadFile;
using test::SetTimes;
using test::SysOp;
using test::TempDir;
using test::WriteFile;

// A source of a few megabytes in src/, an empty out/ and the fault injector installed.
class FaultTest : public ::testing::Test {
  protected:
    FaultTest() : m_content(Pattern(3 * 1024 * 1024 + 5, 7)) {
        WriteFile(source(), m_content);
        SetTimes(source(), 1300000000, 0, 1368000000, 5);
        MakeDir(out());
    }
    std::string source() const { return m_tmp / "src/a.bin"; }
    std::string target() const { return m_tmp / "out/a.bin"; }
    std::string out() const { return m_tmp / "out"; }

    // After a failed copy: the source as it was, and out/ holding exactly names.
    void expectUntouched(const std::vector<std::string>& names) {
        EXPECT_EQ(ReadFile(source()), m_content);
        EXPECT_EQ(Names(out()), names);
    }

    // Drives the copy through sendfile by refusing copy_file_range.
    void refuseCopyRange() { m_sys.failOn(SysOp::CopyFileRange, EXDEV, 0); }
    // Drives the copy through read and write.
    void refuseKernelCopies() {
        refuseCopyRange();
        m_sys.failOn(SysOp::Sendfile, EINVAL, 0);
    }
    // The unnamed temporary file is not available, as on FAT or older kernels.
    void refuseUnnamedTemp() { m_sys.refuseUnnamedFiles(); }

    TempDir m_tmp;
    std::string m_content;
    FaultySys m_sys;
    ScopedSys m_scope{m_sys};
};

TEST_F(FaultTest, DiskFullDuringCopyRangeLeavesNothing) {
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), ENOSPC);
    EXPECT_EQ(m_sys.calls(SysOp::CopyFileRange), 2);
    expectUntouched({});
}

TEST_F(FaultTest, IoErrorDuringCopyRangeKeepsTheExistingTarget) {
    WriteFile(target(), "old target");
    m_sys.failAfterPartial(SysOp::CopyFileRange, EIO);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), EIO);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, DiskFullDuringWriteLeavesNothing) {
    refuseKernelCopies();
    WriteFile(target(), "old target");
    m_sys.failAfterPartial(SysOp::Write, ENOSPC, 3);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), ENOSPC);
    EXPECT_EQ(m_sys.calls(SysOp::Write), 4);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, IoErrorDuringWriteLeavesNothing) {
    refuseKernelCopies();
    m_sys.failOn(SysOp::Write, EIO, 2);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EIO);
    expectUntouched({});
}

TEST_F(FaultTest, DiskFullDuringSendfileLeavesNothing) {
    refuseCopyRange();
    WriteFile(target(), "old target");
    m_sys.failAfterPartial(SysOp::Sendfile, ENOSPC);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), ENOSPC);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, ReadErrorOnTheSourceLeavesNothing) {
    refuseKernelCopies();
    m_sys.failOn(SysOp::Read, EIO, 2);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EIO);
    expectUntouched({});
}

TEST_F(FaultTest, FallbackCopiesAreExact) {
    // Short transfers must be continued where they stopped.
    refuseCopyRange();
    ASSERT_EQ(CopyFileSafe(source(), m_tmp / "out/by-sendfile", Publish::Keep), 0);
    EXPECT_EQ(ReadFile(m_tmp / "out/by-sendfile"), m_content);
    EXPECT_GE(m_sys.calls(SysOp::Sendfile), 1);

    m_sys.reset();
    refuseKernelCopies();
    m_sys.failAfterPartial(SysOp::Write, 0, 2);  // a short write that is no failure
    ASSERT_EQ(CopyFileSafe(source(), m_tmp / "out/by-write", Publish::Keep), 0);
    EXPECT_EQ(ReadFile(m_tmp / "out/by-write"), m_content);
    EXPECT_GE(m_sys.calls(SysOp::Write), 12);
    EXPECT_EQ(LStat(m_tmp / "out/by-write").st_mtim.tv_nsec, 5);
}

TEST_F(FaultTest, HiddenTemporaryWhenUnnamedFilesAreUnavailable) {
    refuseUnnamedTemp();
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Keep), 0);
    EXPECT_EQ(ReadFile(target()), m_content);
    EXPECT_EQ(LStat(target()).st_mtim.tv_nsec, 5);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.bin"});

    m_sys.reset();
    refuseUnnamedTemp();
    WriteFile(target(), "old target");
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(target()), "old target");
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.bin"});

    m_sys.reset();
    refuseUnnamedTemp();
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_EQ(ReadFile(target()), m_content);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.bin"});
}

TEST_F(FaultTest, HiddenTemporaryIsRemovedAfterAFailure) {
    refuseUnnamedTemp();
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), ENOSPC);
    expectUntouched({});

    m_sys.reset();
    refuseUnnamedTemp();
    WriteFile(target(), "old target");
    m_sys.failOn(SysOp::Rename, EIO);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), EIO);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, AWriteErrorReportedOnlyAtCloseIsNotPublished) {
    // Close 1 is the source, close 2 the hidden temporary, as on a network
    // file system that learns of a failed write (a full quota) only then.
    for (Publish publish : {Publish::Keep, Publish::Replace}) {
        m_sys.reset();
        refuseUnnamedTemp();
        m_sys.failOn(SysOp::Close, EDQUOT, 2);
        EXPECT_EQ(CopyFileSafe(source(), target(), publish), EDQUOT);
        EXPECT_EQ(m_sys.calls(SysOp::Rename) + m_sys.calls(SysOp::Link), 0);
        expectUntouched({});
    }
    m_sys.reset();
    refuseUnnamedTemp();
    WriteFile(target(), "old target");
    m_sys.failOn(SysOp::Close, EIO, 2);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), EIO);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, KeepWithoutNoReplaceRenameUsesALink) {
    refuseUnnamedTemp();
    m_sys.failOn(SysOp::Rename, EINVAL);
    WriteFile(target(), "old target");
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(target()), "old target");
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.bin"});
}

TEST_F(FaultTest, FailuresAfterTheDataLeaveNothing) {
    // No file is made with the sticky bit, so the copy has to set the mode.
    ASSERT_EQ(::chmod(source().c_str(), 01644), 0);
    for (SysOp op : {SysOp::Fchmod, SysOp::Futimens, SysOp::Fstat}) {
        m_sys.reset();
        m_sys.failOn(op, EIO);
        EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), EIO);
        expectUntouched({});
    }
    // Replacing: linking to the hidden name works, the rename over the target does not.
    WriteFile(target(), "old target");
    m_sys.reset();
    m_sys.failOn(SysOp::Rename, EIO);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Replace), EIO);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, FileSystemsThatRefuseModesStillGetTheCopy) {
    ASSERT_EQ(::chmod(source().c_str(), 01644), 0);  // a mode the copy has to set
    m_sys.failOn(SysOp::Fchmod, EPERM);
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Keep), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Fchmod), 1);
    EXPECT_EQ(ReadFile(target()), m_content);
}

TEST_F(FaultTest, KeepLosesARaceWithoutTouchingTheOtherFile) {
    // Another program creates the name while the copy is being written.
    m_sys.beforeCall(SysOp::Link, [&] { WriteFile(target(), "theirs"); });
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(target()), "theirs");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, CrossDeviceMoveRemovesTheSourceOnlyAfterPublishing) {
    m_sys.failOn(SysOp::Rename, EXDEV);
    bool checked = false;
    m_sys.beforeCall(SysOp::Unlink, [&] {
        checked = true;
        EXPECT_EQ(ReadFile(target()), m_content);
        EXPECT_GE(m_sys.calls(SysOp::Fdatasync), 1);
    });
    ASSERT_EQ(MoveFileSafe(source(), target(), Publish::Keep), 0);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(Exists(source()));
    EXPECT_EQ(ReadFile(target()), m_content);
    EXPECT_EQ(LStat(target()).st_mtim.tv_nsec, 5);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.bin"});
}

TEST_F(FaultTest, CrossDeviceMoveReplaces) {
    WriteFile(target(), "old target");
    m_sys.failOn(SysOp::Rename, EXDEV);
    ASSERT_EQ(MoveFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_FALSE(Exists(source()));
    EXPECT_EQ(ReadFile(target()), m_content);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.bin"});
}

TEST_F(FaultTest, CrossDeviceMoveKeepsTheSourceWhenPublishingFails) {
    m_sys.failOn(SysOp::Rename, EXDEV);
    m_sys.failOn(SysOp::Link, EIO);
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Keep), EIO);
    EXPECT_EQ(m_sys.calls(SysOp::Unlink), 0);
    expectUntouched({});

    // The name taken in a race after the early check.
    m_sys.reset();
    m_sys.failOn(SysOp::Rename, EXDEV);
    m_sys.beforeCall(SysOp::Link, [&] { WriteFile(target(), "theirs"); });
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(target()), "theirs");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, CrossDeviceMoveKeepsTheSourceWhenFlushingFails) {
    m_sys.failOn(SysOp::Rename, EXDEV);
    m_sys.failOn(SysOp::Fdatasync, EIO, 0);
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Keep), EIO);
    EXPECT_EQ(m_sys.calls(SysOp::Unlink), 0);
    expectUntouched({});

    WriteFile(target(), "old target");
    m_sys.reset();
    m_sys.failOn(SysOp::Rename, EXDEV);
    m_sys.failOn(SysOp::Fdatasync, EIO, 0);
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Replace), EIO);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});
}

TEST_F(FaultTest, CrossDeviceMoveWithFailingCopyKeepsTheSource) {
    m_sys.failOn(SysOp::Rename, EXDEV);
    m_sys.failAfterPartial(SysOp::CopyFileRange, ENOSPC);
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Replace), ENOSPC);
    expectUntouched({});
}

TEST_F(FaultTest, RealCrossDeviceMoveKeepsTheSourceWhenFlushingFails) {
    TempDir shm("/dev/shm");
    if (!test::OnDifferentDevices(m_tmp.path(), shm.path()))
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    m_sys.failOn(SysOp::Fdatasync, EIO);
    EXPECT_EQ(MoveFileSafe(source(), shm / "a.bin", Publish::Replace), EIO);
    EXPECT_EQ(ReadFile(source()), m_content);
    EXPECT_TRUE(Names(shm.path()).empty());
}

TEST_F(FaultTest, MoveWithoutNoReplaceRenameStillKeeps) {
    WriteFile(target(), "old target");
    m_sys.failOn(SysOp::Rename, EINVAL);
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(target()), "old target");
    expectUntouched({"a.bin"});

    m_sys.reset();
    m_sys.failOn(SysOp::Rename, EINVAL);
    ASSERT_EQ(MoveFileSafe(source(), m_tmp / "out/b.bin", Publish::Keep), 0);
    EXPECT_FALSE(Exists(source()));
    EXPECT_EQ(ReadFile(m_tmp / "out/b.bin"), m_content);
}

TEST_F(FaultTest, MakeDirsReturnsTheFailure) {
    m_sys.failOn(SysOp::Mkdir, EACCES, 0);
    EXPECT_EQ(MakeDirs(m_tmp / "new"), EACCES);
    EXPECT_FALSE(Exists(m_tmp / "new"));

    // Failing the inner folder after its parents were made.
    m_sys.reset();
    m_sys.failOn(SysOp::Mkdir, EACCES, 5);  // z, y, x, then y and z again
    EXPECT_EQ(MakeDirs(m_tmp / "x/y/z"), EACCES);
    EXPECT_TRUE(test::IsDir(m_tmp / "x/y"));
    EXPECT_FALSE(Exists(m_tmp / "x/y/z"));
}

// The common paths make no system calls beyond the ones they need, once the
// target folder is held open (as a sort run holds its folders).
TEST_F(FaultTest, CallBudget) {
    TargetFolder out;
    ASSERT_EQ(out.open(m_tmp / "out"), 0);
    // The first copy into a folder reads it once for what killed runs left,
    // and looks at the bits its copy was made with.
    std::string name = "first.bin";
    ASSERT_EQ(CopyFileInto(source(), out, name, Publish::Keep), 0);
    m_sys.reset();
    name = "a.bin";
    ASSERT_EQ(CopyFileInto(source(), out, name, Publish::Keep), 0);
    // The source is looked at before it is opened (a device is never
    // opened), then the source and the unnamed copy are opened.
    EXPECT_EQ(m_sys.calls(SysOp::Stat), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Open), 2);
    // The source after reading (it must not have changed); the bits the copy
    // was made with are known from the first, so no look and no fchmod.
    EXPECT_EQ(m_sys.calls(SysOp::Fstat), 1);
    EXPECT_EQ(m_sys.calls(SysOp::CopyFileRange), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Fchmod), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Futimens), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Link), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Close), 2);
    for (SysOp op : {SysOp::Lstat, SysOp::Rename, SysOp::Unlink, SysOp::Fdatasync, SysOp::Read,
                     SysOp::Write, SysOp::Sendfile})
        EXPECT_EQ(m_sys.calls(op), 0) << static_cast<int>(op);

    m_sys.reset();
    name = "b.bin";
    ASSERT_EQ(CopyFileInto(source(), out, name, Publish::Replace), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Link), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Rename), 0);

    m_sys.reset();
    ASSERT_EQ(MoveFileInto(target(), out, "c.bin", Publish::Keep), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Lstat), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Rename), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Open) + m_sys.calls(SysOp::Stat) + m_sys.calls(SysOp::Link), 0);

    m_sys.reset();
    EXPECT_EQ(MakeDirs(m_tmp / "newfolder"), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Mkdir), 1);
    EXPECT_EQ(m_sys.calls(SysOp::Stat), 0);
}

}  // namespace
}  // namespace zanfeld
