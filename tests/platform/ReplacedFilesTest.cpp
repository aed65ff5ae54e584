// A replaced file handed to the keeper in force rather than destroyed: copies,
// moves within and across file systems, folders under the name, keepers that
// decline, and file systems without an exchanging rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "ReplacedFiles.h"
#include "SourceFile.h"
#include "Sys.h"
#include "TargetFolder.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using namespace test;

// Keeps a replaced file by renaming it into a folder of its own.
class FolderKeeper : public ReplacedFileKeeper {
  public:
    explicit FolderKeeper(const std::string& folder) : m_folder(folder) {}
    bool keep(int dirFd, const std::string& name, const std::string& originalPath) override {
        kept.push_back(originalPath);
        keptNames.push_back(name);
        if (!accept) return false;
        const std::string as = m_folder + "/" + std::to_string(kept.size());
        return ::renameat(dirFd, name.c_str(), AT_FDCWD, as.c_str()) == 0;
    }
    void lost(const std::string& originalPath) override { gone.push_back(originalPath); }

    bool accept = true;
    std::vector<std::string> kept;
    std::vector<std::string> keptNames;  // the names the files lay under when handed over
    std::vector<std::string> gone;

  private:
    std::string m_folder;
};

class ReplacedFilesTest : public ::testing::Test {
  protected:
    ReplacedFilesTest() : m_keeper(m_dir / "kept") {}
    void SetUp() override {
        MakeDir(m_dir / "kept");
        MakeDir(m_dir / "out");
        WriteFile(m_dir / "src/a.txt", "the new one");
        WriteFile(m_dir / "out/a.txt", "the old one");
        ASSERT_EQ(m_folder.open(m_dir / "out"), 0);
    }
    std::string target() const { return m_dir / "out/a.txt"; }
    // Places src/a.txt over out/a.txt: how 0 copies, 1 and 2 move (2 across
    // file systems when the Sys in force says so).
    int Place(int how, bool* replaced = nullptr) {
        std::string name = "a.txt";
        return how == 0 ? CopyFileInto(SourceFile(m_dir / "src/a.txt"), m_folder, name,
                                       Publish::Replace, nullptr, replaced)
                        : MoveFileInto(SourceFile(m_dir / "src/a.txt"), m_folder, name,
                                       Publish::Replace, replaced);
    }

    TempDir m_dir;
    FolderKeeper m_keeper;
    TargetFolder m_folder;
};

TEST_F(ReplacedFilesTest, CopiesAndMovesHandTheOldFileToTheKeeper) {
    for (const int how : {0, 1, 2}) {  // copy, move, move across file systems
        SCOPED_TRACE(how);
        WriteFile(m_dir / "src/a.txt", "the new one " + std::to_string(how));
        WriteFile(target(), "the old one " + std::to_string(how));
        FaultySys faulty;
        if (how == 2) faulty.moveAcrossDevices();
        const ScopedSys scopedSys(faulty);
        const ScopedReplacedFileKeeper scoped(m_keeper);
        bool replaced = false;
        ASSERT_EQ(Place(how, &replaced), 0);
        EXPECT_TRUE(replaced);
        EXPECT_EQ(ReadFile(target()), "the new one " + std::to_string(how));
        ASSERT_EQ(m_keeper.kept.size(), static_cast<size_t>(how + 1));
        EXPECT_EQ(m_keeper.kept.back(), target());
        EXPECT_EQ(ReadFile(m_dir / ("kept/" + std::to_string(how + 1))),
                  "the old one " + std::to_string(how));
        EXPECT_EQ(Exists(m_dir / "src/a.txt"), how == 0);
        // Nothing left beside the file: no hidden name, no swapped-aside file.
        EXPECT_EQ(Names(m_dir / "out"), std::vector<std::string>{"a.txt"});
        // A copy's temporary is renamed to the form a later run keeps before
        // the old file takes its name; a move within a file system swaps
        // with the source itself.
        const std::string& aside = m_keeper.keptNames.back();
        if (how == 1) {
            EXPECT_EQ(aside.substr(aside.rfind('/') + 1), "a.txt");
        } else {
            EXPECT_EQ(aside.substr(0, 9), ".zanfeld-");
            EXPECT_EQ(aside.substr(aside.size() - 4), ".old");
        }
    }
    EXPECT_TRUE(m_keeper.gone.empty());
}

