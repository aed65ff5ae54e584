// A file that a placement replaces goes to the freedesktop.org Trash of its
// volume, by renaming only, and an undo puts it back without replacing
// anything.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "PrivateMounts.h"
#include "TempDir.h"
#include "Trash.h"
#include "UniqueFd.h"

namespace zanfeld {
namespace {

namespace fs = std::filesystem;
using test::BindMount;
using test::Exists;
using test::FaultySys;
using test::IsDir;
using test::IsFile;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::OnDifferentDevices;
using test::Pattern;
using test::ReadFile;
using test::SysOp;
using test::TempDir;
using test::WriteFile;

const std::string kUid = std::to_string(::getuid());
// "我的 照片 " and a byte that is no UTF-8, then ".jpg".
const std::string kOddName = "\xe6\x88\x91\xe7\x9a\x84 \xe7\x85\xa7\xe7\x89\x87 \xff.jpg";
const std::string kOddNameEncoded = "%E6%88%91%E7%9A%84%20%E7%85%A7%E7%89%87%20%FF.jpg";

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('/')); }
std::string LastName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Trashes the entry at path as the engine does: through its open folder.
int TrashAt(const std::string& path, TrashPlace& place, const std::string& original = "") {
    UniqueFd folder(::open(Parent(path).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) return errno;
    return MoveToTrashAt(folder.get(), LastName(path), original.empty() ? path : original, place);
}

void MakeLink(const std::string& text, const std::string& path) {
    ASSERT_EQ(::symlink(text.c_str(), path.c_str()), 0) << path;
}

std::string LinkText(const std::string& path) {
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    return n < 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

mode_t ModeOf(const std::string& path) { return LStat(path).st_mode & 07777; }

// Entries in a folder, none when the folder does not exist.
std::vector<std::string> NamesIfAny(const std::string& folder) {
    return Exists(folder) ? Names(folder) : std::vector<std::string>{};
}

// Checks a .trashinfo line by line: the Path exactly as encoded, and a
// DeletionDate in local time from the moment of trashing.
void ExpectInfo(const std::string& infoPath, const std::string& encodedPath, time_t before,
                time_t after) {
    const std::string text = ReadFile(infoPath);
    static const std::regex form(
        "\\[Trash "
        "Info\\]\nPath=([^\n]*)\nDeletionDate=(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d)\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, form)) << text;
    EXPECT_EQ(match[1].str(), encodedPath);
    struct tm local = {};
    ASSERT_NE(::strptime(match[2].str().c_str(), "%Y-%m-%dT%H:%M:%S", &local), nullptr);
    local.tm_isdst = -1;
    const time_t when = std::mktime(&local);
    EXPECT_GE(when, before - 1) << match[2].str();
    EXPECT_LE(when, after + 1) << match[2].str();
}

// Runs an action when the scope ends, however it ends.
class AtExit {
  public:
    explicit AtExit(std::function<void()> action) : m_action(std::move(action)) {}
    ~AtExit() { m_action(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

  private:
    std::function<void()> m_action;
};

// Points XDG_DATA_HOME at a folder of the test's own, not made yet, and puts
// the environment back afterwards.
class TrashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            m_saved.push_back({name, value != nullptr, value ? value : ""});
        }
        m_data = m_home / "a/b/data";
        ::setenv("XDG_DATA_HOME", m_data.c_str(), 1);
    }
    void TearDown() override {
        for (const Saved& s : m_saved) {
            if (s.had)
                ::setenv(s.name.c_str(), s.value.c_str(), 1);
            else
                ::unsetenv(s.name.c_str());
        }
    }

    std::string trash() const { return m_data + "/Trash"; }

    struct Saved {
        std::string name;
        bool had;
        std::string value;
    };
    std::vector<Saved> m_saved;
    TempDir m_home{"/tmp"};
    TempDir m_work{"/tmp"};
    std::string m_data;
};

TEST_F(TrashTest, HomeTrashFolderFollowsXdgDataHome) {
    ::setenv("XDG_DATA_HOME", "/some/data", 1);
    EXPECT_EQ(HomeTrashFolder(), "/some/data/Trash");
    ::setenv("XDG_DATA_HOME", "/some/data//", 1);
    EXPECT_EQ(HomeTrashFolder(), "/some/data/Trash");
    ::setenv("HOME", "/home/someone", 1);
    for (const char* unusable : {"", "relative/data"}) {
        ::setenv("XDG_DATA_HOME", unusable, 1);
        EXPECT_EQ(HomeTrashFolder(), "/home/someone/.local/share/Trash") << unusable;
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HomeTrashFolder(), "/home/someone/.local/share/Trash");
}

TEST_F(TrashTest, AnEntryOnTheHomeVolumeGoesToTheHomeTrashWithAnExactInfo) {
    const std::string entry = m_work / kOddName;
    const std::string content = Pattern(70000, 1);
    WriteFile(entry, content);
    const ino_t inode = LStat(entry).st_ino;

    TrashPlace place;
    const time_t before = ::time(nullptr);
    ASSERT_EQ(TrashAt(entry, place), 0);
    const time_t after = ::time(nullptr);

    EXPECT_FALSE(Exists(entry));
    EXPECT_EQ(place.file, trash() + "/files/" + kOddName);
    EXPECT_EQ(place.info, trash() + "/info/" + kOddName + ".trashinfo");
    EXPECT_EQ(ReadFile(place.file), content);
    EXPECT_EQ(LStat(place.file).st_ino, inode) << "renamed, not copied";
    ExpectInfo(place.info, m_work.path() + "/" + kOddNameEncoded, before, after);

    // The missing XDG_DATA_HOME and its missing parents are made private.
    for (const std::string& folder :
         {m_home / "a", m_home / "a/b", m_data, trash(), trash() + "/files", trash() + "/info"}) {
        EXPECT_EQ(ModeOf(folder), 0700u) << folder;
    }
    std::string recorded;
    ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
    EXPECT_EQ(recorded, entry);
}

TEST_F(TrashTest, TheEntryIsKeptUnderTheNameTheUserKnew) {
    // The engine first moves the old file aside under a hidden name.
    const std::string hidden = m_work / ".zanfeld-1-00000000000000aa.tmp";
    WriteFile(hidden, "old");
    TrashPlace place;
    ASSERT_EQ(TrashAt(hidden, place, m_work / "photo.jpg"), 0);
    EXPECT_FALSE(Exists(hidden));
    EXPECT_EQ(place.file, trash() + "/files/photo.jpg");
    EXPECT_EQ(ReadFile(place.file), "old");
    std::string recorded;
    ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
    EXPECT_EQ(recorded, m_work / "photo.jpg");
}

TEST_F(TrashTest, ClashingNamesAreAllKeptWithTheExtensionLast) {
    struct Case {
        std::string leaf;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"report.pdf", {"report.pdf", "report.2.pdf", "report.3.pdf"}},
        {"archive.tar.gz", {"archive.tar.gz", "archive.tar.2.gz"}},
        {".bashrc", {".bashrc", ".bashrc.2"}},
        {"README", {"README", "README.2"}},
        {kOddName, {kOddName, kOddName.substr(0, kOddName.size() - 4) + ".2.jpg"}},
    };
    for (const Case& c : cases) {
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const std::string folder = m_work / (c.leaf + "-" + std::to_string(i));
            const std::string entry = folder + "/" + c.leaf;
            WriteFile(entry, c.leaf + std::to_string(i));
            TrashPlace place;
            ASSERT_EQ(TrashAt(entry, place), 0) << entry;
            EXPECT_EQ(place.file, trash() + "/files/" + c.expected[i]);
            EXPECT_EQ(place.info, trash() + "/info/" + c.expected[i] + ".trashinfo");
            std::string recorded;
            ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
            EXPECT_EQ(recorded, entry);
        }
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(ReadFile(trash() + "/files/" + c.expected[i]), c.leaf + std::to_string(i));
        }
    }
}

