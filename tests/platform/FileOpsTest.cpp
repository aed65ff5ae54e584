#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>

#include "FileChecks.h"
#include "FileOps.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::Exists;
using test::IsDir;
using test::IsFile;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::Pattern;
using test::ReadFile;
using test::SetTimes;
using test::TempDir;
using test::WriteFile;

class CopyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeDir(m_tmp / "src");
        MakeDir(m_tmp / "out");
        WriteFile(source(), "new content");
        ::chmod(source().c_str(), 0640);
        SetTimes(source(), 1300000000, 111111111, 1368000000, 123456789);
    }
    std::string source() const { return m_tmp / "src/a.txt"; }
    std::string target() const { return m_tmp / "out/a.txt"; }
    std::string out() const { return m_tmp / "out"; }

    TempDir m_tmp;
};

TEST_F(CopyTest, KeepCreatesTargetWithContentTimesAndMode) {
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Keep), 0);
    // Looked at before reading, which may update the access time.
    const struct stat st = LStat(target());
    EXPECT_EQ(ReadFile(target()), "new content");
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1368000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_atim.tv_sec, 1300000000);
    EXPECT_EQ(st.st_atim.tv_nsec, 111111111);
    EXPECT_EQ(ReadFile(source()), "new content");
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.txt"});
}