// Keeps a file ahead of its replacement with a second name in a folder of
// its own, as the Trash does.
class AheadKeeper : public FolderKeeper {
  public:
    explicit AheadKeeper(const std::string& folder) : FolderKeeper(folder), m_folder(folder) {}
    bool keepAhead(int dirFd, const std::string& name, const std::string& originalPath,
                   FileId& id) override {
        struct stat st;
        if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        id = FileId::Of(st);
        m_ahead = m_folder + "/ahead";
        m_from = originalPath;
        aheadOf.push_back(originalPath);
        return ::linkat(dirFd, name.c_str(), AT_FDCWD, m_ahead.c_str(), 0) == 0;
    }
    void unkeep() override {
        ++unkept;
        struct stat a, b;
        if (::lstat(m_ahead.c_str(), &a) == 0 && ::lstat(m_from.c_str(), &b) == 0 &&
            a.st_ino == b.st_ino)
            ::unlink(m_ahead.c_str());
    }
    std::vector<std::string> aheadOf;
    int unkept = 0;

  private:
    std::string m_folder, m_ahead, m_from;
};

// With the old file kept ahead, the swap needs no keeping after it, and one
// that fails takes the second name back: whatever happens, the old file is
// whole in exactly one place the keeper knows, and nothing is left beside
// the target.
TEST_F(ReplacedFilesTest, AFileKeptAheadIsNeverHandedOverAgain) {
    struct Case {
        int how;          // copy, move, move across file systems
        int failRename;   // the rename that fails with EIO, 0 for none
    };
    for (const Case c : {Case{0, 0}, Case{1, 0}, Case{2, 0}, Case{0, 1}, Case{1, 2}}) {
        SCOPED_TRACE(testing::Message() << c.how << "/" << c.failRename);
        AheadKeeper keeper(m_dir / "kept");
        ::unlink((m_dir / "kept/ahead").c_str());
        WriteFile(m_dir / "src/a.txt", "the new one");
        WriteFile(target(), "the old one");
        const ino_t oldInode = LStat(target()).st_ino;
        FaultySys faulty;
        if (c.how == 2) faulty.moveAcrossDevices();
        if (c.failRename) faulty.failOn(SysOp::Rename, EIO, c.failRename);
        const ScopedSys scopedSys(faulty);
        const ScopedReplacedFileKeeper scoped(keeper);
        const int error = Place(c.how);
        EXPECT_EQ(keeper.aheadOf, std::vector<std::string>{target()});
        EXPECT_TRUE(keeper.kept.empty()) << "kept once, ahead";
        EXPECT_EQ(Names(m_dir / "out"), std::vector<std::string>{"a.txt"});
        if (c.failRename) {
            EXPECT_EQ(error, EIO);
            EXPECT_EQ(keeper.unkept, 1);
            EXPECT_EQ(ReadFile(target()), "the old one");
            EXPECT_EQ(LStat(target()).st_ino, oldInode);
            EXPECT_FALSE(Exists(m_dir / "kept/ahead"));
            EXPECT_EQ(ReadFile(m_dir / "src/a.txt"), "the new one");
        } else {
            EXPECT_EQ(error, 0);
            EXPECT_EQ(keeper.unkept, 0);
            EXPECT_EQ(ReadFile(target()), "the new one");
            EXPECT_EQ(ReadFile(m_dir / "kept/ahead"), "the old one");
            EXPECT_EQ(LStat(m_dir / "kept/ahead").st_ino, oldInode);
            EXPECT_EQ(LStat(m_dir / "kept/ahead").st_nlink, 1u) << "no second name left";
            EXPECT_EQ(Exists(m_dir / "src/a.txt"), c.how == 0);
        }
    }
}