TEST_F(TrashTest, ANameTakenInOnlyOneOfFilesAndInfoIsNotReused) {
    WriteFile(trash() + "/files/notes.txt", "left in files without an info");
    WriteFile(trash() + "/info/notes.2.txt.trashinfo", "an info whose entry is gone");
    const std::string entry = m_work / "notes.txt";
    WriteFile(entry, "mine");
    TrashPlace place;
    ASSERT_EQ(TrashAt(entry, place), 0);
    EXPECT_EQ(place.file, trash() + "/files/notes.3.txt");
    EXPECT_EQ(ReadFile(place.file), "mine");
    EXPECT_EQ(ReadFile(trash() + "/files/notes.txt"), "left in files without an info");
    EXPECT_EQ(ReadFile(trash() + "/info/notes.2.txt.trashinfo"), "an info whose entry is gone");
    EXPECT_EQ(Names(trash() + "/info"),
              (std::vector<std::string>{"notes.2.txt.trashinfo", "notes.3.txt.trashinfo"}));
}

TEST_F(TrashTest, ALongNameIsShortenedToFitItsInfoBetweenCharacters) {
    std::string leaf;
    while (leaf.size() < 245) leaf += "\xe7\x85\xa7";  // 照, three bytes each
    leaf += ".txt";
    const std::string entry = m_work / leaf;
    WriteFile(entry, "long");
    for (int round = 0; round < 2; ++round) {
        if (round == 1) WriteFile(entry, "long again");
        TrashPlace place;
        ASSERT_EQ(TrashAt(entry, place), 0);
        const std::string kept = LastName(place.file);
        EXPECT_LE(LastName(place.info).size(), 255u);
        EXPECT_EQ(LastName(place.info), kept + ".trashinfo");
        EXPECT_EQ(kept.substr(kept.size() - 4), ".txt");
        // Whole characters only before the number and the extension.
        const std::string stem = kept.substr(0, kept.find('.'));
        EXPECT_EQ(stem.size() % 3, 0u) << kept;
        EXPECT_EQ(leaf.compare(0, stem.size(), stem), 0);
        std::string recorded;
        ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
        EXPECT_EQ(recorded, entry) << "the info keeps the whole name";
    }
    EXPECT_EQ(Names(trash() + "/files").size(), 2u);
}

