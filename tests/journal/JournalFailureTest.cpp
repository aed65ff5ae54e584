#include <errno.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "PrivateMounts.h"
#include "RunJournal.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

using test::TempDir;

// Every call of a journal that is off does nothing and says so harmlessly.
void ExpectHarmlessNoOps(RunJournal& journal) {
    EXPECT_FALSE(journal.ok());
    EXPECT_NE(journal.error(), 0);
    JournalRun run;
    run.outputDir = "/out";
    const int64_t id = journal.beginRun(run);
    EXPECT_EQ(id, 0);
    const int64_t placement = journal.intend(id, "/a", "/out/a", 1);
    EXPECT_EQ(placement, 0);
    EXPECT_EQ(journal.intend(1, "/a", "/out/a", 1), 0);
    journal.done(placement, PlacementOutcome{});
    journal.done(1, PlacementOutcome{});
    journal.madeFolder(1, "/out");
    journal.endRun(1, JournalEnd{JournalEndKind::Stopped, ""}, JournalCounts{1, 0, 0, 0, 0});
    journal.markUndone(1, 2);
    EXPECT_TRUE(journal.runs(0).empty());
    EXPECT_TRUE(journal.placements(1).empty());
    EXPECT_TRUE(journal.madeFolders(1).empty());
    EXPECT_FALSE(journal.lastUndoableRun().has_value());
    EXPECT_FALSE(journal.ok());
}

// A mount for the object's lifetime, in this process's own mount namespace.
class ScopedMount {
  public:
    ScopedMount(const std::string& target, const char* type, unsigned long flags,
                const char* options, const char* source = "tmpfs")
        : m_target(target) {
        m_error = test::EnterPrivateMounts();
        if (m_error.empty() && ::mount(source, target.c_str(), type, flags, options) != 0)
            m_error = std::string("mount refused: ") + std::strerror(errno);
    }
    ~ScopedMount() {
        if (m_error.empty()) ::umount2(m_target.c_str(), MNT_DETACH);
    }
    const std::string& error() const { return m_error; }

  private:
    std::string m_target;
    std::string m_error;
};

// Runs sql on the database at path; the first column of every row, or the error.
std::string Sql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
        char* error = nullptr;
        auto collect = [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] ? values[0] : "";
            return 0;
        };
        if (sqlite3_exec(db, sql.c_str(), collect, &result, &error) != SQLITE_OK)
            result = error ? error : "error";
        sqlite3_free(error);
    }
    sqlite3_close(db);
    return result;
}

TEST(UnwritableJournalTest, AFolderNobodyCanWriteLeavesTheJournalOff) {
    RunJournal journal;
    EXPECT_NE(journal.open("/proc/zanfeld-journal/Zanfeld/journal.sqlite"), 0);
    ExpectHarmlessNoOps(journal);

    RunJournal notOpened;
    EXPECT_FALSE(notOpened.ok());
    EXPECT_EQ(notOpened.beginRun(JournalRun{}), 0);
    EXPECT_TRUE(notOpened.runs(0).empty());

    RunJournal relative;
    EXPECT_EQ(relative.open("state/journal.sqlite"), EINVAL);
    EXPECT_FALSE(relative.ok());
    RunJournal empty;
    EXPECT_EQ(empty.open(""), ENOENT);
}

TEST(UnwritableJournalTest, AReadOnlyFileSystemLeavesTheJournalOffAndUntouched) {
    TempDir dir;
    const std::string writable = dir / "rw";
    test::MakeDir(writable);
    {
        RunJournal journal;
        ASSERT_EQ(journal.open(writable + "/journal.sqlite"), 0);
        const int64_t run = journal.beginRun(JournalRun{});
        journal.endRun(run, {}, {});
    }
    const std::string before = test::ReadFile(writable + "/journal.sqlite");

    // The same folder seen through a read-only bind mount, and a fresh
    // read-only file system where the folders cannot even be made.
    const std::string readOnly = dir / "ro";
    test::MakeDir(readOnly);
    ScopedMount bind(readOnly, nullptr, MS_BIND, nullptr, writable.c_str());
    if (!bind.error().empty()) GTEST_SKIP() << bind.error();
    ScopedMount remount(readOnly, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr, "none");
    ASSERT_EQ(remount.error(), "");
    const std::string emptyRo = dir / "empty-ro";
    test::MakeDir(emptyRo);
    ScopedMount tmpfs(emptyRo, "tmpfs", MS_RDONLY, "size=1m");
    ASSERT_EQ(tmpfs.error(), "");

    for (const std::string& path :
         {readOnly + "/journal.sqlite", emptyRo + "/Zanfeld/journal.sqlite"}) {
        SCOPED_TRACE(path);
        RunJournal journal;
        const int error = journal.open(path);
        EXPECT_NE(error, 0);
        EXPECT_EQ(journal.movedAside(), "");
        ExpectHarmlessNoOps(journal);
    }
    EXPECT_EQ(test::ReadFile(writable + "/journal.sqlite"), before);
    EXPECT_FALSE(test::IsDir(emptyRo + "/Zanfeld"));
}

