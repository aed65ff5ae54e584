// Copies and whole-file saves go through hidden temporaries beside their
// target; what a killed process left there is cleared by the next one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "FileOps.h"
#include "HiddenTemp.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "WholeFile.h"

namespace zanfeld {
namespace {

namespace fs = std::filesystem;
using test::IsFile;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> HiddenNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name[0] == '.') names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A process id that is surely unused: a child that has exited and been reaped.
pid_t EndedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

std::string TempNameOf(pid_t pid, const char* hex) {
    char name[64];
    std::snprintf(name, sizeof name, ".zanfeld-%d-%s.tmp", static_cast<int>(pid), hex);
    return name;
}

// A forked child (a run in a process of its own) names its files by its own
// id: named by its parent's, what it left when killed would pass for a live
// process's and never be cleared.
TEST(HiddenTemp, AForkedChildNamesFilesByItsOwnId) {
    HiddenTempLeaf();  // the parent has named a file before
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string leaf = HiddenTempLeaf();
        const bool own = leaf.rfind(".zanfeld-" + std::to_string(::getpid()) + "-", 0) == 0;
        const char answer = own ? 'y' : 'n';
        (void)!::write(pipeFds[1], &answer, 1);
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(pipeFds[0], &answer, 1), 1);
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_EQ(answer, 'y');
}

TEST(HiddenTemp, NamesCarryTheProcessAndDiffer) {
    const std::string a = HiddenTempName("/some/folder");
    const std::string b = HiddenTempName("/some/folder");
    EXPECT_NE(a, b);
    const std::regex form("/some/folder/\\.zanfeld-" + std::to_string(::getpid()) +
                          "-[0-9a-f]{16}\\.tmp");
    EXPECT_TRUE(std::regex_match(a, form)) << a;
}

TEST(WholeFile, ASaveLeavesOnlyTheFile) {
    TempDir dir;
    WriteFile(dir / "Zanfeld.ini", "old");
    ASSERT_EQ(ReplaceFileContents(dir / "Zanfeld.ini", "new"), 0);
    EXPECT_EQ(ReadFile(dir / "Zanfeld.ini"), "new");
    EXPECT_TRUE(HiddenNames(dir.path()).empty());
}

TEST(WholeFile, ASaveClearsWhatKilledSavesLeftButNothingElse) {
    TempDir dir;
    const pid_t ended = EndedProcess();
    ASSERT_GT(ended, 0);
    const std::string stale = TempNameOf(ended, "00000000deadbeef");
    const std::string live = TempNameOf(1, "00000000cafef00d");  // init runs as long as we do
    const std::string own = TempNameOf(::getpid(), "0000000000000001");
    const std::string foreign = ".zanfeld-notes.tmp";
    const std::string almost = TempNameOf(ended, "deadbeef");  // too few digits
    for (const std::string& name : {stale, live, own, foreign, almost}) WriteFile(dir / name, "x");

    ASSERT_EQ(ReplaceFileContents(dir / "Zanfeld.ini", "new"), 0);
    EXPECT_EQ(ReadFile(dir / "Zanfeld.ini"), "new");
    std::vector<std::string> kept = {live, own, foreign, almost};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(HiddenNames(dir.path()), kept);
}

// Only folders found, not made, are read for what killed processes left.
TEST(HiddenTemp, AFolderThisProcessMadeIsNotReadForLeftovers) {
    TempDir dir;
    test::ScopedEnv trash("XDG_DATA_HOME", dir / "data");
    WriteFile(dir / "src.txt", "data");
    const std::string stale = TempNameOf(EndedProcess(), "00000000deadbeef");
    test::MakeDir(dir / "found");
    WriteFile(dir / ("found/" + stale), "x");
    ASSERT_EQ(MakeDirs(dir / "made/deeper"), 0);
    WriteFile(dir / ("made/" + stale), "x");  // cannot happen outside a test
    WriteFile(dir / ("made/deeper/" + stale), "x");

    for (const char* folder : {"found", "made", "made/deeper"})
        ASSERT_EQ(
            CopyFileSafe(dir / "src.txt", dir / (std::string(folder) + "/a.txt"), Publish::Keep),
            0);
    EXPECT_TRUE(HiddenNames(dir / "found").empty());
    EXPECT_EQ(HiddenNames(dir / "made"), std::vector<std::string>{stale});
    EXPECT_EQ(HiddenNames(dir / "made/deeper"), std::vector<std::string>{stale});
}

// What a killed placement leaves in a target folder. A temporary is only
// ever a new file's contents whose source is still whole, or a second name
// of a file that keeps its own: it goes, and never into the Trash. A file
// swapped out from under a name (where the Trash could not take it first)
// goes to the Trash, with where it lay, and its bytes whole.
TEST(HiddenTemp, WhatAKilledPlacementLeftGoesAwayOrToTheTrash) {
    TempDir dir;
    test::ScopedEnv trash("XDG_DATA_HOME", dir / "data");
    const pid_t ended = EndedProcess();
    const std::string halfCopy = TempNameOf(ended, "00000000deadbeef");
    const std::string secondName = TempNameOf(ended, "00000000feedface");
    std::string aside = TempNameOf(ended, "00000000cafebabe");
    aside.replace(aside.size() - 4, 4, ".old");
    WriteFile(dir / ("out/" + halfCopy), "half a copy");
    WriteFile(dir / "out/kept.txt", "a file with its own name");
    ASSERT_EQ(::link((dir / "out/kept.txt").c_str(), (dir / ("out/" + secondName)).c_str()), 0);
    WriteFile(dir / ("out/" + aside), "the user's older file");
    WriteFile(dir / "src.txt", "new");

    ASSERT_EQ(CopyFileSafe(dir / "src.txt", dir / "out/src.txt", Publish::Keep), 0);
    EXPECT_TRUE(HiddenNames(dir / "out").empty());
    EXPECT_EQ(ReadFile(dir / "out/kept.txt"), "a file with its own name");
    EXPECT_FALSE(IsFile(dir / ("data/Trash/files/" + halfCopy)));
    EXPECT_FALSE(IsFile(dir / ("data/Trash/files/" + secondName)));
    EXPECT_EQ(ReadFile(dir / ("data/Trash/files/" + aside)), "the user's older file");
    const std::string info = ReadFile(dir / ("data/Trash/info/" + aside + ".trashinfo"));
    EXPECT_NE(info.find("Path=" + dir / "out/"), std::string::npos) << info;
}

}  // namespace
}  // namespace zanfeld
