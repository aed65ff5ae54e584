#include <dirent.h>
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "ListFile.h"
#include "Sys.h"
#include "TempDir.h"
#include "Walks.h"

namespace zanfeld {
namespace {

using test::MakeDir;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Entries = std::vector<std::string>;

std::vector<std::string> NamesIn(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        ::closedir(d);
    }
    return names;
}

class ListFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        a = tmp / "a.txt";
        b = tmp / "b.txt";
        c = tmp / "c d.txt";
        WriteFile(a, "a");
        WriteFile(b, "b");
        WriteFile(c, "c");
        MakeDir(tmp / "folder");
        MakeDir(tmp / "lists");
    }
    TempDir tmp;
    std::string a, b, c;
};

TEST(SplitListLinesTest, EveryLineEndAndTheFirstNul) {
    EXPECT_EQ(SplitListLines("x\r\ny\r\n"), (Entries{"x", "y"}));
    EXPECT_EQ(SplitListLines("x\ny\nz"), (Entries{"x", "y", "z"}));
    EXPECT_EQ(SplitListLines("x\ry\r"), (Entries{"x", "y"}));
    EXPECT_EQ(SplitListLines("x\n\r\ny\r\rz\n\n"), (Entries{"x", "y", "z"}));
    EXPECT_EQ(SplitListLines(std::string_view("x\r\ny\0z\r\nw\r\n", 12)), (Entries{"x", "y"}));
    EXPECT_EQ(SplitListLines(std::string_view("\0x\r\n", 4)), Entries{});
    // Lines are taken as they stand: no trimming, no unquoting.
    EXPECT_EQ(SplitListLines(" x \t\n\"y\""), (Entries{" x \t", "\"y\""}));
    EXPECT_EQ(SplitListLines(""), Entries{});
}

TEST_F(ListFileTest, ExportWritesEveryEntryWithCrLfAndImportRestoresIt) {
    const std::string list = tmp / "lists/file.lst";
    const ListFileResult out = ExportListFile(list, {b, a, b, c});
    ASSERT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.count, 4u);
    EXPECT_EQ(out.skipped, 0u);
    EXPECT_EQ(ReadFile(list), b + "\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n");

    SourceList restored;
    const ListFileResult in = ImportListFile(list, restored, ListKind::Files);
    ASSERT_TRUE(in.ok) << in.error;
    EXPECT_EQ(in.count, 3u);
    EXPECT_EQ(restored.entries(), (Entries{b, a, c}));  // the duplicate comes back once

    // A second import adds nothing; entries already listed stay ahead.
    EXPECT_EQ(ImportListFile(list, restored, ListKind::Files).count, 0u);
    SourceList partial;
    partial.AddIfAbsent(c);
    ImportListFile(list, partial, ListKind::Files);
    EXPECT_EQ(partial.entries(), (Entries{c, b, a}));
}

TEST_F(ListFileTest, ExportReplacesAnExistingFileAndKeepsItsMode) {
    const std::string list = tmp / "lists/file.lst";
    WriteFile(list, std::string(100000, 'z'));
    ASSERT_EQ(::chmod(list.c_str(), 0640), 0);
    ASSERT_TRUE(ExportListFile(list, {a}).ok);
    EXPECT_EQ(ReadFile(list), a + "\r\n");
    struct stat st;
    ASSERT_EQ(::stat(list.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(NamesIn(tmp / "lists"), (std::vector<std::string>{"file.lst"}));
}

TEST_F(ListFileTest, ExportThroughASymlinkRewritesTheLinkedFile) {
    const std::string real = tmp / "lists/real.lst";
    const std::string link = tmp / "link.lst";
    WriteFile(real, "old\r\n");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(ExportListFile(link, {a}).ok);
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(real), a + "\r\n");
}

TEST_F(ListFileTest, EntriesHoldingALineBreakAreLeftOutAndCounted) {
    const std::string list = tmp / "lists/file.lst";
    const ListFileResult out = ExportListFile(
        list, {a, tmp / "x\ny.txt", b, tmp / "cr\r.txt", std::string("n\0ul", 4), c});
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.count, 3u);
    EXPECT_EQ(out.skipped, 3u);
    EXPECT_EQ(ReadFile(list), a + "\r\n" + b + "\r\n" + c + "\r\n");
}

TEST_F(ListFileTest, ImportTakesForeignLineEndsAndAnUnfinishedLastLine) {
    const std::string lf = tmp / "lists/lf.lst";
    const std::string cr = tmp / "lists/cr.lst";
    WriteFile(lf, a + "\n" + b + "\n\n" + c);
    WriteFile(cr, c + "\r" + a + "\r" + b);
    SourceList fromLf, fromCr;
    EXPECT_EQ(ImportListFile(lf, fromLf, ListKind::Files).count, 3u);
    EXPECT_EQ(fromLf.entries(), (Entries{a, b, c}));
    EXPECT_EQ(ImportListFile(cr, fromCr, ListKind::Files).count, 3u);
    EXPECT_EQ(fromCr.entries(), (Entries{c, a, b}));
}

TEST_F(ListFileTest, ImportStopsAtTheFirstNul) {
    const std::string list = tmp / "lists/nul.lst";
    WriteFile(list, a + "\r\n" + b + std::string("\0", 1) + "\r\n" + c + "\r\n");
    SourceList entries;
    ASSERT_TRUE(ImportListFile(list, entries, ListKind::Files).ok);
    EXPECT_EQ(entries.entries(), (Entries{a, b}));
}