TEST_F(CopyTest, ReplaceCreatesTargetWhenAbsent) {
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_EQ(ReadFile(target()), "new content");
    EXPECT_EQ(LStat(target()).st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.txt"});
}

TEST_F(CopyTest, KeepLeavesExistingTargetAlone) {
    WriteFile(target(), "old content", 1000000000);
    const ino_t inode = LStat(target()).st_ino;
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(target()), "old content");
    EXPECT_EQ(LStat(target()).st_ino, inode);
    EXPECT_EQ(LStat(target()).st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.txt"});
}

TEST_F(CopyTest, ReplaceSwapsTheNameWithoutTruncatingTheOldFile) {
    WriteFile(target(), "old content that is longer", 1000000000);
    // A second name for the old file shows whether it was written in place.
    ASSERT_EQ(::link(target().c_str(), (m_tmp / "old-link").c_str()), 0);
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_EQ(ReadFile(target()), "new content");
    EXPECT_EQ(LStat(target()).st_mtim.tv_sec, 1368000000);
    EXPECT_EQ(LStat(target()).st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(m_tmp / "old-link"), "old content that is longer");
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.txt"});
}

TEST_F(CopyTest, SymlinkAtTargetIsReplacedAsAName) {
    WriteFile(m_tmp / "victim.txt", "victim", 1000000000);
    ASSERT_EQ(::symlink((m_tmp / "victim.txt").c_str(), target().c_str()), 0);

    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_TRUE(S_ISLNK(LStat(target()).st_mode));
    EXPECT_EQ(ReadFile(m_tmp / "victim.txt"), "victim");

    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_TRUE(S_ISREG(LStat(target()).st_mode));
    EXPECT_EQ(ReadFile(target()), "new content");
    EXPECT_EQ(ReadFile(m_tmp / "victim.txt"), "victim");
    EXPECT_EQ(LStat(m_tmp / "victim.txt").st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.txt"});
}

TEST_F(CopyTest, DanglingSymlinkAtTargetIsNotFollowed) {
    const std::string nowhere = m_tmp / "nowhere.txt";
    ASSERT_EQ(::symlink(nowhere.c_str(), target().c_str()), 0);
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_FALSE(Exists(nowhere));
    ASSERT_EQ(CopyFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_FALSE(Exists(nowhere));
    EXPECT_TRUE(S_ISREG(LStat(target()).st_mode));
}

TEST_F(CopyTest, CopyOntoItselfNeverLosesTheFile) {
    const std::string big = Pattern(3 * 1024 * 1024 + 17, 5);
    WriteFile(source(), big, 1368000000);
    const ino_t inode = LStat(source()).st_ino;
    // The file is already where it belongs: nothing is done, and that is no
    // failure, whatever the policy and however the path is spelt.
    EXPECT_EQ(CopyFileSafe(source(), source(), Publish::Keep), 0);
    EXPECT_EQ(CopyFileSafe(source(), source(), Publish::Replace), 0);
    EXPECT_EQ(CopyFileSafe(source(), m_tmp / "src//./a.txt", Publish::Replace), 0);
    // Through a link to its folder, and through a hard link of its own.
    ASSERT_EQ(::symlink((m_tmp / "src").c_str(), (m_tmp / "via").c_str()), 0);
    EXPECT_EQ(CopyFileSafe(source(), m_tmp / "via/a.txt", Publish::Replace), 0);
    ASSERT_EQ(::link(source().c_str(), (m_tmp / "src/hard.txt").c_str()), 0);
    EXPECT_EQ(CopyFileSafe(source(), m_tmp / "src/hard.txt", Publish::Replace), 0);
    EXPECT_EQ(ReadFile(source()), big);
    EXPECT_EQ(LStat(source()).st_ino, inode);  // not even replaced by a copy
    EXPECT_EQ(LStat(m_tmp / "src/hard.txt").st_ino, inode);
    EXPECT_EQ(LStat(source()).st_mtim.tv_sec, 1368000000);
    EXPECT_EQ(Names(m_tmp / "src"), (std::vector<std::string>{"a.txt", "hard.txt"}));
}

TEST_F(CopyTest, LargeAndEmptyFilesCopyExactly) {
    const std::string big = Pattern(5 * 1024 * 1024 + 3, 1);
    WriteFile(m_tmp / "src/big.bin", big);
    ASSERT_EQ(CopyFileSafe(m_tmp / "src/big.bin", m_tmp / "out/big.bin", Publish::Keep), 0);
    EXPECT_EQ(ReadFile(m_tmp / "out/big.bin"), big);

    WriteFile(m_tmp / "src/empty", "");
    ASSERT_EQ(CopyFileSafe(m_tmp / "src/empty", m_tmp / "out/empty", Publish::Keep), 0);
    EXPECT_TRUE(IsFile(m_tmp / "out/empty"));
    EXPECT_EQ(LStat(m_tmp / "out/empty").st_size, 0);
}

TEST_F(CopyTest, CopiesToAnotherFileSystem) {
    TempDir shm("/dev/shm");
    if (!test::OnDifferentDevices(m_tmp.path(), shm.path()))
        GTEST_SKIP() << "/tmp and /dev/shm are one file system here";
    const std::string big = Pattern(2 * 1024 * 1024 + 9, 2);
    WriteFile(source(), big);
    SetTimes(source(), 1300000000, 1, 1368000000, 999999999);
    WriteFile(shm / "a.txt", "old");
    EXPECT_EQ(CopyFileSafe(source(), shm / "a.txt", Publish::Keep), EEXIST);
    EXPECT_EQ(ReadFile(shm / "a.txt"), "old");
    ASSERT_EQ(CopyFileSafe(source(), shm / "a.txt", Publish::Replace), 0);
    EXPECT_EQ(ReadFile(shm / "a.txt"), big);
    EXPECT_EQ(LStat(shm / "a.txt").st_mtim.tv_nsec, 999999999);
    ASSERT_EQ(CopyFileSafe(source(), shm / "b.txt", Publish::Keep), 0);
    EXPECT_EQ(ReadFile(shm / "b.txt"), big);
    EXPECT_EQ(Names(shm.path()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST_F(CopyTest, SourcesThatAreNoFilesFail) {
    MakeDir(m_tmp / "src/folder");
    EXPECT_EQ(CopyFileSafe(m_tmp / "src/folder", m_tmp / "out/folder", Publish::Keep), EISDIR);
    EXPECT_EQ(CopyFileSafe(m_tmp / "src/folder", m_tmp / "out/folder", Publish::Replace), EISDIR);
    EXPECT_EQ(CopyFileSafe(m_tmp / "src/missing", target(), Publish::Replace), ENOENT);
    // A named pipe must neither block the copy nor be read.
    ASSERT_EQ(::mkfifo((m_tmp / "src/pipe").c_str(), 0600), 0);
    EXPECT_NE(CopyFileSafe(m_tmp / "src/pipe", m_tmp / "out/pipe", Publish::Keep), 0);
    EXPECT_TRUE(Names(out()).empty());
}

TEST_F(CopyTest, TargetFolderMissingOrAFolderAtTheName) {
    EXPECT_EQ(CopyFileSafe(source(), m_tmp / "nofolder/a.txt", Publish::Replace), ENOENT);
    EXPECT_FALSE(Exists(m_tmp / "nofolder"));
    MakeDir(target());
    WriteFile(target() + "/inside", "x");
    EXPECT_EQ(CopyFileSafe(source(), target(), Publish::Keep), EEXIST);
    EXPECT_NE(CopyFileSafe(source(), target(), Publish::Replace), 0);
    EXPECT_TRUE(IsDir(target()));
    EXPECT_EQ(ReadFile(target() + "/inside"), "x");
    EXPECT_EQ(Names(out()), std::vector<std::string>{"a.txt"});
}

TEST_F(CopyTest, DoubleSeparatorInTargetPath) {
    ASSERT_EQ(CopyFileSafe(source(), m_tmp / "out//a.txt", Publish::Keep), 0);
    EXPECT_EQ(ReadFile(target()), "new content");
}

TEST(ExistenceTest, FilesAndFoldersAreTold) {
    TempDir tmp;
    WriteFile(tmp / "file", "x");
    MakeDir(tmp / "folder");
    ASSERT_EQ(::symlink((tmp / "file").c_str(), (tmp / "link-file").c_str()), 0);
    ASSERT_EQ(::symlink((tmp / "folder").c_str(), (tmp / "link-folder").c_str()), 0);
    ASSERT_EQ(::symlink((tmp / "none").c_str(), (tmp / "dangling").c_str()), 0);

    EXPECT_TRUE(FileExists(tmp / "file"));
    EXPECT_FALSE(DirExists(tmp / "file"));
    EXPECT_FALSE(FileExists(tmp / "folder"));
    EXPECT_TRUE(DirExists(tmp / "folder"));
    EXPECT_TRUE(FileExists(tmp / "link-file"));
    EXPECT_TRUE(DirExists(tmp / "link-folder"));
    EXPECT_FALSE(FileExists(tmp / "link-folder"));
    EXPECT_FALSE(FileExists(tmp / "dangling"));
    EXPECT_FALSE(DirExists(tmp / "dangling"));
    EXPECT_FALSE(FileExists(tmp / "none"));
    EXPECT_FALSE(FileExists(tmp / "file/below"));
}

TEST(MakeDirsTest, CreatesNestedFolders) {
    TempDir tmp;
    EXPECT_EQ(MakeDirs(tmp / "a/b/c"), 0);
    EXPECT_TRUE(IsDir(tmp / "a/b/c"));
    EXPECT_EQ(MakeDirs(tmp / "a/b/c"), 0);  // already there
    EXPECT_EQ(MakeDirs(tmp / "x//y/"), 0);
    EXPECT_TRUE(IsDir(tmp / "x/y"));
    EXPECT_EQ(MakeDirs(tmp / "p/q//r///"), 0);
    EXPECT_TRUE(IsDir(tmp / "p/q/r"));
    EXPECT_EQ(MakeDirs(tmp.path() + "/"), 0);
    EXPECT_EQ(MakeDirs("/"), 0);
}

TEST(MakeDirsTest, FileInTheWayFails) {
    TempDir tmp;
    WriteFile(tmp / "f", "keep me");
    EXPECT_EQ(MakeDirs(tmp / "f"), EEXIST);
    EXPECT_EQ(MakeDirs(tmp / "f/sub/deeper"), ENOTDIR);
    WriteFile(tmp / "a/g", "keep me too");
    EXPECT_EQ(MakeDirs(tmp / "a/g/h"), ENOTDIR);
    EXPECT_EQ(ReadFile(tmp / "f"), "keep me");
    EXPECT_EQ(ReadFile(tmp / "a/g"), "keep me too");
    // A dangling link in the way is not a folder either.
    ASSERT_EQ(::symlink((tmp / "none").c_str(), (tmp / "dangling").c_str()), 0);
    EXPECT_NE(MakeDirs(tmp / "dangling"), 0);
    EXPECT_NE(MakeDirs(""), 0);
}

TEST(FileInfoTest, TimesAndSize) {
    TempDir tmp;
    WriteFile(tmp / "f", "12345");
    SetTimes(tmp / "f", 1300000000, 5, 1368000000, 987654321);
    MakeDir(tmp / "d");
    const FileTime expected{1368000000, 987654321};
    EXPECT_EQ(RegularFileTime(tmp / "f"), expected);
    EXPECT_EQ(RegularFileSize(tmp / "f"), 5);
    EXPECT_FALSE(RegularFileTime(tmp / "d"));
    EXPECT_FALSE(CreationTimeOf(tmp / "d"));
    EXPECT_FALSE(RegularFileSize(tmp / "d"));
    EXPECT_FALSE(RegularFileTime(tmp / "missing"));
    EXPECT_FALSE(CreationTimeOf(tmp / "missing"));
    EXPECT_FALSE(RegularFileSize(tmp / "missing"));
    // A named pipe is no regular file: it has no time or size to sort by.
    ASSERT_EQ(::mkfifo((tmp / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(RegularFileTime(tmp / "pipe"));
    EXPECT_FALSE(RegularFileSize(tmp / "pipe"));
    EXPECT_TRUE(FileTime({1, 2}) < FileTime({1, 3}));
    EXPECT_TRUE(FileTime({1, 999999999}) < FileTime({2, 0}));
}

// A file made now whose last-write time was set back: its creation time is
// the moment it was made, where the file system keeps one.
TEST(FileInfoTest, CreationTimeIsTheBirthTime) {
    TempDir tmp;
    const int64_t before = static_cast<int64_t>(::time(nullptr)) - 1;
    WriteFile(tmp / "f", "x");
    SetTimes(tmp / "f", 946684800, 0, 946684800, 0);  // 2000-01-01
    struct statx st;
    ASSERT_EQ(::statx(AT_FDCWD, (tmp / "f").c_str(), 0, STATX_BTIME, &st), 0);
    const auto created = CreationTimeOf(tmp / "f");
    ASSERT_TRUE(created);
    if (!(st.stx_mask & STATX_BTIME)) {
        // No birth time kept here: the last-write time stands in.
        EXPECT_EQ(created->sec, 946684800);
        GTEST_SKIP() << "this file system keeps no birth time";
    }
    EXPECT_GE(created->sec, before);
    EXPECT_EQ(RegularFileTime(tmp / "f")->sec, 946684800);
}

TEST(ErrorTextTest, IsTheSystemsText) {
    EXPECT_EQ(ErrorText(ENOENT), std::strerror(ENOENT));
    EXPECT_EQ(ErrorText(ENOSPC), std::strerror(ENOSPC));
    EXPECT_FALSE(ErrorText(123456).empty());
}

TEST(DirEntryTest, ListsEveryNameWithItsKind) {
    TempDir tmp;
    const std::string invalidUtf8 = "bad\xff\xfe name.txt";
    WriteFile(tmp / invalidUtf8, "x");
    WriteFile(tmp / ".hidden", "x");
    WriteFile(tmp / "plain.txt", "x");
    MakeDir(tmp / "folder");
    MakeDir(tmp / ".hidden-folder");
    ASSERT_EQ(::symlink((tmp / "folder").c_str(), (tmp / "link-to-folder").c_str()), 0);

    std::map<std::string, DirEntry> seen;
    ASSERT_EQ(ForEachDirEntry(tmp.path(), [&](const DirEntry& e) { seen[e.name] = e; }), 0);
    ASSERT_EQ(seen.size(), 6u);
    ASSERT_TRUE(seen.count(invalidUtf8));
    EXPECT_FALSE(seen[invalidUtf8].isDirectory);
    EXPECT_FALSE(seen[invalidUtf8].isHidden);
    EXPECT_TRUE(seen[".hidden"].isHidden);
    EXPECT_FALSE(seen[".hidden"].isDirectory);
    EXPECT_TRUE(seen[".hidden-folder"].isHidden);
    EXPECT_TRUE(seen[".hidden-folder"].isDirectory);
    EXPECT_TRUE(seen["folder"].isDirectory);
    EXPECT_FALSE(seen["folder"].isSymlink);
    EXPECT_FALSE(seen["link-to-folder"].isDirectory);
    EXPECT_TRUE(seen["link-to-folder"].isSymlink);
    EXPECT_FALSE(seen["plain.txt"].isSymlink);

    // The walker's names open the files, invalid UTF-8 included.
    EXPECT_EQ(ReadFile(tmp / seen[invalidUtf8].name), "x");
}

TEST(DirEntryTest, MissingFolderGivesTheErrno) {
    TempDir tmp;
    int calls = 0;
    EXPECT_EQ(ForEachDirEntry(tmp / "missing", [&](const DirEntry&) { ++calls; }), ENOENT);
    WriteFile(tmp / "file", "x");
    EXPECT_EQ(ForEachDirEntry(tmp / "file", [&](const DirEntry&) { ++calls; }), ENOTDIR);
    EXPECT_EQ(ForEachDirEntry(tmp / "", [&](const DirEntry&) { ++calls; }), 0);
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace zanfeld