TEST_F(TrashTest, SymlinksAndFoldersAreTrashedAsThemselves) {
    WriteFile(m_work / "target.txt", "target");
    MakeLink("target.txt", m_work / "link");
    MakeLink("/nowhere/at/all", m_work / "dangling");
    WriteFile(m_work / "album/inner/a.jpg", "a");
    WriteFile(m_work / "album/b.jpg", "b");
    MakeLink("b.jpg", m_work / "album/b-link");

    TrashPlace link, dangling, album;
    ASSERT_EQ(TrashAt(m_work / "link", link), 0);
    ASSERT_EQ(TrashAt(m_work / "dangling", dangling), 0);
    ASSERT_EQ(TrashAt(m_work / "album", album), 0);

    EXPECT_TRUE(S_ISLNK(LStat(link.file).st_mode));
    EXPECT_EQ(LinkText(link.file), "target.txt");
    EXPECT_EQ(ReadFile(m_work / "target.txt"), "target") << "the link's target stays";
    EXPECT_TRUE(S_ISLNK(LStat(dangling.file).st_mode));
    EXPECT_EQ(LinkText(dangling.file), "/nowhere/at/all");
    EXPECT_EQ(Names(m_work.path()), (std::vector<std::string>{"target.txt"}));
    EXPECT_EQ(ReadFile(album.file + "/inner/a.jpg"), "a");
    EXPECT_EQ(ReadFile(album.file + "/b.jpg"), "b");
    EXPECT_EQ(LinkText(album.file + "/b-link"), "b.jpg");
}

