#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "FileChecks.h"
#include "FileOps.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::Exists;
using test::IsDir;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::Pattern;
using test::ReadFile;
using test::SetTimes;
using test::TempDir;
using test::WriteFile;

TEST(MoveTest, WithinOneFileSystemKeep) {
    TempDir tmp;
    WriteFile(tmp / "src/a.txt", "content");
    SetTimes(tmp / "src/a.txt", 1300000000, 1, 1368000000, 123456789);
    MakeDir(tmp / "out");
    const ino_t inode = LStat(tmp / "src/a.txt").st_ino;

    ASSERT_EQ(MoveFileSafe(tmp / "src/a.txt", tmp / "out/a.txt", Publish::Keep), 0);
    EXPECT_FALSE(Exists(tmp / "src/a.txt"));
    EXPECT_EQ(ReadFile(tmp / "out/a.txt"), "content");
    EXPECT_EQ(LStat(tmp / "out/a.txt").st_ino, inode);  // a rename, not a copy
    EXPECT_EQ(LStat(tmp / "out/a.txt").st_mtim.tv_nsec, 123456789);
}

TEST(MoveTest, WithinOneFileSystemTargetPresent) {
    TempDir tmp;
    WriteFile(tmp / "src/a.txt", "new");
    WriteFile(tmp / "out/a.txt", "old");

    EXPECT_EQ(MoveFileSafe(tmp / "src/a.txt", tmp / "out/a.txt", Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(tmp / "src/a.txt"), "new");
    EXPECT_EQ(ReadFile(tmp / "out/a.txt"), "old");

    ASSERT_EQ(MoveFileSafe(tmp / "src/a.txt", tmp / "out/a.txt", Publish::Replace), 0);
    EXPECT_FALSE(Exists(tmp / "src/a.txt"));
    EXPECT_EQ(ReadFile(tmp / "out/a.txt"), "new");
    EXPECT_EQ(Names(tmp / "out"), std::vector<std::string>{"a.txt"});
}

TEST(MoveTest, SymlinkAtTargetIsReplacedAsAName) {
    TempDir tmp;
    WriteFile(tmp / "src/a.txt", "new");
    WriteFile(tmp / "victim.txt", "victim");
    MakeDir(tmp / "out");
    ASSERT_EQ(::symlink((tmp / "victim.txt").c_str(), (tmp / "out/a.txt").c_str()), 0);
    EXPECT_EQ(MoveFileSafe(tmp / "src/a.txt", tmp / "out/a.txt", Publish::Keep), EEXIST);
    ASSERT_EQ(MoveFileSafe(tmp / "src/a.txt", tmp / "out/a.txt", Publish::Replace), 0);
    EXPECT_TRUE(S_ISREG(LStat(tmp / "out/a.txt").st_mode));
    EXPECT_EQ(ReadFile(tmp / "out/a.txt"), "new");
    EXPECT_EQ(ReadFile(tmp / "victim.txt"), "victim");
}

TEST(MoveTest, OntoItselfNeverLosesTheFile) {
    TempDir tmp;
    WriteFile(tmp / "a.txt", "content");
    EXPECT_EQ(MoveFileSafe(tmp / "a.txt", tmp / "a.txt", Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(tmp / "a.txt"), "content");
    MoveFileSafe(tmp / "a.txt", tmp / "a.txt", Publish::Replace);
    EXPECT_EQ(ReadFile(tmp / "a.txt"), "content");
    MoveFileSafe(tmp / "a.txt", tmp / ".//a.txt", Publish::Replace);
    EXPECT_EQ(ReadFile(tmp / "a.txt"), "content");
    EXPECT_EQ(Names(tmp.path()), std::vector<std::string>{"a.txt"});
}

TEST(MoveTest, FoldersAreNotMoved) {
    TempDir tmp;
    WriteFile(tmp / "folder/inside.txt", "x");
    EXPECT_EQ(MoveFileSafe(tmp / "folder", tmp / "moved", Publish::Keep), EISDIR);
    EXPECT_EQ(MoveFileSafe(tmp / "folder", tmp / "moved", Publish::Replace), EISDIR);
    EXPECT_TRUE(IsDir(tmp / "folder"));
    EXPECT_FALSE(Exists(tmp / "moved"));
    EXPECT_EQ(MoveFileSafe(tmp / "missing", tmp / "moved", Publish::Replace), ENOENT);
}

// Moves between /tmp and /dev/shm, in both directions.
class CrossDeviceMoveTest : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        m_tmp = std::make_unique<TempDir>("/tmp");
        m_shm = std::make_unique<TempDir>("/dev/shm");
        if (!test::OnDifferentDevices(m_tmp->path(), m_shm->path()))
            GTEST_SKIP() << "/tmp and /dev/shm are one file system here; nothing to cross";
        const bool toShm = GetParam();
        m_from = toShm ? m_tmp.get() : m_shm.get();
        m_to = toShm ? m_shm.get() : m_tmp.get();
        m_content = Pattern(3 * 1024 * 1024 + 1, 9);
        WriteFile(source(), m_content);
        ::chmod(source().c_str(), 0604);
        SetTimes(source(), 1300000000, 42, 1368000000, 123456789);
    }
    std::string source() const { return *m_from / "a.txt"; }
    std::string target() const { return *m_to / "a.txt"; }

    std::unique_ptr<TempDir> m_tmp, m_shm;
    TempDir* m_from = nullptr;
    TempDir* m_to = nullptr;
    std::string m_content;
};

