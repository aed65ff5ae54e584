// List files against what is not a regular file and against lists too large
// to take: a device node or a pipe as the list file itself, as the target of
// an export (directly or through links) and as entries of a list; sparse and
// long lists over the bounds. Nothing that is not a regular file is opened or
// replaced, and a refused import adds nothing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "ListFile.h"
#include "SourceList.h"
#include "NonRegularFiles.h"
#include "Sys.h"
#include "TempDir.h"
#include "Walks.h"

namespace zanfeld {
namespace {

using test::EntryIdentity;
using test::FaultySys;
using test::IdentityOf;
using test::LStat;
using test::MakeDir;
using test::Names;
using test::ReadFile;
using test::SysOp;
using test::TempDir;
using test::WriteFile;
using Entries = std::vector<std::string>;

// A folder with a regular file, a link to it, a folder, a pipe, a device node
// (when the system lets us make one), a socket and links to the pipe and the
// device.
class ListFileGuardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeDir(m_tmp / "lists");
        MakeDir(m_tmp / "folder");
        WriteFile(file(), "data");
        ASSERT_EQ(::symlink(file().c_str(), fileLink().c_str()), 0);
        ASSERT_EQ(test::MakeFifo(fifo()), 0);
        ASSERT_EQ(::symlink(fifo().c_str(), fifoLink().c_str()), 0);
        ASSERT_EQ(test::MakeSocketFile(socket()), 0);
        const int error = test::MakeNullDevice(device());
        m_haveDevice = error == 0;
        if (!m_haveDevice) {
            ASSERT_TRUE(error == EPERM || error == EACCES) << std::strerror(error);
            m_noDevice = std::string("mknod refused here: ") + std::strerror(error);
        } else {
            ASSERT_EQ(::symlink(device().c_str(), deviceLink().c_str()), 0);
        }
    }
    std::string file() const { return m_tmp / "a.txt"; }
    std::string fileLink() const { return m_tmp / "a-link"; }
    std::string folder() const { return m_tmp / "folder"; }
    std::string fifo() const { return m_tmp / "pipe"; }
    std::string fifoLink() const { return m_tmp / "lists/pipe.lst"; }
    std::string socket() const { return m_tmp / "socket"; }
    std::string device() const { return m_tmp / "null"; }
    std::string deviceLink() const { return m_tmp / "lists/null.lst"; }

    TempDir m_tmp;
    bool m_haveDevice = false;
    std::string m_noDevice;
};

TEST_F(ListFileGuardTest, ExportNeverReplacesADeviceOrAPipe) {
    std::vector<std::string> targets = {fifo(), fifoLink(), socket()};
    if (m_haveDevice) {
        targets.push_back(device());
        targets.push_back(deviceLink());
    }
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const EntryIdentity before = IdentityOf(target);
        struct stat ownBefore;
        ASSERT_EQ(::stat(target.c_str(), &ownBefore), 0);
        FaultySys sys;
        ListFileResult out;
        {
            ScopedSys scoped(sys);
            out = ExportListFile(target, {file(), folder()});
        }
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.count, 0u);
        EXPECT_EQ(out.error,
                  "无法导出列表：“" + target + "”不是普通文件（设备、管道或套接字），未被替换。");
        EXPECT_EQ(sys.calls(SysOp::Open), 0);
        EXPECT_EQ(IdentityOf(target), before);  // a link stays the same link
        struct stat ownAfter;
        ASSERT_EQ(::stat(target.c_str(), &ownAfter), 0);
        EXPECT_EQ(ownAfter.st_ino, ownBefore.st_ino);
        EXPECT_EQ(ownAfter.st_mode, ownBefore.st_mode);
    }
    if (!m_haveDevice) GTEST_SKIP() << "device cases left out: " << m_noDevice;
}

TEST_F(ListFileGuardTest, ImportNeverOpensADeviceOrAPipeAsTheList) {
    std::vector<std::string> lists = {fifo(), fifoLink(), socket()};
    if (m_haveDevice) {
        lists.push_back(device());
        lists.push_back(deviceLink());
    }
    for (const std::string& list : lists) {
        SCOPED_TRACE(list);
        SourceList entries;
        entries.AddIfAbsent(file());
        FaultySys sys;
        ListFileResult in;
        {
            ScopedSys scoped(sys);
            in = ImportListFile(list, entries, ListKind::Files);
        }
        EXPECT_FALSE(in.ok);
        EXPECT_EQ(in.error,
                  "无法导入列表：“" + list + "”不是普通文件（设备、管道或套接字），未被打开。");
        EXPECT_EQ(sys.calls(SysOp::Open), 0);
        EXPECT_EQ(entries.entries(), Entries{file()});
    }
    if (!m_haveDevice) GTEST_SKIP() << "device cases left out: " << m_noDevice;
}

TEST_F(ListFileGuardTest, ImportTakesOnlyRegularFilesOrOnlyFolders) {
    Entries lines = {fifo(), file(), socket(), fifoLink(), folder(), fileLink()};
    if (m_haveDevice) {
        lines.insert(lines.begin(), device());
        lines.push_back(deviceLink());
    }
    std::string data;
    for (const std::string& line : lines) data += line + "\r\n";
    const std::string list = m_tmp / "lists/mixed.lst";
    WriteFile(list, data);

    FaultySys sys;
    SourceList files, folders;
    {
        ScopedSys scoped(sys);
        EXPECT_EQ(ImportListFile(list, files, ListKind::Files).count, 2u);
        EXPECT_EQ(ImportListFile(list, folders, ListKind::Folders).count, 1u);
    }
    EXPECT_EQ(files.entries(), (Entries{file(), fileLink()}));
    EXPECT_EQ(folders.entries(), Entries{folder()});
    EXPECT_EQ(sys.calls(SysOp::Open), 2);  // the list file, twice; no entry
    if (!m_haveDevice) GTEST_SKIP() << "device entries left out: " << m_noDevice;
}