// A file system that fills up during a run: the calls that cannot be
// written turn the journal off, the rest do nothing, and what was committed
// stays a sound database.
TEST(UnwritableJournalTest, AFullDiskTurnsTheJournalOffDuringARun) {
    TempDir dir;
    const std::string small = dir / "small";
    test::MakeDir(small);
    ScopedMount tmpfs(small, "tmpfs", 0, "size=256k");
    if (!tmpfs.error().empty()) GTEST_SKIP() << tmpfs.error();

    RunJournal journal;
    ASSERT_EQ(journal.open(small + "/journal.sqlite"), 0);
    const int64_t run = journal.beginRun(JournalRun{});
    ASSERT_GT(run, 0);
    const std::string longName(1500, 'x');
    int64_t placed = 0;
    for (int i = 0; i < 100000 && journal.ok(); ++i) {
        const int64_t placement = journal.intend(run, "/src/" + longName + std::to_string(i),
                                                 "/out/" + longName + std::to_string(i), 1);
        if (placement == 0) break;
        journal.done(placement, PlacementOutcome{});
        ++placed;
    }
    EXPECT_FALSE(journal.ok());
    EXPECT_EQ(journal.error(), ENOSPC);
    EXPECT_GT(placed, 10);
    ExpectHarmlessNoOps(journal);
    journal.close();
    ASSERT_EQ(::umount2(small.c_str(), MNT_DETACH) == 0 ? 0 : errno, 0) << "nothing may hold it";
}

class BrokenJournalTest : public ::testing::Test {
  protected:
    std::string path() const { return m_dir / "Zanfeld/journal.sqlite"; }
    TempDir m_dir;
};

// A file that is not SQLite is kept under another name, never overwritten,
// and a new journal begins; its WAL goes along with it.
TEST_F(BrokenJournalTest, AFileThatIsNotSQLiteIsMovedAsideAndANewJournalBegins) {
    std::string garbage;
    for (int i = 0; i < 800; ++i) garbage += "not a database " + std::to_string(i) + "\n";
    test::WriteFile(path(), garbage);
    test::WriteFile(path() + "-wal", "stale wal");

    RunJournal journal;
    ASSERT_EQ(journal.open(path()), 0);
    EXPECT_TRUE(journal.ok());
    const std::string aside = journal.movedAside();
    ASSERT_EQ(aside.rfind(path() + ".broken-", 0), 0u) << aside;
    EXPECT_EQ(test::ReadFile(aside), garbage);
    EXPECT_EQ(test::ReadFile(aside + "-wal"), "stale wal");

    const int64_t run = journal.beginRun(JournalRun{});
    EXPECT_GT(run, 0);
    journal.endRun(run, {}, {});
    EXPECT_EQ(journal.runs(0).size(), 1u);
    journal.close();
    EXPECT_EQ(Sql(path(), "PRAGMA integrity_check"), "ok");

    // A second broken file in the same second gets a name of its own.
    test::WriteFile(path(), "short");
    std::string garbage2(5000, '\x01');
    test::WriteFile(path(), garbage2);
    RunJournal again;
    ASSERT_EQ(again.open(path()), 0);
    ASSERT_NE(again.movedAside(), "");
    EXPECT_NE(again.movedAside(), aside);
    EXPECT_EQ(test::ReadFile(again.movedAside()), garbage2);
    EXPECT_EQ(test::ReadFile(aside), garbage);
}

// An SQLite database of something else is not turned into a journal.
TEST_F(BrokenJournalTest, AnotherProgramsDatabaseIsMovedAsideWhole) {
    test::MakeDir(m_dir / "Zanfeld");
    ASSERT_EQ(Sql(path(),
                  "CREATE TABLE contacts(name TEXT); "
                  "INSERT INTO contacts VALUES('someone')"),
              "");
    ASSERT_EQ(Sql(path(), "SELECT name FROM contacts"), "someone");

    RunJournal journal;
    ASSERT_EQ(journal.open(path()), 0);
    ASSERT_NE(journal.movedAside(), "");
    EXPECT_EQ(Sql(journal.movedAside(), "SELECT name FROM contacts"), "someone");
    EXPECT_GT(journal.beginRun(JournalRun{}), 0);
}

// A journal from a newer program is left exactly as it is.
TEST_F(BrokenJournalTest, ANewerSchemaIsLeftAloneAndTheJournalIsOff) {
    {
        RunJournal journal;
        ASSERT_EQ(journal.open(path()), 0);
        journal.endRun(journal.beginRun(JournalRun{}), {}, {});
    }
    ASSERT_EQ(Sql(path(), "PRAGMA user_version = 99"), "");
    const std::string before = test::ReadFile(path());

    RunJournal journal;
    EXPECT_EQ(journal.open(path()), ENOTSUP);
    EXPECT_EQ(journal.movedAside(), "");
    ExpectHarmlessNoOps(journal);
    journal.close();
    EXPECT_EQ(test::ReadFile(path()), before);
    EXPECT_EQ(Sql(path(), "PRAGMA user_version"), "99");
}

// A folder or a link under the journal's name is somebody's: not opened,
// not moved.
TEST_F(BrokenJournalTest, AFolderOrALinkUnderTheNameIsLeftAlone) {
    test::MakeDir(path());
    RunJournal folder;
    EXPECT_EQ(folder.open(path()), EISDIR);
    EXPECT_TRUE(test::IsDir(path()));
    ExpectHarmlessNoOps(folder);
    ASSERT_EQ(::rmdir(path().c_str()), 0);

    const std::string theirs = m_dir / "their-file.txt";
    test::WriteFile(theirs, "keep me");
    ASSERT_EQ(::symlink(theirs.c_str(), path().c_str()), 0);
    RunJournal link;
    EXPECT_EQ(link.open(path()), ELOOP);
    ExpectHarmlessNoOps(link);
    EXPECT_EQ(test::ReadFile(theirs), "keep me");
    struct stat st {};
    ASSERT_EQ(::lstat(path().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

}  // namespace
}  // namespace zanfeld
