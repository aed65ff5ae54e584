#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "TempDir.h"
#include "Walks.h"

namespace fs = std::filesystem;

namespace zanfeld {
namespace {

using test::MakeDir;
using test::TempDir;
using test::WriteFile;
using Entries = std::vector<std::string>;

// Files and folders of dir in the order the file system lists them, as the
// walk should see them: links to files are files, links to folders and
// special files are neither.
void ListingOf(const std::string& dir, Entries& files, Entries& folders) {
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        const fs::file_status own = entry.symlink_status();
        if (fs::is_directory(own)) {
            folders.push_back(name);
        } else if (fs::is_regular_file(own) ||
                   (fs::is_symlink(own) && fs::is_regular_file(entry.status()))) {
            files.push_back(name);
        }
    }
}

// The walk's order: a folder's files, then its sub-folders one by one.
void ExpectedWalk(const std::string& dir, int depth, Entries& out) {
    if (depth < 0) return;
    Entries files, folders;
    ListingOf(dir, files, folders);
    for (const auto& f : files) out.push_back(dir + f);
    for (const auto& d : folders) ExpectedWalk(dir + d + "/", depth - 1, out);
}

std::set<std::string> AsSet(const Entries& e) { return {e.begin(), e.end()}; }

class WalksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = tmp.path() + "/root/";
        WriteFile(root + "a.txt", "a");
        WriteFile(root + ".hidden.txt", "h");
        WriteFile(root + "B.txt", "B");
        WriteFile(root + "b.txt", "b");
        WriteFile(root + "sub1/b1.txt", "b");
        WriteFile(root + "sub1/b2.txt", "b");
        WriteFile(root + "sub1/deep/c.txt", "c");
        WriteFile(root + "sub1/deep/deeper/d.txt", "d");
        WriteFile(root + ".hiddendir/h.txt", "h");
        WriteFile(root + "sub2/e.txt", "e");
        MakeDir(root + "empty");
        WriteFile(tmp.path() + "/outside/o.txt", "o");
        ASSERT_EQ(::symlink((root + "sub1").c_str(), (root + "linkdir").c_str()), 0);
        ASSERT_EQ(::symlink((tmp.path() + "/outside").c_str(), (root + "linkout").c_str()), 0);
        ASSERT_EQ(::symlink((root + "a.txt").c_str(), (root + "linkfile.txt").c_str()), 0);
        ASSERT_EQ(::symlink((root + "missing").c_str(), (root + "dangling").c_str()), 0);
        ASSERT_EQ(::mkfifo((root + "pipe").c_str(), 0644), 0);
    }

    TempDir tmp;
    std::string root;
};

TEST_F(WalksTest, IndexDiskWalksEveryLevelDepthFirstInListingOrder) {
    SourceList list;
    size_t ticks = 0;
    IndexDisk(list, root, [&] { ++ticks; });

    Entries expected;
    ExpectedWalk(root, INT_MAX, expected);
    EXPECT_EQ(list.entries(), expected);
    // Hidden files and folders take part; the link to a file is a file; links
    // to folders, the dangling link and the pipe are not walked or listed.
    EXPECT_EQ(
        AsSet(list.entries()),
        (std::set<std::string>{root + "a.txt", root + ".hidden.txt", root + "B.txt", root + "b.txt",
                               root + "linkfile.txt", root + "sub1/b1.txt", root + "sub1/b2.txt",
                               root + "sub1/deep/c.txt", root + "sub1/deep/deeper/d.txt",
                               root + ".hiddendir/h.txt", root + "sub2/e.txt"}));
    // Every entry of every visited folder was reported.
    EXPECT_GE(ticks, 13u + 3u + 2u + 1u + 1u + 1u);
}

TEST_F(WalksTest, EachFolderComesBeforeItsSubFolders) {
    SourceList list;
    IndexDisk(list, root);
    const Entries& e = list.entries();
    auto pos = [&](const std::string& p) {
        return std::find(e.begin(), e.end(), root + p) - e.begin();
    };
    EXPECT_LT(pos("a.txt"), pos("sub1/b1.txt"));
    EXPECT_LT(pos("linkfile.txt"), pos(".hiddendir/h.txt"));
    EXPECT_LT(pos("sub1/b2.txt"), pos("sub1/deep/c.txt"));
    EXPECT_LT(pos("sub1/deep/c.txt"), pos("sub1/deep/deeper/d.txt"));
}