TEST_P(CrossDeviceMoveTest, KeepMovesWhenTheNameIsFree) {
    ASSERT_EQ(MoveFileSafe(source(), target(), Publish::Keep), 0);
    EXPECT_FALSE(Exists(source()));
    EXPECT_EQ(ReadFile(target()), m_content);
    const struct stat st = LStat(target());
    EXPECT_EQ(st.st_mtim.tv_sec, 1368000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(Names(m_to->path()), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(Names(m_from->path()).empty());
}

TEST_P(CrossDeviceMoveTest, KeepFailsWhenTheNameIsTaken) {
    WriteFile(target(), "old");
    EXPECT_EQ(MoveFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(source()), m_content);
    EXPECT_EQ(ReadFile(target()), "old");
    EXPECT_EQ(Names(m_to->path()), std::vector<std::string>{"a.txt"});
}

TEST_P(CrossDeviceMoveTest, ReplaceSwapsTheTargetAndRemovesTheSource) {
    WriteFile(target(), "old");
    ASSERT_EQ(::link(target().c_str(), (*m_to / "old-link").c_str()), 0);
    ASSERT_EQ(MoveFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_FALSE(Exists(source()));
    EXPECT_EQ(ReadFile(target()), m_content);
    EXPECT_EQ(LStat(target()).st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(ReadFile(*m_to / "old-link"), "old");  // never written in place
    EXPECT_EQ(Names(m_to->path()), (std::vector<std::string>{"a.txt", "old-link"}));
}

TEST_P(CrossDeviceMoveTest, ReplaceWhenAbsentAndSymlinkAtTarget) {
    WriteFile(*m_to / "victim.txt", "victim");
    ASSERT_EQ(::symlink((*m_to / "victim.txt").c_str(), target().c_str()), 0);
    ASSERT_EQ(MoveFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_TRUE(S_ISREG(LStat(target()).st_mode));
    EXPECT_EQ(ReadFile(target()), m_content);
    EXPECT_EQ(ReadFile(*m_to / "victim.txt"), "victim");
    EXPECT_FALSE(Exists(source()));
}

TEST_P(CrossDeviceMoveTest, MissingTargetFolderKeepsTheSource) {
    EXPECT_EQ(MoveFileSafe(source(), *m_to / "none/a.txt", Publish::Replace), ENOENT);
    EXPECT_EQ(ReadFile(source()), m_content);
    EXPECT_TRUE(Names(m_to->path()).empty());
}

INSTANTIATE_TEST_SUITE_P(BothWays, CrossDeviceMoveTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "TmpToShm" : "ShmToTmp"; });

}  // namespace
}  // namespace zanfeld