TEST_F(ReplacedFilesTest, AFreeNameOrAFolderUnderItGivesTheKeeperNothing) {
    const ScopedReplacedFileKeeper scoped(m_keeper);
    // A folder under the name stays as it is, and so does the source.
    MakeDir(m_dir / "out/b.txt");
    WriteFile(m_dir / "out/b.txt/inside", "kept");
    WriteFile(m_dir / "src/b.txt", "b");
    EXPECT_EQ(MoveFileInto(SourceFile(m_dir / "src/b.txt"), m_folder, "b.txt", Publish::Replace),
              EISDIR);
    EXPECT_EQ(ReadFile(m_dir / "out/b.txt/inside"), "kept");
    EXPECT_EQ(ReadFile(m_dir / "src/b.txt"), "b");
    std::string name = "b.txt";
    EXPECT_NE(CopyFileInto(SourceFile(m_dir / "src/b.txt"), m_folder, name, Publish::Replace), 0);
    EXPECT_EQ(ReadFile(m_dir / "out/b.txt/inside"), "kept");
    // A name that is free is simply taken.
    bool replaced = false;
    WriteFile(m_dir / "src/c.txt", "c");
    EXPECT_EQ(MoveFileInto(SourceFile(m_dir / "src/c.txt"), m_folder, "c.txt", Publish::Replace,
                           &replaced),
              0);
    EXPECT_FALSE(replaced);
    EXPECT_TRUE(m_keeper.kept.empty());
    EXPECT_EQ(Names(m_dir / "kept"), std::vector<std::string>{});
}

TEST_F(ReplacedFilesTest, AKeeperThatDeclinesLeavesTheOldFileToGo) {
    m_keeper.accept = false;
    const ScopedReplacedFileKeeper scoped(m_keeper);
    std::string name = "a.txt";
    ASSERT_EQ(CopyFileInto(SourceFile(m_dir / "src/a.txt"), m_folder, name, Publish::Replace), 0);
    EXPECT_EQ(m_keeper.kept, std::vector<std::string>{target()});
    EXPECT_EQ(ReadFile(target()), "the new one");
    EXPECT_EQ(Names(m_dir / "out"), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(Names(m_dir / "kept"), std::vector<std::string>{});
}

TEST_F(ReplacedFilesTest, WithoutAnExchangingRenameTheOldFileIsReportedLost) {
    FaultySys faulty;
    // The first rename tries the name as free; the second is the exchange,
    // which this file system lacks.
    faulty.failOn(SysOp::Rename, EINVAL, 2);
    const ScopedSys scopedSys(faulty);
    const ScopedReplacedFileKeeper scoped(m_keeper);
    ASSERT_EQ(MoveFileInto(SourceFile(m_dir / "src/a.txt"), m_folder, "a.txt", Publish::Replace), 0)
        << "the move itself still succeeds";
    EXPECT_EQ(ReadFile(target()), "the new one");
    EXPECT_TRUE(m_keeper.kept.empty());
    EXPECT_EQ(m_keeper.gone, std::vector<std::string>{target()});
}

TEST_F(ReplacedFilesTest, WithoutAKeeperTheOldFileGoesAsBefore) {
    std::string name = "a.txt";
    bool replaced = false;
    ASSERT_EQ(CopyFileInto(SourceFile(m_dir / "src/a.txt"), m_folder, name, Publish::Replace,
                           nullptr, &replaced),
              0);
    EXPECT_TRUE(replaced);
    EXPECT_EQ(ReadFile(target()), "the new one");
    EXPECT_EQ(Names(m_dir / "out"), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace zanfeld