TEST_F(WalksTest, DepthLimitsTheLevels) {
    for (int depth : {-5, -1, 0, 1, 2, 3, 4}) {
        SCOPED_TRACE(depth);
        SourceList list;
        IndexDisk2(list, root, depth);
        Entries expected;
        ExpectedWalk(root, depth, expected);
        EXPECT_EQ(list.entries(), expected);
    }
    SourceList none;
    IndexDisk2(none, root, -1);
    EXPECT_TRUE(none.empty());

    SourceList own;
    IndexDisk2(own, root, 0);
    EXPECT_EQ(AsSet(own.entries()),
              (std::set<std::string>{root + "a.txt", root + ".hidden.txt", root + "B.txt",
                                     root + "b.txt", root + "linkfile.txt"}));
    SourceList two;
    IndexDisk2(two, root, 2);
    EXPECT_EQ(two.size(), 10u);  // all but deeper/d.txt
}

TEST_F(WalksTest, AddFolderFilesTakesOnlyTheFolderItself) {
    SourceList list;
    AddFolderFiles(list, root);
    SourceList depth0;
    IndexDisk2(depth0, root, 0);
    EXPECT_EQ(list.entries(), depth0.entries());
    EXPECT_EQ(list.size(), 5u);
}

TEST_F(WalksTest, AddingTheSameFolderTwiceAddsNothing) {
    SourceList list;
    list.AddIfAbsent(root + "sub2/e.txt");
    IndexDisk(list, root);
    const Entries first = list.entries();
    EXPECT_EQ(first.front(), root + "sub2/e.txt");
    EXPECT_EQ(std::count(first.begin(), first.end(), root + "sub2/e.txt"), 1);
    IndexDisk(list, root);
    IndexDisk2(list, root, 1);
    AddFolderFiles(list, root);
    EXPECT_EQ(list.entries(), first);
}

TEST_F(WalksTest, AFolderPathWithoutTheSeparatorIsJoinedCorrectly) {
    const std::string bare = root.substr(0, root.size() - 1);
    SourceList withSlash, withoutSlash;
    IndexDisk(withSlash, root);
    IndexDisk(withoutSlash, bare);
    EXPECT_EQ(withoutSlash.entries(), withSlash.entries());
    SourceList folders;
    AddSubFolders(folders, bare);
    EXPECT_EQ(AsSet(folders.entries()),
              (std::set<std::string>{root + "sub1", root + "sub2", root + "empty"}));
}

TEST_F(WalksTest, MissingFolderContributesNothing) {
    SourceList list;
    IndexDisk(list, root + "nothing/");
    IndexDisk2(list, root + "nothing/", 3);
    AddFolderFiles(list, root + "a.txt/");
    AddSubFolders(list, root + "nothing/");
    EXPECT_TRUE(list.empty());
}

TEST_F(WalksTest, FolderRemovedDuringTheWalkIsPassedOver) {
    // root2 holds one file and one folder "a"; while "a" is being listed it is
    // moved away, so its sub-folders can no longer be opened by their paths.
    const std::string root2 = tmp.path() + "/root2/";
    WriteFile(root2 + "r.txt", "r");
    WriteFile(root2 + "a/a.txt", "a");
    WriteFile(root2 + "a/gone/g.txt", "g");
    WriteFile(root2 + "a/gone2/deeper/g.txt", "g");
    SourceList list;
    bool moved = false;
    IndexDisk(list, root2, [&] {
        // r.txt is listed once root2 has been read: the walk is now in "a".
        if (!moved && list.size() == 1) {
            fs::rename(root2 + "a", tmp.path() + "/moved");
            moved = true;
        }
    });
    ASSERT_TRUE(moved);
    EXPECT_EQ(list.entries(), (Entries{root2 + "r.txt", root2 + "a/a.txt"}));
}