TEST_F(ListFileTest, ImportAppliesTheWindowsExistenceTest) {
    const std::string folder = tmp / "folder";
    const std::string list = tmp / "lists/mixed.lst";
    WriteFile(list, a + "\r\n" + folder + "\r\n" + tmp / "missing.txt" + "\r\n" + " " + a + "\r\n" +
                        b + "\r\n");
    SourceList files, folders;
    EXPECT_EQ(ImportListFile(list, files, ListKind::Files).count, 2u);
    EXPECT_EQ(files.entries(), (Entries{a, b}));
    EXPECT_EQ(ImportListFile(list, folders, ListKind::Folders).count, 1u);
    EXPECT_EQ(folders.entries(), (Entries{folder}));
}

TEST_F(ListFileTest, ReportsFilesThatCannotBeOpenedOrCreated) {
    SourceList entries;
    entries.AddIfAbsent(a);
    const std::string missing = tmp / "lists/none.lst";
    ListFileResult in = ImportListFile(missing, entries, ListKind::Files);
    EXPECT_FALSE(in.ok);
    EXPECT_EQ(in.error, "Cannot open file \"" + missing + "\". No such file or directory");
    in = ImportListFile(tmp / "folder", entries, ListKind::Files);
    EXPECT_FALSE(in.ok);
    EXPECT_EQ(in.error, "Cannot open file \"" + tmp / "folder" + "\". Is a directory");
    EXPECT_EQ(entries.entries(), (Entries{a}));

    const std::string noFolder = tmp / "nowhere/file.lst";
    ListFileResult out = ExportListFile(noFolder, {a});
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, "Cannot create file \"" + noFolder + "\". No such file or directory");
    out = ExportListFile(tmp / "folder", {a});
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, "Cannot create file \"" + tmp / "folder" + "\". Is a directory");
    EXPECT_TRUE(NamesIn(tmp / "folder").empty());
}

// Fails every write with a full disk.
class FullDisk : public Sys {
  public:
    ssize_t write(int, const void*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

// Fails the final rename.
class RenameRefused : public Sys {
  public:
    int rename(const char*, const char*, unsigned int) override {
        errno = EXDEV;
        return -1;
    }
};

TEST_F(ListFileTest, FailedExportLeavesTheExistingListIntact) {
    const std::string list = tmp / "lists/file.lst";
    const std::string good = a + "\r\n" + b + "\r\n";
    WriteFile(list, good);
    {
        FullDisk full;
        ScopedSys scoped(full);
        const ListFileResult out = ExportListFile(list, {c, c, c});
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.error, "Cannot create file \"" + list + "\". No space left on device");
    }
    EXPECT_EQ(ReadFile(list), good);
    {
        RenameRefused refused;
        ScopedSys scoped(refused);
        EXPECT_FALSE(ExportListFile(list, {c}).ok);
    }
    EXPECT_EQ(ReadFile(list), good);
    EXPECT_EQ(NamesIn(tmp / "lists"), (std::vector<std::string>{"file.lst"}));
}

TEST_F(ListFileTest, LongLinesAndBinaryFilesAreHandled) {
    const std::string longList = tmp / "lists/long.lst";
    WriteFile(longList, std::string(1 << 20, 'x') + "\r\n" + a + "\r\n" +
                            std::string(1 << 20, '/') + "\n" + b);
    SourceList entries;
    ASSERT_TRUE(ImportListFile(longList, entries, ListKind::Files).ok);
    EXPECT_EQ(entries.entries(), (Entries{a, b}));

    std::mt19937 random(42);
    std::string noise(1 << 20, '\0');
    for (char& ch : noise) ch = static_cast<char>(1 + random() % 255);  // no NUL
    const std::string binary = tmp / "lists/binary.lst";
    WriteFile(binary, noise + "\n" + c + "\n");
    SourceList fromBinary;
    ASSERT_TRUE(ImportListFile(binary, fromBinary, ListKind::Files).ok);
    EXPECT_EQ(fromBinary.entries(), (Entries{c}));

    const std::string lines(200000, '\n');
    const std::string many = tmp / "lists/many.lst";
    WriteFile(many, lines + a);
    SourceList fromMany;
    EXPECT_EQ(ImportListFile(many, fromMany, ListKind::Files).count, 1u);
}

TEST_F(ListFileTest, NamesThatAreNotUtf8RoundTrip) {
    const std::string odd = tmp / "odd\xFF/caf\xE9 \x81\x40.txt";
    WriteFile(odd, "x");
    SourceList walked;
    IndexDisk(walked, tmp / "odd\xFF/");
    ASSERT_EQ(walked.entries(), (Entries{odd}));
    const std::string list = tmp / "lists/odd\xE9.lst";
    ASSERT_TRUE(ExportListFile(list, walked.entries()).ok);
    EXPECT_EQ(ReadFile(list), odd + "\r\n");
    SourceList restored;
    ASSERT_TRUE(ImportListFile(list, restored, ListKind::Files).ok);
    EXPECT_EQ(restored.entries(), (Entries{odd}));
}

}  // namespace
}  // namespace zanfeld
