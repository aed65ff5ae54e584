// The reading under the picture size probe: a file read under a budget, and
// the view the picture readers are given of it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "FaultySys.h"
#include "PictureFile.h"
#include "PictureView.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

std::string Bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}

TEST(PictureFile, EveryByteReadCountsAgainstTheBudgetWhereverItLies) {
    test::TempDir tmp;
    const std::string content = Bytes(3 << 20);
    test::WriteFile(tmp / "big", content);
    PictureFile file(1000);
    ASSERT_TRUE(file.open(tmp / "big"));
    EXPECT_EQ(file.size(), int64_t{3 << 20});

    // Far into the file costs only what is read.
    char buf[2000];
    ASSERT_EQ(file.readAt((3 << 20) - 100, buf, 100), 100);
    EXPECT_EQ(std::string(buf, 100), content.substr((3 << 20) - 100));
    EXPECT_EQ(file.bytesRead(), 100);
    // A read across the budget gives what is left of it, then nothing more.
    ASSERT_EQ(file.readAt(5, buf, 2000), 900);
    EXPECT_EQ(std::string(buf, 900), content.substr(5, 900));
    EXPECT_EQ(file.readAt(0, buf, 1), -1);
    EXPECT_EQ(file.byteAt(4000), -1);
    EXPECT_EQ(file.bytesRead(), 1000);
}

TEST(PictureFile, TheEndOfTheFileIsNoError) {
    test::TempDir tmp;
    test::WriteFile(tmp / "small", "abc");
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "small"));
    char buf[10];
    EXPECT_EQ(file.readAt(1, buf, 10), 2);
    EXPECT_EQ(file.readAt(3, buf, 10), 0);
    EXPECT_EQ(file.readAt(100, buf, 10), 0);
    EXPECT_EQ(file.byteAt(2), 'c');
    EXPECT_EQ(file.byteAt(3), -1);
    EXPECT_EQ(file.readAt(-1, buf, 1), -1);
}

TEST(PictureFile, HeaderBytesComeThroughASmallWindow) {
    test::TempDir tmp;
    const std::string content = Bytes(100000);
    test::WriteFile(tmp / "f", content);
    test::FaultySys sys;
    ScopedSys scoped(sys);
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "f"));
    for (int i = 0; i < 200; ++i) ASSERT_EQ(file.byteAt(i), static_cast<unsigned char>(content[i]));
    EXPECT_EQ(sys.calls(test::SysOp::Read), 1);
    // A jump reads a small window there.
    EXPECT_EQ(file.byteAt(90000), static_cast<unsigned char>(content[90000]));
    EXPECT_EQ(sys.calls(test::SysOp::Read), 2);
    EXPECT_LE(file.bytesRead(), 512);
    // Going on from where a window ends, the windows grow (256 bytes, 512,
    // and so on up to 16 KiB): 100,000 bytes in 13 reads, not hundreds.
    sys.reset();
    for (int i = 0; i < 100000; ++i)
        ASSERT_EQ(file.byteAt(i), static_cast<unsigned char>(content[i])) << i;
    EXPECT_LE(sys.calls(test::SysOp::Read), 13);
    EXPECT_LE(file.bytesRead(), 512 + 100000 + 16384);
}

TEST(PictureFile, ReadErrorsAreReportedNotTakenForTheEnd) {
    test::TempDir tmp;
    test::WriteFile(tmp / "f", Bytes(1000));
    test::FaultySys sys;
    ScopedSys scoped(sys);
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "f"));
    sys.failOn(test::SysOp::Read, EIO);
    char buf[10];
    EXPECT_EQ(file.readAt(0, buf, 10), -1);
    EXPECT_EQ(file.byteAt(0), static_cast<unsigned char>(Bytes(1)[0]));  // the next read works
    sys.failOn(test::SysOp::Read, EINTR, 3);  // an interrupted read is made again
    EXPECT_EQ(file.readAt(500, buf, 10), 10);
}

TEST(PictureFile, OpensOnlyRegularFiles) {
    test::TempDir tmp;
    test::MakeDir(tmp / "dir");
    ASSERT_EQ(::mkfifo((tmp / "fifo").c_str(), 0600), 0);
    test::FaultySys sys;
    ScopedSys scoped(sys);
    for (const char* name : {"dir", "fifo", "missing"}) {
        PictureFile file;
        EXPECT_FALSE(file.open(tmp / name)) << name;
        char c;
        EXPECT_EQ(file.readAt(0, &c, 1), -1) << name;
    }
    EXPECT_EQ(sys.calls(test::SysOp::Open), 0);
}

TEST(PictureView, PiecesAreLaidEndToEnd) {
    test::TempDir tmp;
    test::WriteFile(tmp / "f", "0123456789");
    PictureFile file;
    ASSERT_TRUE(file.open(tmp / "f"));
    PictureView view(file, {{0, 2}, {5, 3}, {9, 1}});
    EXPECT_EQ(view.size(), 6);
    char buf[16];
    ASSERT_EQ(view.read(0, buf, 16), 6);
    EXPECT_EQ(std::string(buf, 6), "015679");
    ASSERT_EQ(view.read(1, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "156");
    ASSERT_EQ(view.read(4, buf, 16), 2);
    EXPECT_EQ(std::string(buf, 2), "79");
    EXPECT_EQ(view.read(6, buf, 16), 0);
    EXPECT_EQ(view.read(-1, buf, 1), -1);
}

TEST(PictureView, AReadCrossingTheBudgetGivesWhatWasReadThenFails) {
    test::TempDir tmp;
    test::WriteFile(tmp / "f", "0123456789");
    PictureFile file(4);
    ASSERT_TRUE(file.open(tmp / "f"));
    PictureView view(file, {{1, 2}, {6, 4}});
    char buf[16];
    ASSERT_EQ(view.read(0, buf, 16), 4);
    EXPECT_EQ(std::string(buf, 4), "1267");
    EXPECT_EQ(view.read(4, buf, 16), -1);
}

}  // namespace
}  // namespace zanfeld