TEST_F(TrashTest, BadRequestsAreRefusedBeforeAnythingIsWritten) {
    WriteFile(m_work / "kept.txt", "kept");
    UniqueFd folder(::open(m_work.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(folder.valid());
    TrashPlace place;
    EXPECT_EQ(MoveToTrashAt(folder.get(), "missing.txt", m_work / "missing.txt", place), ENOENT);
    for (const std::string& name : {std::string(), std::string("."), std::string(".."),
                                    std::string("sub/kept.txt"), std::string("kept\0.txt", 9)}) {
        EXPECT_EQ(MoveToTrashAt(folder.get(), name, m_work / "kept.txt", place), EINVAL) << name;
    }
    EXPECT_EQ(MoveToTrashAt(folder.get(), "kept.txt", "kept.txt", place), EINVAL);
    EXPECT_EQ(MoveToTrashAt(folder.get(), "kept.txt", "", place), EINVAL);
    EXPECT_EQ(ReadFile(m_work / "kept.txt"), "kept");
    EXPECT_FALSE(Exists(m_data)) << "no Trash made for nothing";
}

TEST_F(TrashTest, AnUnusableHomeTrashLeavesTheEntryWhereItIs) {
    const std::string entry = m_work / "keep me.txt";
    WriteFile(entry, "precious");
    WriteFile(trash(), "a file where the Trash should be");
    TrashPlace place;
    EXPECT_EQ(TrashAt(entry, place), ENOTDIR);
    EXPECT_EQ(ReadFile(entry), "precious");
    EXPECT_EQ(ReadFile(trash()), "a file where the Trash should be");
}

TEST_F(TrashTest, AHomeTrashWhoseFilesLieOnAnotherVolumeIsRefused) {
    TempDir elsewhere("/dev/shm");
    if (!OnDifferentDevices(m_work.path(), elsewhere.path())) GTEST_SKIP() << "one file system";
    MakeDir(trash());
    MakeLink(elsewhere.path(), trash() + "/files");
    const std::string entry = m_work / "keep me.txt";
    WriteFile(entry, "precious");
    TrashPlace place;
    EXPECT_EQ(TrashAt(entry, place), EXDEV);
    EXPECT_EQ(ReadFile(entry), "precious");
    EXPECT_TRUE(Names(elsewhere.path()).empty()) << "nothing copied across";
    EXPECT_TRUE(NamesIfAny(trash() + "/info").empty());
}

// Each step that can fail leaves the entry untouched and no .trashinfo.
TEST_F(TrashTest, AFailedStepLeavesTheEntryInPlaceAndNoInfoBehind) {
    struct Fault {
        SysOp op;
        int error;
    };
    const std::vector<Fault> faults = {{SysOp::Rename, EIO},   {SysOp::Rename, EXDEV},
                                       {SysOp::Write, ENOSPC}, {SysOp::Fdatasync, EIO},
                                       {SysOp::Close, EDQUOT}, {SysOp::Open, EACCES},
                                       {SysOp::Mkdir, EROFS}};
    const std::string entry = m_work / "keep me.txt";
    const std::string content = Pattern(5000, 7);
    WriteFile(entry, content);
    const ino_t inode = LStat(entry).st_ino;
    for (const Fault& fault : faults) {
        if (fault.op == SysOp::Mkdir) fs::remove_all(m_data);
        FaultySys faulty;
        faulty.failOn(fault.op, fault.error, 0);
        TrashPlace place;
        {
            ScopedSys scoped(faulty);
            EXPECT_EQ(TrashAt(entry, place), fault.error) << static_cast<int>(fault.op);
        }
        EXPECT_EQ(ReadFile(entry), content);
        EXPECT_EQ(LStat(entry).st_ino, inode);
        EXPECT_TRUE(NamesIfAny(trash() + "/info").empty()) << static_cast<int>(fault.op);
        EXPECT_TRUE(NamesIfAny(trash() + "/files").empty()) << static_cast<int>(fault.op);
    }
}

TEST_F(TrashTest, ANameTakenInFilesMeanwhileMovesOnToTheNextNumber) {
    const std::string entry = m_work / "raced.txt";
    WriteFile(entry, "mine");
    MakeDir(trash() + "/files");
    FaultySys faulty;
    faulty.beforeCall(SysOp::Rename,
                      [&] { WriteFile(trash() + "/files/raced.txt", "someone else's"); });
    TrashPlace place;
    {
        ScopedSys scoped(faulty);
        ASSERT_EQ(TrashAt(entry, place), 0);
    }
    EXPECT_EQ(place.file, trash() + "/files/raced.2.txt");
    EXPECT_EQ(ReadFile(place.file), "mine");
    EXPECT_EQ(ReadFile(trash() + "/files/raced.txt"), "someone else's");
    EXPECT_EQ(Names(trash() + "/info"), (std::vector<std::string>{"raced.2.txt.trashinfo"}));
}

TEST_F(TrashTest, WithoutRenameNoReplaceEntriesStillMoveWithoutACopy) {
    WriteFile(m_work / "file.txt", "file");
    WriteFile(m_work / "folder/inside.txt", "inside");
    for (const char* name : {"file.txt", "folder"}) {
        const std::string entry = m_work / name;
        const ino_t inode = LStat(entry).st_ino;
        FaultySys faulty;
        faulty.failOn(SysOp::Rename, EINVAL);  // as a file system without RENAME_NOREPLACE
        TrashPlace place;
        {
            ScopedSys scoped(faulty);
            ASSERT_EQ(TrashAt(entry, place), 0) << name;
        }
        EXPECT_FALSE(Exists(entry));
        EXPECT_EQ(LStat(place.file).st_ino, inode) << name;
        EXPECT_EQ(LStat(place.file).st_nlink, S_ISDIR(LStat(place.file).st_mode) ? 2u : 1u);
        EXPECT_TRUE(Exists(place.info));
    }
    EXPECT_EQ(ReadFile(trash() + "/files/folder/inside.txt"), "inside");
}

TEST_F(TrashTest, RestorePutsEntriesBackAsTheyWere) {
    const std::string file = m_work / kOddName;
    const std::string content = Pattern(200000, 3);
    WriteFile(file, content, 1500000000);
    MakeLink("../elsewhere", m_work / "link");
    WriteFile(m_work / "folder/deep/x.bin", "x");
    for (const std::string& entry : {file, m_work / "link", m_work / "folder"}) {
        const struct stat before = LStat(entry);
        TrashPlace place;
        ASSERT_EQ(TrashAt(entry, place), 0);
        ASSERT_FALSE(Exists(entry));
        ASSERT_EQ(RestoreFromTrash(place, entry), 0) << entry;
        const struct stat after = LStat(entry);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_FALSE(Exists(place.file));
        EXPECT_FALSE(Exists(place.info));
    }
    EXPECT_EQ(ReadFile(file), content);
    EXPECT_EQ(LinkText(m_work / "link"), "../elsewhere");
    EXPECT_EQ(ReadFile(m_work / "folder/deep/x.bin"), "x");
    EXPECT_TRUE(Names(trash() + "/files").empty());
    EXPECT_TRUE(Names(trash() + "/info").empty());
}

TEST_F(TrashTest, RestoreNeverReplacesAndLeavesTheEntryInTheTrash) {
    const std::string entry = m_work / "a.txt";
    WriteFile(entry, "old");
    TrashPlace place;
    ASSERT_EQ(TrashAt(entry, place), 0);

    WriteFile(entry, "new");
    EXPECT_EQ(RestoreFromTrash(place, entry), EEXIST);
    EXPECT_EQ(ReadFile(entry), "new");
    ASSERT_EQ(::unlink(entry.c_str()), 0);
    MakeLink("/nowhere", entry);
    EXPECT_EQ(RestoreFromTrash(place, entry), EEXIST) << "a dangling link takes the name too";
    EXPECT_EQ(LinkText(entry), "/nowhere");
    MakeDir(m_work / "empty");
    EXPECT_EQ(RestoreFromTrash(place, m_work / "empty"), EEXIST);

    EXPECT_EQ(RestoreFromTrash(place, m_work / "gone/a.txt"), ENOENT);
    EXPECT_FALSE(Exists(m_work / "gone"));
    WriteFile(m_work / "plain", "not a folder");
    EXPECT_EQ(RestoreFromTrash(place, m_work / "plain/a.txt"), ENOTDIR);

    TempDir other("/dev/shm");
    if (OnDifferentDevices(m_work.path(), other.path())) {
        EXPECT_EQ(RestoreFromTrash(place, other / "a.txt"), EXDEV);
        EXPECT_TRUE(Names(other.path()).empty());
    }
    EXPECT_EQ(ReadFile(place.file), "old");
    EXPECT_TRUE(IsFile(place.info));
    ASSERT_EQ(RestoreFromTrash(place, m_work / "a (restored).txt"), 0);
    EXPECT_EQ(ReadFile(m_work / "a (restored).txt"), "old");
}

TEST_F(TrashTest, RestoreWantsTheEntryAndItsOwnInfo) {
    WriteFile(m_work / "one.txt", "one");
    WriteFile(m_work / "two.txt", "two");
    TrashPlace one, two;
    ASSERT_EQ(TrashAt(m_work / "one.txt", one), 0);
    ASSERT_EQ(TrashAt(m_work / "two.txt", two), 0);

    EXPECT_EQ(RestoreFromTrash(TrashPlace{one.file, two.info}, m_work / "one.txt"), EINVAL);
    EXPECT_EQ(RestoreFromTrash(TrashPlace{one.file, one.file}, m_work / "one.txt"), EINVAL);
    EXPECT_EQ(RestoreFromTrash(one, "relative/one.txt"), EINVAL);
    // Another Trash's info under the same name does not vouch for this entry.
    WriteFile(m_work / "fake/info/one.txt.trashinfo", "[Trash Info]\nPath=/x\n");
    EXPECT_EQ(RestoreFromTrash(TrashPlace{one.file, m_work / "fake/info/one.txt.trashinfo"},
                               m_work / "one.txt"),
              EINVAL);
    // Without its info the entry may have been emptied and its name reused.
    ASSERT_EQ(::unlink(one.info.c_str()), 0);
    EXPECT_EQ(RestoreFromTrash(one, m_work / "one.txt"), ENOENT);
    EXPECT_EQ(ReadFile(one.file), "one");
    EXPECT_FALSE(Exists(m_work / "one.txt"));
    // An info whose entry is gone restores nothing.
    ASSERT_EQ(::unlink(two.file.c_str()), 0);
    EXPECT_EQ(RestoreFromTrash(two, m_work / "two.txt"), ENOENT);
    EXPECT_TRUE(IsFile(two.info));
}

TEST_F(TrashTest, RestoreWithoutRenameNoReplaceStillNeverReplaces) {
    WriteFile(m_work / "file.txt", "file");
    WriteFile(m_work / "folder/inside.txt", "inside");
    for (const char* name : {"file.txt", "folder"}) {
        const std::string entry = m_work / name;
        const ino_t inode = LStat(entry).st_ino;
        TrashPlace place;
        ASSERT_EQ(TrashAt(entry, place), 0);
        MakeDir(entry);  // an empty folder a plain rename would replace
        {
            FaultySys faulty;
            faulty.failOn(SysOp::Rename, EINVAL, 0);
            ScopedSys scoped(faulty);
            EXPECT_EQ(RestoreFromTrash(place, entry), EEXIST) << name;
        }
        EXPECT_TRUE(IsDir(entry));
        EXPECT_TRUE(Names(entry).empty());
        EXPECT_EQ(LStat(place.file).st_ino, inode);
        ASSERT_EQ(::rmdir(entry.c_str()), 0);
        {
            FaultySys faulty;
            faulty.failOn(SysOp::Rename, EINVAL);
            ScopedSys scoped(faulty);
            ASSERT_EQ(RestoreFromTrash(place, entry), 0) << name;
        }
        EXPECT_EQ(LStat(entry).st_ino, inode);
        EXPECT_FALSE(Exists(place.file));
        EXPECT_FALSE(Exists(place.info));
    }
    EXPECT_EQ(ReadFile(m_work / "file.txt"), "file");
    EXPECT_EQ(ReadFile(m_work / "folder/inside.txt"), "inside");
}

TEST_F(TrashTest, ReadTrashInfoDecodesAndToleratesOlderFiles) {
    struct Case {
        std::string where;  // the info's path below the test folder
        std::string text;
        int result;
        std::string path;  // expected; a leading '@' stands for the test folder
    };
    const std::vector<Case> cases = {
        {"Trash/info/a.trashinfo",
         "[Trash Info]\nPath=/home/u/" + kOddNameEncoded + "\nDeletionDate=2024-01-02T03:04:05\n",
         0, "/home/u/" + kOddName},
        // As Qt 6.4 writes it: raw, with spaces, Chinese and a lone '%'.
        {"Trash/info/b.trashinfo", "[Trash Info]\nPath=/home/u/我的 文件 50%.txt\n", 0,
         "/home/u/我的 文件 50%.txt"},
        // Raw too, though "%25" looks encoded: the space gives it away.
        {"Trash/info/b2.trashinfo", "[Trash Info]\nPath=/home/u/50%25 off.txt\n", 0,
         "/home/u/50%25 off.txt"},
        {"Trash/info/c.trashinfo", "[Other]\nPath=/wrong\n[Trash Info]\r\nPath = /right%21\r\n", 0,
         "/right!"},
        {"Trash/info/d.trashinfo", "[Trash Info]\nDeletionDate=2024-01-02T03:04:05\n", EINVAL, ""},
        {"Trash/info/e.trashinfo", "Path=/outside/a/group\n", EINVAL, ""},
        {"Trash/info/f.trashinfo", "[Trash Info]\nPath=/a%00b\n", EINVAL, ""},
        {"vol/.Trash-1000/info/g.trashinfo", "[Trash Info]\nPath=dir/g%20h.txt\n", 0,
         "@/vol/dir/g h.txt"},
        {"vol/.Trash/1000/info/h.trashinfo", "[Trash Info]\nPath=dir/h.txt\n", 0,
         "@/vol/dir/h.txt"},
        {"data/Trash/info/i.trashinfo", "[Trash Info]\nPath=rel/i.txt\n", 0, "@/data/rel/i.txt"},
        {"vol/.Trash-1000/info/j.trashinfo", "[Trash Info]\nPath=../j.txt\n", EINVAL, ""},
    };
    for (const Case& c : cases) {
        const std::string info = m_work / c.where;
        WriteFile(info, c.text);
        std::string path = "untouched";
        EXPECT_EQ(ReadTrashInfo(info, path), c.result) << c.where;
        std::string expected = c.path;
        if (!expected.empty() && expected[0] == '@') expected = m_work.path() + expected.substr(1);
        if (c.result == 0) {
            EXPECT_EQ(path, expected) << c.where;
        }
    }
    std::string path;
    EXPECT_EQ(ReadTrashInfo(m_work / "missing.trashinfo", path), ENOENT);
}

TEST(TrashPath, EveryByteSurvivesEncoding) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string encoded = EncodeTrashPath("/" + all);
    for (const char c : encoded) {
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) ||
                    std::string("-_.!~*'()/%").find(c) != std::string::npos)
            << static_cast<int>(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(EncodeTrashPath("/a b/c%d/é"), "/a%20b/c%25d/%C3%A9");
    TempDir dir;
    WriteFile(dir / "x.trashinfo", "[Trash Info]\nPath=" + encoded + "\n");
    std::string decoded;
    ASSERT_EQ(ReadTrashInfo(dir / "x.trashinfo", decoded), 0);
    EXPECT_EQ(decoded, "/" + all);
}

// /dev/shm, another file system than /tmp: its own .Trash-$uid at the top
// that the tests stand in for its real one.
TEST_F(TrashTest, AnEntryOnAnotherVolumeGoesToItsTopFolderWithARelativePath) {
    TempDir shm("/dev/shm");
    if (!OnDifferentDevices(m_work.path(), shm.path())) GTEST_SKIP() << "/dev/shm is not apart";
    const std::string own = test::TestVolumeFolder("/dev/shm") + "/.Trash-" + kUid;
    const bool hadOwn = Exists(own);
    TrashPlace place;
    AtExit cleanUp([&] {
        // Only what this test made goes.
        if (!place.file.empty()) fs::remove_all(place.file);
        if (!place.info.empty()) ::unlink(place.info.c_str());
        if (!hadOwn) {
            ::rmdir((own + "/files").c_str());
            ::rmdir((own + "/info").c_str());
            ::rmdir(own.c_str());
        }
    });
    const std::string folderName = LastName(shm.path());
    const std::string leaf = folderName + " " + kOddName;  // unique in a shared Trash
    const std::string entry = shm / ("sub dir/" + leaf);
    WriteFile(entry, "on tmpfs");

    const time_t before = ::time(nullptr);
    ASSERT_EQ(TrashAt(entry, place), 0);
    const time_t after = ::time(nullptr);
    EXPECT_FALSE(Exists(entry));
    EXPECT_EQ(place.file, own + "/files/" + leaf);
    EXPECT_EQ(place.info, own + "/info/" + leaf + ".trashinfo");
    EXPECT_EQ(ReadFile(place.file), "on tmpfs");
    ExpectInfo(place.info, folderName + "/sub%20dir/" + folderName + "%20" + kOddNameEncoded,
               before, after);
    if (!hadOwn) {
        EXPECT_EQ(ModeOf(own), 0700u);
    }
    EXPECT_FALSE(Exists(m_data)) << "the home Trash is not for other volumes";
    std::string recorded;
    ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
    EXPECT_EQ(recorded, entry);

    ASSERT_EQ(RestoreFromTrash(place, entry), 0);
    EXPECT_EQ(ReadFile(entry), "on tmpfs");
    EXPECT_FALSE(Exists(place.info));
    place = TrashPlace{};
}

// A volume of the test's own: a folder of /dev/shm bind-mounted into /tmp,
// so that its top folder (the mount point) can hold whatever a case needs.
class Volume {
  public:
    Volume() : m_bind(m_source.path(), m_host / "vol") {}
    const std::string& error() const { return m_bind.error(); }
    std::string top() const { return m_host / "vol"; }
    std::string host() const { return m_host.path(); }

  private:
    TempDir m_source{"/dev/shm"};
    TempDir m_host{"/tmp"};
    BindMount m_bind;  // unmounted before the folders go
};

#define NEED_VOLUME(volume) \
    if (!(volume).error().empty()) GTEST_SKIP() << (volume).error()

TEST_F(TrashTest, AStickyDotTrashIsPreferredOnAVolume) {
    Volume volume;
    NEED_VOLUME(volume);
    MakeDir(volume.top() + "/.Trash");
    ASSERT_EQ(::chmod((volume.top() + "/.Trash").c_str(), 01777), 0);
    const std::string entry = volume.top() + "/photos/a b.jpg";
    WriteFile(entry, "a");
    TrashPlace place;
    const time_t before = ::time(nullptr);
    ASSERT_EQ(TrashAt(entry, place), 0);
    const time_t after = ::time(nullptr);
    const std::string own = volume.top() + "/.Trash/" + kUid;
    EXPECT_EQ(place.file, own + "/files/a b.jpg");
    EXPECT_EQ(ReadFile(place.file), "a");
    EXPECT_EQ(ModeOf(own), 0700u);
    ExpectInfo(place.info, "photos/a%20b.jpg", before, after);
    EXPECT_FALSE(Exists(volume.top() + "/.Trash-" + kUid));
    std::string recorded;
    ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
    EXPECT_EQ(recorded, entry);
}

TEST_F(TrashTest, ADotTrashThatIsNoStickyFolderOfItsOwnIsPassedOver) {
    struct Case {
        const char* what;
        std::function<void(const std::string& top)> make;
    };
    const std::vector<Case> cases = {
        {"not sticky", [](const std::string& top) { MakeDir(top + "/.Trash"); }},
        {"a symlink to a sticky folder",
         [](const std::string& top) {
             MakeDir(top + "/decoy");
             ASSERT_EQ(::chmod((top + "/decoy").c_str(), 01777), 0);
             MakeLink("decoy", top + "/.Trash");
         }},
        {"sticky, but its $uid folder is someone else's",
         [](const std::string& top) {
             MakeDir(top + "/.Trash/" + kUid);
             ASSERT_EQ(::chmod((top + "/.Trash").c_str(), 01777), 0);
             ASSERT_EQ(::chown((top + "/.Trash/" + kUid).c_str(), 4242, 4242), 0);
         }},
    };
    for (const Case& c : cases) {
        Volume volume;
        NEED_VOLUME(volume);
        c.make(volume.top());
        const std::string entry = volume.top() + "/x.txt";
        WriteFile(entry, "x");
        TrashPlace place;
        ASSERT_EQ(TrashAt(entry, place), 0) << c.what;
        EXPECT_EQ(place.file, volume.top() + "/.Trash-" + kUid + "/files/x.txt") << c.what;
        EXPECT_EQ(ReadFile(place.file), "x");
        for (const std::string& untouched :
             {volume.top() + "/decoy", volume.top() + "/.Trash/" + kUid}) {
            if (IsDir(untouched)) {
                EXPECT_TRUE(Names(untouched).empty()) << c.what;
            }
        }
    }
}

TEST_F(TrashTest, AnOwnTrashThatIsNotOursAloneIsRefused) {
    struct Case {
        const char* what;
        int error;
        std::function<void(const std::string& top)> make;
    };
    const std::string own = "/.Trash-" + kUid;
    const std::vector<Case> cases = {
        {"a symlink", ELOOP,
         [&](const std::string& top) {
             MakeDir(top + "/decoy");
             MakeLink("decoy", top + own);
         }},
        {"someone else's", EPERM,
         [&](const std::string& top) {
             MakeDir(top + own);
             ASSERT_EQ(::chown((top + own).c_str(), 4242, 4242), 0);
         }},
        {"a file", ENOTDIR, [&](const std::string& top) { WriteFile(top + own, "file"); }},
        {"with files/ a symlink", ELOOP,
         [&](const std::string& top) {
             MakeDir(top + "/decoy");
             MakeDir(top + own);
             MakeLink("../decoy", top + own + "/files");
         }},
        {"with info/ a symlink", ELOOP,
         [&](const std::string& top) {
             MakeDir(top + "/decoy");
             MakeDir(top + own + "/files");
             MakeLink("../decoy", top + own + "/info");
         }},
    };
    for (const Case& c : cases) {
        Volume volume;
        NEED_VOLUME(volume);
        c.make(volume.top());
        const std::string entry = volume.top() + "/keep.txt";
        WriteFile(entry, "keep");
        TrashPlace place;
        EXPECT_EQ(TrashAt(entry, place), c.error) << c.what;
        EXPECT_EQ(ReadFile(entry), "keep") << c.what;
        if (IsDir(volume.top() + "/decoy")) {
            EXPECT_TRUE(Names(volume.top() + "/decoy").empty()) << c.what;
        }
        EXPECT_FALSE(Exists(m_data)) << "no falling back to the home Trash";
    }
}

// The mount, not the device, decides: a bind mount of the home volume is a
// volume of its own, as renames out of it fail.
TEST_F(TrashTest, ABindMountOfTheHomeVolumeKeepsItsOwnTrash) {
    TempDir source("/tmp");
    TempDir host("/tmp");
    BindMount bind(source.path(), host / "vol");
    if (!bind.error().empty()) GTEST_SKIP() << bind.error();
    const std::string top = host / "vol";
    const std::string entry = top + "/sub/b.txt";
    WriteFile(entry, "b");
    TrashPlace place;
    const time_t before = ::time(nullptr);
    ASSERT_EQ(TrashAt(entry, place), 0);
    const time_t after = ::time(nullptr);
    EXPECT_EQ(place.file, top + "/.Trash-" + kUid + "/files/b.txt");
    ExpectInfo(place.info, "sub/b.txt", before, after);
    EXPECT_EQ(ReadFile(source / (".Trash-" + kUid + "/files/b.txt")), "b");
    EXPECT_FALSE(Exists(m_data));
    ASSERT_EQ(RestoreFromTrash(place, entry), 0);
    EXPECT_EQ(ReadFile(entry), "b");
}

// Which folder is the top is told by device and inode: a path through a
// symlink still records the path below the top folder.
TEST_F(TrashTest, APathThroughASymlinkIsRecordedBelowTheTopFolder) {
    Volume volume;
    NEED_VOLUME(volume);
    MakeLink(volume.top(), volume.host() + "/shortcut");
    const std::string entry = volume.top() + "/deep/c.txt";
    WriteFile(entry, "c");
    const std::string known = volume.host() + "/shortcut/deep/c.txt";
    TrashPlace place;
    const time_t before = ::time(nullptr);
    ASSERT_EQ(TrashAt(known, place), 0);
    const time_t after = ::time(nullptr);
    EXPECT_EQ(place.file, volume.host() + "/shortcut/.Trash-" + kUid + "/files/c.txt");
    EXPECT_EQ(ReadFile(volume.top() + "/.Trash-" + kUid + "/files/c.txt"), "c");
    ExpectInfo(place.info, "deep/c.txt", before, after);
    ASSERT_EQ(RestoreFromTrash(place, known), 0);
    EXPECT_EQ(ReadFile(entry), "c");
}

// A file about to be replaced gets a second name in the Trash, its
// .trashinfo whole; what a process killed in the middle of that leaves is
// cleared by what undo calls, and nothing else is: a second name of a file
// still in place and a claimed name whose entry never came go, an entry of
// another file recorded for the same path stays.
TEST_F(TrashTest, ASecondNameAheadOfAReplacementAndWhatAKillLeavesOfIt) {
    const std::string entry = m_work / "report.txt";
    WriteFile(entry, "older");
    TrashPlace place;
    FileId linked;
    {
        UniqueFd folder(::open(m_work.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        ASSERT_EQ(LinkIntoTrashAt(folder.get(), "report.txt", entry, place, linked), 0);
    }
    EXPECT_EQ(place.file, trash() + "/files/report.txt");
    EXPECT_EQ(LStat(entry).st_nlink, 2u);
    EXPECT_EQ(linked.inode, static_cast<uint64_t>(LStat(entry).st_ino));
    std::string recorded;
    ASSERT_EQ(ReadTrashInfo(place.info, recorded), 0);
    EXPECT_EQ(recorded, entry);
    // Not replaced after all: the second name goes; a replaced one stays.
    EXPECT_EQ(ForgetTrashed(place, entry), 0);
    EXPECT_EQ(NamesIfAny(trash() + "/files"), std::vector<std::string>{});
    EXPECT_EQ(NamesIfAny(trash() + "/info"), std::vector<std::string>{});

    // Left by kills: a second name of the file still in place (report.txt),
    // a claimed name with no entry (report.2.txt), and an entry of another
    // file once at the same path (report.3.txt), which is the user's.
    {
        UniqueFd folder(::open(m_work.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        ASSERT_EQ(LinkIntoTrashAt(folder.get(), "report.txt", entry, place, linked), 0);
        TrashPlace claimed;
        ASSERT_EQ(LinkIntoTrashAt(folder.get(), "report.txt", entry, claimed, linked), 0);
        ASSERT_EQ(::unlink(claimed.file.c_str()), 0);
    }
    WriteFile(m_work / "other/report.txt", "an earlier report");
    TrashPlace earlier;
    ASSERT_EQ(TrashAt(m_work / "other/report.txt", earlier, entry), 0);
    EXPECT_TRUE(ClearHalfTrashed(entry)) << "the file in place had a second name";
    EXPECT_FALSE(ClearHalfTrashed(entry));
    EXPECT_EQ(NamesIfAny(trash() + "/files"), std::vector<std::string>{"report.3.txt"});
    EXPECT_EQ(NamesIfAny(trash() + "/info"), std::vector<std::string>{"report.3.txt.trashinfo"});
    EXPECT_EQ(ReadFile(entry), "older");
    EXPECT_EQ(LStat(entry).st_nlink, 1u);
}

}  // namespace
}  // namespace zanfeld
