// Device nodes and named pipes among the files to sort. Opening some devices
// has effects of its own (a watchdog, a tape), and a pipe without a writer
// blocks whoever opens it: such entries are told by a look at their type,
// never opened, and counted as not placed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "FolderSort.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

class DevicesAndPipesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(m_dir / "src/tree/plain.txt", "plain");
        ASSERT_EQ(::mkfifo(Fifo().c_str(), 0600), 0);
        // A character device like /dev/null, made here.
        if (::mknod(Device().c_str(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            GTEST_SKIP() << "mknod refused (" << std::strerror(errno) << "); needs root";
        ASSERT_EQ(::symlink(Device().c_str(), LinkToDevice().c_str()), 0);
    }

    std::string Fifo() const { return m_dir / "src/tree/pipe.txt"; }
    std::string Device() const { return m_dir / "src/tree/device.txt"; }
    std::string LinkToDevice() const { return m_dir / "src/tree/link.txt"; }

    void ExpectNeverOpened() {
        for (const std::string& path : m_sys.opened()) {
            EXPECT_NE(path, Fifo());
            EXPECT_NE(path, Device());
            EXPECT_NE(path, LinkToDevice());
        }
    }

    std::string LastInfo() const {
        const auto infos = m_host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    TempDir m_dir;
    FaultySys m_sys;
    RecordingHost m_host;
};

TEST_F(DevicesAndPipesTest, AFileSortNeverOpensThemAndCountsThem) {
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        for (const SameFilePolicy policy :
             {SameFilePolicy::Rename, SameFilePolicy::Overwrite, SameFilePolicy::EditFileTime}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(policy)) +
                         (mode == TransferMode::Copy ? " copy" : " move"));
            SortOptions o;
            o.copyJobs = 1;  // calls counted on one thread
            o.page = SortPage::FileType;
            o.outputDir = m_dir / "out";
            o.transferMode = mode;
            o.sameFilePolicy = policy;
            // Moves across file systems copy: so that they, too, would have
            // to read the data.
            m_sys.reset();
            m_sys.moveAcrossDevices();
            m_host.calls.clear();
            {
                ScopedSys scoped(m_sys);
                RunFileSort(o, {Fifo(), Device(), LinkToDevice()}, m_host);
            }
            ExpectNeverOpened();
            const std::string text = LastInfo();
            EXPECT_EQ(FailedCount(text), 3u) << text;
            EXPECT_NE(text.find(Fifo() + "：" + ErrorText(kNotRegularFile)), std::string::npos)
                << text;
            EXPECT_TRUE(S_ISFIFO(LStat(Fifo()).st_mode));
            EXPECT_TRUE(S_ISCHR(LStat(Device()).st_mode));
            EXPECT_FALSE(Exists(m_dir / "out/.txt/pipe.txt"));
            EXPECT_FALSE(Exists(m_dir / "out/.txt/device.txt"));
        }
    }
}

TEST_F(DevicesAndPipesTest, RulesThatLookAtSizeOrTimeNeverOpenThem) {
    struct Case {
        SortPage page;
        DateSource dateSource;
        size_t counted;  // selected by the rule, then refused by the copy
    };
    // Size and last-write time are a regular file's: the others are passed
    // over. The entry's own time is anyone's, so they are selected, and then
    // counted as not placed.
    for (const Case c : {Case{SortPage::FileSize, DateSource::Modified, 0},
                         Case{SortPage::FileDate, DateSource::Modified, 0},
                         Case{SortPage::FileDate, DateSource::Created, 3}}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.page)) + " " +
                     std::to_string(static_cast<int>(c.dateSource)));
        SortOptions o;
        o.copyJobs = 1;  // calls counted on one thread
        o.page = c.page;
        o.outputDir = m_dir / "out";
        o.sizeText = "0";
        o.sizeCondition = SizeCondition::Greater;
        o.dateSource = c.dateSource;
        o.dateCondition = DateCondition::Later;
        o.thresholdDate = {2000, 1, 1};
        m_sys.reset();
        m_host.calls.clear();
        {
            ScopedSys scoped(m_sys);
            RunFileSort(o, {Fifo(), Device(), LinkToDevice()}, m_host);
        }
        ExpectNeverOpened();
        EXPECT_EQ(FailedCount(LastInfo()), c.counted) << LastInfo();
    }
}

TEST_F(DevicesAndPipesTest, AFolderCopyNeverOpensThemAndCountsThem) {
    for (const SameFilePolicy policy : {SameFilePolicy::Rename, SameFilePolicy::Overwrite,
                                        SameFilePolicy::Ask, SameFilePolicy::EditFileTime}) {
        SCOPED_TRACE(static_cast<int>(policy));
        SortOptions o;
        o.copyJobs = 1;  // calls counted on one thread
        o.page = SortPage::Keys;
        o.keywordText = "tree";
        o.outputDir = m_dir / "out";
        o.sameFilePolicy = policy;
        m_sys.reset();
        m_host.calls.clear();
        {
            ScopedSys scoped(m_sys);
            RunFolderSort(o, {m_dir / "src/tree"}, m_host);
        }
        ExpectNeverOpened();
        const std::string text = LastInfo();
        EXPECT_EQ(FailedCount(text), 3u) << text;
        EXPECT_NE(text.find(Device() + "：" + ErrorText(kNotRegularFile)), std::string::npos)
            << text;
        EXPECT_EQ(ReadFile(m_dir / "out/tree/tree/plain.txt"), "plain");
        const auto copied = Names(m_dir / "out/tree/tree");
        EXPECT_EQ(std::count(copied.begin(), copied.end(), "pipe.txt"), 0);
        EXPECT_EQ(std::count(copied.begin(), copied.end(), "device.txt"), 0);
    }
}

}  // namespace