// Creates a chain of folders below base whose full path grows beyond what
// the system accepts in one path, with a file at every level.
int MakeDeepChain(const std::string& base, const std::string& name, int levels) {
    int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < levels && fd >= 0; ++i) {
        const int file = ::openat(fd, "f.txt", O_WRONLY | O_CREAT, 0644);
        if (file >= 0) ::close(file);
        ::mkdirat(fd, name.c_str(), 0755);
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    if (fd < 0) return -1;
    const int file = ::openat(fd, "f.txt", O_WRONLY | O_CREAT, 0644);
    if (file >= 0) ::close(file);
    ::close(fd);
    return 0;
}

// Removes what MakeDeepChain made, one level at a time through descriptors.
void RemoveDeepChain(int parentFd, const std::string& name) {
    const int fd = ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::unlinkat(fd, "f.txt", 0);
    RemoveDeepChain(fd, name);
    ::close(fd);
    ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
}

TEST_F(WalksTest, FolderWhosePathIsTooLongIsPassedOverAndTheWalkGoesOn) {
    const std::string name(200, 'n');
    const std::string chainBase = root + "sub2/";
    ASSERT_EQ(MakeDeepChain(chainBase, name, 25), 0);

    SourceList list;
    IndexDisk(list, root);

    // Everything outside the chain is there, whatever the listing order.
    for (const std::string& p : {root + "a.txt", root + "sub1/deep/deeper/d.txt",
                                 root + ".hiddendir/h.txt", root + "sub2/e.txt"}) {
        EXPECT_NE(std::find(list.entries().begin(), list.entries().end(), p), list.entries().end())
            << p;
    }
    // The chain is walked as far as its folders can be opened, no further.
    std::string dir = chainBase;
    size_t listedLevels = 0;
    for (int level = 0; level <= 25; ++level) {
        const bool listed = std::find(list.entries().begin(), list.entries().end(),
                                      dir + "f.txt") != list.entries().end();
        if (dir.size() < PATH_MAX) {
            EXPECT_TRUE(listed) << level;
            ++listedLevels;
        } else {
            EXPECT_FALSE(listed) << level;
        }
        dir += name + "/";
    }
    EXPECT_GT(listedLevels, 5u);
    EXPECT_LT(listedLevels, 25u);

    const int fd = ::open(chainBase.c_str(), O_RDONLY | O_DIRECTORY);
    RemoveDeepChain(fd, name);
    ::close(fd);
}

TEST_F(WalksTest, AddSubFoldersTakesTheFirstLevelWithoutHiddenOnes) {
    SourceList list;
    size_t ticks = 0;
    AddSubFolders(list, root, [&] { ++ticks; });
    Entries expected;
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        if (fs::is_directory(entry.symlink_status()) && name[0] != '.') {
            expected.push_back(root + name);
        }
    }
    EXPECT_EQ(list.entries(), expected);
    EXPECT_EQ(AsSet(list.entries()),
              (std::set<std::string>{root + "sub1", root + "sub2", root + "empty"}));
    EXPECT_GE(ticks, 13u);

    AddSubFolders(list, root);
    EXPECT_EQ(list.entries(), expected);
}

TEST_F(WalksTest, DroppedFilesAreAppendedEvenWhenListed) {
    SourceList list;
    list.AddIfAbsent(root + "a.txt");
    const size_t n = HandleDroppedFiles(list, {root + "a.txt", root + "sub1", root + "nothing.txt",
                                               root + "b.txt", root + "a.txt"});
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(list.entries(),
              (Entries{root + "a.txt", root + "a.txt", root + "b.txt", root + "a.txt"}));
}

TEST_F(WalksTest, NamesThatAreNotUtf8AreWalkedUnchanged) {
    const std::string odd = root + "odd\xFF\xFE/";
    WriteFile(odd + "caf\xE9.txt", "x");
    SourceList files;
    IndexDisk(files, root);
    EXPECT_NE(std::find(files.entries().begin(), files.entries().end(), odd + "caf\xE9.txt"),
              files.entries().end());
    SourceList folders;
    AddSubFolders(folders, root);
    EXPECT_NE(std::find(folders.entries().begin(), folders.entries().end(), root + "odd\xFF\xFE"),
              folders.entries().end());
}

}  // namespace
}  // namespace zanfeld
