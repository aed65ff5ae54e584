// The system calls a sort run makes per file. A file sorter's time goes into
// these calls, so a run makes no more of them than each placement needs, and
// makes again what it saved a call on when the world changed under it.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FaultySys.h"
#include "FileChecks.h"
#include "FileOps.h"
#include "RecordingHost.h"
#include "RunFileSort.h"
#include "TargetFolder.h"
#include "TempDir.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

constexpr char kDone[] = "分拣工作完成！";
constexpr int kFiles = 12;

class SortCallBudgetTest : public ::testing::Test {
  protected:
    SortCallBudgetTest() {
        // Three types, so three target folders, each made by the run.
        const char* const types[] = {".txt", ".doc", ".jpg"};
        for (int i = 0; i < kFiles; ++i) {
            const std::string path = m_dir / ("src/f" + std::to_string(i) + types[i % 3]);
            WriteFile(path, "content " + std::to_string(i));
            m_sources.push_back(path);
        }
        MakeDir(m_dir / "out");
    }

    // Runs on the FileType page with the counting Sys in force; returns the
    // completion text.
    std::string Run(TransferMode mode) {
        SortOptions o;
        o.page = SortPage::FileType;
        o.outputDir = m_dir / "out";
        o.transferMode = mode;
        o.sameFilePolicy = SameFilePolicy::Rename;
        // The budget of copies in turn, counted on one thread.
        o.copyJobs = 1;
        {
            ScopedSys scoped(m_sys);
            RunFileSort(o, m_sources, m_host);
        }
        const auto infos = m_host.of("info");
        return infos.empty() ? std::string() : infos.back();
    }

    size_t Placed() const {
        size_t n = 0;
        for (const auto& e : std::filesystem::recursive_directory_iterator(m_dir / "out"))
            if (e.is_regular_file()) ++n;
        return n;
    }

    TempDir m_dir;
    std::vector<std::string> m_sources;
    FaultySys m_sys;
    RecordingHost m_host;
};

// Each new target folder: an open that finds it missing, a mkdir, an open that
// holds it for the run; and the sources' one folder, held open so that each
// source is reached by its name. Nothing per file but the file's own calls.
constexpr int kFolderOpens = 2 * 3 + 1;

TEST_F(SortCallBudgetTest, CopyOpensEachFolderOnceAndLooksAtNoTargetName) {
    ASSERT_EQ(Run(TransferMode::Copy), kDone);
    EXPECT_EQ(Placed(), size_t{kFiles});
    EXPECT_EQ(m_sys.calls(SysOp::Mkdir), 3);
    // Per file: a look at the source (its type before it is opened), the
    // source and the unnamed temporary, one copy, one link.
    EXPECT_EQ(m_sys.calls(SysOp::Stat), kFiles);
    EXPECT_EQ(m_sys.calls(SysOp::Lstat), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Open), 2 * kFiles + kFolderOpens);
    EXPECT_EQ(m_sys.calls(SysOp::CopyFileRange), kFiles);
    EXPECT_EQ(m_sys.calls(SysOp::Link), kFiles);
}

TEST_F(SortCallBudgetTest, MoveIsOneLookAtTheSourceAndOneRename) {
    ASSERT_EQ(Run(TransferMode::Move), kDone);
    EXPECT_EQ(Placed(), size_t{kFiles});
    EXPECT_EQ(m_sys.calls(SysOp::Stat), 0);
    EXPECT_EQ(m_sys.calls(SysOp::Mkdir), 3);
    EXPECT_EQ(m_sys.calls(SysOp::Lstat), kFiles);
    EXPECT_EQ(m_sys.calls(SysOp::Rename), kFiles);
    EXPECT_EQ(m_sys.calls(SysOp::Open), kFolderOpens);
}

TEST_F(SortCallBudgetTest, TakenNamesAreNumberedWithoutCopyingTwice) {
    // Every name is taken already: a second run numbers every copy.
    ASSERT_EQ(Run(TransferMode::Copy), kDone);
    m_sys.reset();
    m_host.calls.clear();
    ASSERT_EQ(Run(TransferMode::Copy), kDone);
    EXPECT_EQ(Placed(), size_t{2 * kFiles});
    EXPECT_TRUE(IsFile(m_dir / "out/.txt/f0_1.txt"));
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/f0_1.txt"), "content 0");
    EXPECT_EQ(m_sys.calls(SysOp::CopyFileRange), kFiles);     // the data once per file
    EXPECT_EQ(m_sys.calls(SysOp::Open), 2 * kFiles + 3 + 1);  // the folders were there
    EXPECT_EQ(m_sys.calls(SysOp::Link), 2 * kFiles);  // the taken name, then the numbered one
    EXPECT_EQ(m_sys.calls(SysOp::Mkdir), 0);          // the folders were there

    // A move meets the taken names as well and numbers them.
    m_sys.reset();
    m_host.calls.clear();
    ASSERT_EQ(Run(TransferMode::Move), kDone);
    EXPECT_EQ(Placed(), size_t{3 * kFiles});
    EXPECT_EQ(ReadFile(m_dir / "out/.txt/f0_2.txt"), "content 0");
    EXPECT_FALSE(Exists(m_sources[0]));
}