TEST_F(ListFileGuardTest, DroppedDevicesAndPipesAreNotTaken) {
    Entries dropped = {fifo(), file(), socket(), fifoLink(), folder(), fileLink()};
    if (m_haveDevice) dropped.push_back(deviceLink());
    SourceList list;
    EXPECT_EQ(HandleDroppedFiles(list, dropped), 2u);
    EXPECT_EQ(list.entries(), (Entries{file(), fileLink()}));
    if (!m_haveDevice) GTEST_SKIP() << "device entries left out: " << m_noDevice;
}

// ---- bounds -------------------------------------------------------------

void MakeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

std::string TooLarge(const std::string& path) {
    return "无法导入列表：“" + path + "”太大（上限为 64 MiB 或 100 万行），未导入任何条目。";
}

class ListFileBoundsTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteFile(m_tmp / "a.txt", "a"); }
    TempDir m_tmp;
};

TEST_F(ListFileBoundsTest, AListOverTheSizeIsRefusedUnread) {
    const std::string list = m_tmp / "sparse.lst";
    MakeSparse(list, (65 << 20));
    SourceList entries;
    entries.AddIfAbsent(m_tmp / "a.txt");
    FaultySys sys;
    ListFileResult in;
    {
        ScopedSys scoped(sys);
        in = ImportListFile(list, entries, ListKind::Files);
    }
    EXPECT_FALSE(in.ok);
    EXPECT_EQ(in.error, TooLarge(list));
    EXPECT_EQ(sys.calls(SysOp::Open), 0);
    EXPECT_EQ(sys.calls(SysOp::Read), 0);
    EXPECT_EQ(entries.entries(), Entries{m_tmp / "a.txt"});

    // The bound itself is still taken: 64 MiB, here all NUL bytes, so no line.
    MakeSparse(list, kMaxListFileBytes);
    in = ImportListFile(list, entries, ListKind::Files);
    EXPECT_TRUE(in.ok) << in.error;
    EXPECT_EQ(in.count, 0u);
}

TEST_F(ListFileBoundsTest, AListOfMoreLinesIsRefusedBeforeAnythingIsAdded) {
    // 1,000,001 short lines, the last names an existing file.
    std::string data;
    const std::string missing = m_tmp / "m\n";
    for (size_t i = 0; i < kMaxListFileLines; ++i) data += missing;
    data += m_tmp / "a.txt";
    const std::string list = m_tmp / "long.lst";
    WriteFile(list, data);
    SourceList entries;
    FaultySys sys;
    ListFileResult in;
    {
        ScopedSys scoped(sys);
        in = ImportListFile(list, entries, ListKind::Files);
    }
    EXPECT_FALSE(in.ok);
    EXPECT_EQ(in.error, TooLarge(list));
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(sys.calls(SysOp::Stat), 1);  // the list file; no line was looked up

    // 1,000,000 lines, empty lines between them not counted, are taken.
    data.erase(0, missing.size());
    data.insert(0, "\r\n\n\r");
    WriteFile(list, data);
    in = ImportListFile(list, entries, ListKind::Files);
    EXPECT_TRUE(in.ok) << in.error;
    EXPECT_EQ(entries.entries(), Entries{m_tmp / "a.txt"});
}

// The lines are walked in the file's own bytes: the import of a list of about
// 60 MB grows the process by little more than that, where a string per line
// would take more than half as much again.
TEST_F(ListFileBoundsTest, AnImportTakesLittleMoreMemoryThanTheFile) {
    const std::string line = "/zanfeld-missing/" + std::string(42, 'x') + "\n";
    std::string data;
    data.reserve(line.size() * kMaxListFileLines);
    for (size_t i = 0; i < kMaxListFileLines; ++i) data += line;
    const std::string list = m_tmp / "big.lst";
    WriteFile(list, data);
    const size_t fileSize = data.size();
    std::string().swap(data);

    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        struct rusage before, after;
        ::getrusage(RUSAGE_SELF, &before);
        SourceList entries;
        const ListFileResult in = ImportListFile(list, entries, ListKind::Files);
        ::getrusage(RUSAGE_SELF, &after);
        const long grown = in.ok && entries.empty() ? after.ru_maxrss - before.ru_maxrss : -1;
        (void)!::write(report[1], &grown, sizeof grown);
        ::_exit(0);
    }
    ::close(report[1]);
    long grownKiB = -1;
    ASSERT_EQ(::read(report[0], &grownKiB, sizeof grownKiB), ssize_t(sizeof grownKiB));
    ::close(report[0]);
    ::waitpid(child, nullptr, 0);
    ASSERT_GE(grownKiB, 0) << "the import failed or added entries";
    const long fileKiB = static_cast<long>(fileSize / 1024);
    std::printf("[ memory   ] list of %ld KiB: grew by %ld KiB\n", fileKiB, grownKiB);
    EXPECT_LT(grownKiB, fileKiB + fileKiB / 4);
}

}  // namespace
}  // namespace zanfeld
