// PlaceFile's policy x mode x (target absent / present) table, numbered names,
// the age comparison of EditFileTime, and symlinks at the target name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "FileChecks.h"
#include "NonRegularFiles.h"
#include "Placement.h"
#include "RecordingHost.h"
#include "TempDir.h"
#include "UnitPublic.h"

using namespace zanfeld;
using namespace zanfeld::test;

namespace {

struct Case {
    SameFilePolicy policy;
    TransferMode mode;
    bool targetPresent;
    bool answer;             // for Ask
    const char* targetAfter; // content under the target name afterwards ("" = none)
    bool sourceStays;
    PlaceResult::Status status;
};

class PlacementTable : public ::testing::TestWithParam<Case> {};

TEST_P(PlacementTable, Outcome) {
    const Case c = GetParam();
    TempDir dir;
    const std::string src = dir / "src/a.txt";
    const std::string folder = dir / "out";
    WriteFile(src, "new", 2'000'000'000);
    MakeDir(folder);
    if (c.targetPresent) WriteFile(folder + "/a.txt", "old", 1'000'000'000);
    RecordingHost host;
    host.answers = {c.answer};

    const PlaceResult r = PlaceFile(src, folder, c.mode, c.policy, host);

    EXPECT_EQ(r.status, c.status);
    if (*c.targetAfter) {
        EXPECT_EQ(ReadFile(folder + "/a.txt"), c.targetAfter);
    } else {
        EXPECT_FALSE(IsFile(folder + "/a.txt"));
    }
    EXPECT_EQ(IsFile(src), c.sourceStays);
    if (c.sourceStays) {
        EXPECT_EQ(ReadFile(src), "new");
    }
    const bool asked = c.policy == SameFilePolicy::Ask && c.targetPresent;
    EXPECT_EQ(host.of("ask"), asked ? std::vector<std::string>{folder + "/a.txt"} : std::vector<std::string>{});
    if (c.policy == SameFilePolicy::Rename && c.targetPresent) {
        EXPECT_EQ(r.name, "a_1.txt");
        EXPECT_EQ(ReadFile(folder + "/a_1.txt"), "new");
    }
}

using S = PlaceResult::Status;
constexpr auto C = TransferMode::Copy;
constexpr auto M = TransferMode::Move;

INSTANTIATE_TEST_SUITE_P(
    AllPolicies, PlacementTable,
    ::testing::Values(
        // policy                       mode present answer after   stays  status
        Case{SameFilePolicy::Ask, C, false, false, "new", true, S::Placed},
        Case{SameFilePolicy::Ask, M, false, false, "new", false, S::Placed},
        Case{SameFilePolicy::Ask, C, true, true, "new", true, S::Placed},
        Case{SameFilePolicy::Ask, C, true, false, "old", true, S::Declined},
        Case{SameFilePolicy::Ask, M, true, true, "new", false, S::Placed},
        Case{SameFilePolicy::Ask, M, true, false, "old", true, S::Declined},
        Case{SameFilePolicy::Rename, C, false, false, "new", true, S::Placed},
        Case{SameFilePolicy::Rename, M, false, false, "new", false, S::Placed},
        Case{SameFilePolicy::Rename, C, true, false, "old", true, S::Placed},
        Case{SameFilePolicy::Rename, M, true, false, "old", false, S::Placed},
        Case{SameFilePolicy::Overwrite, C, false, false, "new", true, S::Placed},
        Case{SameFilePolicy::Overwrite, M, false, false, "new", false, S::Placed},
        Case{SameFilePolicy::Overwrite, C, true, false, "new", true, S::Placed},
        Case{SameFilePolicy::Overwrite, M, true, false, "new", false, S::Placed},
        Case{SameFilePolicy::Skip, C, false, false, "new", true, S::Placed},
        Case{SameFilePolicy::Skip, M, false, false, "new", false, S::Placed},
        Case{SameFilePolicy::Skip, C, true, false, "old", true, S::Declined},
        Case{SameFilePolicy::Skip, M, true, false, "old", true, S::Declined},
        // The source (2033) is newer than the target (2001): replaced.
        Case{SameFilePolicy::EditFileTime, C, false, false, "new", true, S::Placed},
        Case{SameFilePolicy::EditFileTime, M, false, false, "new", false, S::Placed},
        Case{SameFilePolicy::EditFileTime, C, true, false, "new", true, S::Placed},
        Case{SameFilePolicy::EditFileTime, M, true, false, "new", false, S::Placed}));

TEST(Placement, NumberedNames) {
    TempDir dir;
    RecordingHost host;
    const std::string out = dir / "out";
    struct {
        const char* name;
        const char* expected;
    } cases[] = {{"a.txt", "a_2.txt"}, {"README", "README_1"}, {".profile", "_1.profile"}, {"a.tar.gz", "a.tar_1.gz"}};
    WriteFile(out + "/a_1.txt", "taken");
    for (const auto& c : cases) {
        const std::string src = dir / (std::string("src/") + c.name);
        WriteFile(src, c.name);
        WriteFile(out + "/" + c.name, "taken");
        const PlaceResult r = PlaceFile(src, out, TransferMode::Copy, SameFilePolicy::Rename, host);
        EXPECT_EQ(r.name, c.expected);
        EXPECT_EQ(ReadFile(out + "/" + c.expected), c.name);
    }
    // Candidates are always built from the source's own stem: never a_1_1.txt.
    EXPECT_FALSE(IsFile(out + "/a_1_1.txt"));
}

TEST(Placement, RenameStartChainsFromAGivenName) {
    TempDir dir;
    RecordingHost host;
    const std::string src = dir / "src/a.txt";
    WriteFile(src, "x");
    MakeDir(dir / "k2");
    const PlaceResult r = PlaceFile(src, dir / "k2", TransferMode::Copy, SameFilePolicy::Rename, host, "a_1.txt");
    EXPECT_EQ(r.name, "a_1.txt");
    EXPECT_TRUE(IsFile(dir / "k2/a_1.txt"));
    EXPECT_FALSE(IsFile(dir / "k2/a.txt"));
}

TEST(Placement, AFolderUnderTheNameIsAFailureNotASkip) {
    TempDir dir;
    RecordingHost host;
    const std::string src = dir / "src/a.txt";
    WriteFile(src, "x");
    MakeDir(dir / "out/a.txt");
    for (auto policy : {SameFilePolicy::Rename, SameFilePolicy::Skip, SameFilePolicy::Overwrite,
                        SameFilePolicy::Identical}) {
        const PlaceResult r = PlaceFile(src, dir / "out", TransferMode::Move, policy, host);
        EXPECT_EQ(r.status, PlaceResult::Status::Failed) << static_cast<int>(policy);
        EXPECT_TRUE(IsFile(src));
        EXPECT_TRUE(IsDir(dir / "out/a.txt"));
    }
}

// 相同则跳过: only a regular file of the very same bytes keeps the new file
// out; anything else under the name gets the new file a numbered name beside
// it, and nothing there is ever changed or opened if it is no regular file.
TEST(Placement, IdenticalSkipsOnlyTheSameBytes) {
    enum class Then { Skipped, Numbered, OwnName, Failed };
    // More than one chunk of the comparison, whatever its size up to 1 MiB.
    const std::string big = Pattern((1u << 20) + 7, 3);
    std::string lastByte = big;
    lastByte.back() ^= 1;
    const struct {
        const char* name;
        std::string source;
        std::function<void(const std::string&)> there;
        Then then;
    } cases[] = {
        {"same bytes", "twin", [](const std::string& p) { WriteFile(p, "twin", 1000); },
         Then::Skipped},
        {"same large", big, [&](const std::string& p) { WriteFile(p, big, 1000); }, Then::Skipped},
        {"last byte differs", big, [&](const std::string& p) { WriteFile(p, lastByte); },
         Then::Numbered},
        {"longer", "twin", [](const std::string& p) { WriteFile(p, "twin!"); }, Then::Numbered},
        {"nothing there", "twin", [](const std::string&) {}, Then::OwnName},
        {"link to a twin", "twin",
         [](const std::string& p) {
             WriteFile(p + ".real", "twin");
             ASSERT_EQ(::symlink("a.txt.real", p.c_str()), 0);
         },
         Then::Numbered},
        {"pipe", "twin", [](const std::string& p) { ASSERT_EQ(MakeFifo(p), 0); }, Then::Numbered},
        {"folder", "twin", [](const std::string& p) { MakeDir(p); }, Then::Failed},
    };
    for (const TransferMode mode : {TransferMode::Copy, TransferMode::Move}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (mode == TransferMode::Move ? ", move" : ", copy"));
            TempDir dir;
            RecordingHost host;
            const std::string src = dir / "src/a.txt";
            const std::string there = dir / "out/a.txt";
            WriteFile(src, c.source);
            MakeDir(dir / "out");
            c.there(there);
            const bool existed = Exists(there);
            struct stat before {};
            if (existed) before = LStat(there);

            const PlaceResult r = PlaceFile(src, dir / "out", mode, SameFilePolicy::Identical, host);

            const bool moved = mode == TransferMode::Move &&
                               (c.then == Then::Numbered || c.then == Then::OwnName);
            EXPECT_EQ(IsFile(src), !moved);
            if (existed) {  // whatever was there is untouched
                EXPECT_EQ(LStat(there).st_ino, before.st_ino);
                EXPECT_EQ(LStat(there).st_mtim.tv_sec, before.st_mtim.tv_sec);
            }
            switch (c.then) {
                case Then::Skipped:
                    EXPECT_EQ(r.status, PlaceResult::Status::Declined);
                    EXPECT_EQ(Names(dir / "out"), std::vector<std::string>{"a.txt"});
                    break;
                case Then::Numbered:
                    EXPECT_EQ(r.status, PlaceResult::Status::Placed);
                    EXPECT_EQ(r.name, "a_1.txt");
                    EXPECT_EQ(ReadFile(dir / "out/a_1.txt"), c.source);
                    break;
                case Then::OwnName:
                    EXPECT_EQ(r.status, PlaceResult::Status::Placed);
                    EXPECT_EQ(r.name, "a.txt");
                    EXPECT_EQ(ReadFile(there), c.source);
                    break;
                case Then::Failed:
                    EXPECT_EQ(r.status, PlaceResult::Status::Failed);
                    EXPECT_FALSE(Exists(dir / "out/a_1.txt"));
                    break;
            }
            EXPECT_TRUE(host.of("ask").empty());
        }
    }
}

TEST(Placement, EditFileTimeComparesAges) {
    struct {
        int64_t source, target;
        TransferMode mode;
        bool replaced;
    } cases[] = {
        {1000, 1000, TransferMode::Copy, true},  {1000, 1000, TransferMode::Move, false},
        {900, 1000, TransferMode::Copy, false},  {900, 1000, TransferMode::Move, false},
        {1100, 1000, TransferMode::Copy, true},  {1100, 1000, TransferMode::Move, true},
    };
    for (const auto& c : cases) {
        TempDir dir;
        RecordingHost host;
        const std::string src = dir / "src/a.txt";
        WriteFile(src, "new", 1'500'000'000 + c.source);
        WriteFile(dir / "out/a.txt", "old", 1'500'000'000 + c.target);
        PlaceFile(src, dir / "out", c.mode, SameFilePolicy::EditFileTime, host);
        EXPECT_EQ(ReadFile(dir / "out/a.txt"), c.replaced ? "new" : "old") << c.source << " " << c.target;
        EXPECT_EQ(IsFile(src), !(c.replaced && c.mode == TransferMode::Move));
    }
    // Nanoseconds count: a source one nanosecond older keeps the target.
    TempDir dir;
    WriteFile(dir / "s", "new");
    WriteFile(dir / "t", "old");
    SetMTime(dir / "s", 1'500'000'000, 5);
    SetMTime(dir / "t", 1'500'000'000, 6);
    EXPECT_FALSE(CopyIfNewer(dir / "s", dir / "t").made);
    EXPECT_EQ(ReadFile(dir / "t"), "old");
}

TEST(Placement, CopiesKeepTheLastWriteTime) {
    TempDir dir;
    RecordingHost host;
    WriteFile(dir / "src/a.txt", "x");
    SetMTime(dir / "src/a.txt", 1'234'567'890, 123'456'789);
    EnsureFolder(dir / "out");
    PlaceFile(dir / "src/a.txt", dir / "out", TransferMode::Copy, SameFilePolicy::Overwrite, host);
    struct stat st;
    ASSERT_EQ(::stat((dir / "out/a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'234'567'890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123'456'789);
}

TEST(Placement, ASymlinkAtTheTargetNameIsReplacedNotWrittenThrough) {
    TempDir dir;
    RecordingHost host;
    WriteFile(dir / "src/a.txt", "new");
    WriteFile(dir / "elsewhere.txt", "keep me");
    MakeDir(dir / "out");
    ASSERT_EQ(::symlink((dir / "elsewhere.txt").c_str(), (dir / "out/a.txt").c_str()), 0);
    for (auto mode : {TransferMode::Copy, TransferMode::Move}) {
        PlaceFile(dir / "src/a.txt", dir / "out", mode, SameFilePolicy::Overwrite, host);
        EXPECT_EQ(ReadFile(dir / "elsewhere.txt"), "keep me");
        EXPECT_EQ(ReadFile(dir / "out/a.txt"), "new");
    }
}

TEST(Placement, EnsureFolderCreatesEveryMissingParent) {
    TempDir dir;
    EnsureFolder(dir / "a/b/c");
    EXPECT_TRUE(IsDir(dir / "a/b/c"));
    EnsureFolder(dir / "a/b/c");  // already there
    EXPECT_TRUE(IsDir(dir / "a/b/c"));
}

}  // namespace