// A file system without unnamed files, without rename flags (FUSE, older
// network shares) or without copy_file_range between the two: each target
// folder is asked once, and every later file goes the way that works at once.
// A copy under a hidden name starts with its bits: none are set afterwards.
TEST_F(SortCallBudgetTest, WhatAFolderRefusedIsAskedOnce) {
    const struct {
        const char* what;
        TransferMode mode;
        bool unnamed, flags, copyRange;  // refused
        int refusals;                    // of unnamed files and rename flags
        SysOp fallback;
        int fallbacks;
    } cases[] = {
        {"no unnamed files", TransferMode::Copy, true, false, false, 3, SysOp::Rename, kFiles},
        {"nor rename flags", TransferMode::Copy, true, true, false, 6, SysOp::Link, kFiles},
        {"move, no rename flags", TransferMode::Move, false, true, false, 3, SysOp::Link, kFiles},
        {"no copy_file_range", TransferMode::Copy, false, false, true, 0, SysOp::Sendfile, kFiles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(m_dir / "out");
        MakeDir(m_dir / "out");
        m_sys.reset();
        m_host.calls.clear();
        if (c.unnamed) m_sys.refuseUnnamedFiles();
        if (c.flags) m_sys.refuseRenameFlags();
        if (c.copyRange) m_sys.failOn(SysOp::CopyFileRange, EXDEV, 0);
        ASSERT_EQ(Run(c.mode), kDone);
        EXPECT_EQ(Placed(), size_t{kFiles});
        EXPECT_EQ(ReadFile(m_dir / "out/.jpg/f11.jpg"), "content 11");
        EXPECT_EQ(m_sys.refused(), c.refusals);
        EXPECT_EQ(m_sys.calls(c.fallback), c.fallbacks);
        const bool copy = c.mode == TransferMode::Copy;
        EXPECT_EQ(m_sys.calls(SysOp::CopyFileRange), c.copyRange ? 3 : copy ? kFiles : 0);
        EXPECT_EQ(m_sys.calls(SysOp::Fchmod), 0);
        // Nothing is left under a hidden name.
        for (const auto& e : std::filesystem::recursive_directory_iterator(m_dir / "out"))
            if (e.is_regular_file()) EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
        if (copy) continue;
        EXPECT_FALSE(Exists(m_sources[0]));
        for (int i = 0; i < kFiles; ++i) WriteFile(m_sources[i], "content " + std::to_string(i));
    }
}

TEST_F(SortCallBudgetTest, AFolderRemovedDuringTheRunIsMadeAgain) {
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        SCOPED_TRACE(mode == TransferMode::Copy ? "copy" : "move");
        std::filesystem::remove_all(m_dir / "out");
        MakeDir(m_dir / "out");
        // Files 0, 3, 6, 9 go to .txt; the folder goes after file 4 was placed.
        int refreshes = 0;
        m_host.onRefresh = [&](SortOptions&) {
            if (++refreshes == 6) std::filesystem::remove_all(m_dir / "out/.txt");
        };
        m_host.calls.clear();
        ASSERT_EQ(Run(mode), kDone);
        m_host.onRefresh = nullptr;
        EXPECT_TRUE(IsFile(m_dir / "out/.txt/f6.txt"));
        EXPECT_TRUE(IsFile(m_dir / "out/.txt/f9.txt"));
        EXPECT_FALSE(Exists(m_dir / "out/.txt/f0.txt"));  // went with the folder
        if (mode == TransferMode::Copy) {
            for (const std::string& s : m_sources) ASSERT_TRUE(IsFile(s)) << s;
        }
    }
}

TEST(CopyFirstFree, OneCopyGoesUnderTheFirstNameOffered) {
    TempDir dir;
    WriteFile(dir / "a.txt", "new");
    WriteFile(dir / "out/a.txt", "old");
    WriteFile(dir / "out/a_1.txt", "old 1");
    TargetFolder out;
    ASSERT_EQ(out.open(dir / "out"), 0);

    std::vector<std::string> asked;
    const std::function<bool(std::string&)> next = [&](std::string& taken) {
        asked.push_back(taken);
        taken = "a_" + std::to_string(asked.size()) + ".txt";
        return true;
    };
    std::string name = "a.txt";
    EXPECT_EQ(CopyFileInto(dir / "a.txt", out, name, Publish::Keep, &next), 0);
    EXPECT_EQ(name, "a_2.txt");
    EXPECT_EQ(asked, (std::vector<std::string>{"a.txt", "a_1.txt"}));
    EXPECT_EQ(ReadFile(dir / "out/a_2.txt"), "new");
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "old");
    EXPECT_EQ(ReadFile(dir / "out/a_1.txt"), "old 1");

    // A free name is never asked about.
    const std::function<bool(std::string&)> never = [&](std::string&) {
        ADD_FAILURE() << "asked about a free name";
        return false;
    };
    name = "b.txt";
    EXPECT_EQ(CopyFileInto(dir / "a.txt", out, name, Publish::Keep, &never), 0);
    EXPECT_EQ(ReadFile(dir / "out/b.txt"), "new");
}

TEST(CopyFirstFree, GivingUpLeavesNothingBehind) {
    TempDir dir;
    WriteFile(dir / "a.txt", "new");
    WriteFile(dir / "out/a.txt", "old");
    TargetFolder out;
    ASSERT_EQ(out.open(dir / "out"), 0);
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "hidden temporary" : "unnamed temporary");
        FaultySys faults;
        // As on a file system without unnamed files: a hidden name is used.
        if (hidden) faults.refuseUnnamedFiles();
        std::string name = "a.txt";
        int asked = 0;
        const std::function<bool(std::string&)> next = [&](std::string&) {
            ++asked;
            return false;
        };
        int e;
        {
            ScopedSys scoped(faults);
            e = CopyFileInto(dir / "a.txt", out, name, Publish::Keep, &next);
        }
        EXPECT_EQ(e, EEXIST);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(ReadFile(dir / "out/a.txt"), "old");
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "out"))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"a.txt"});
    }
}

}  // namespace
