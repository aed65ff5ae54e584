// The status line's texts: sizes, the time left, and where a run is.

#include <gtest/gtest.h>

#include "RunStatusText.h"
#include "UiTestSupport.h"

namespace zanfeld::test {
namespace {

TEST(RunStatusText, SizesAreShortAndRoundedToOneDecimal) {
    EXPECT_EQ(RunStatusText::bytes(0), QStringLiteral("0 B"));
    EXPECT_EQ(RunStatusText::bytes(1023), QStringLiteral("1023 B"));
    EXPECT_EQ(RunStatusText::bytes(1024), QStringLiteral("1.0 KB"));
    EXPECT_EQ(RunStatusText::bytes(1288490189), QStringLiteral("1.2 GB"));
    EXPECT_EQ(RunStatusText::bytes(3ull << 30), QStringLiteral("3.0 GB"));
    EXPECT_EQ(RunStatusText::bytes(~0ull), QStringLiteral("16.0 EB"));
}

TEST(RunStatusText, TimeLeftOnlyOnceItCanBeTold) {
    EXPECT_EQ(RunStatusText::timeLeft(0.5, 1000), QString());   // too early
    EXPECT_EQ(RunStatusText::timeLeft(0.0, 60000), QString());  // nothing done yet
    EXPECT_EQ(RunStatusText::timeLeft(1.0, 60000), QString());  // nothing left
    EXPECT_EQ(RunStatusText::timeLeft(0.4, 28000), QStringLiteral("00:42"));
    EXPECT_EQ(RunStatusText::timeLeft(0.25, 1241000), QStringLiteral("1:02:03"));
}

TEST(RunStatusText, DuringARunTellsTheFileItsBytesTheEntryAndTheTimeLeft) {
    const std::string path = "/home/u/视频/电影.mkv";
    RunProgress p;
    p.index = 119;
    p.count = 300;
    p.bytesDone = 1288490189;
    p.bytesTotal = 3ull << 30;
    // 119.4 of 300 entries in 36 s: 54.4 s to go.
    EXPECT_EQ(
        RunStatusText::during(p, path, false, 36000),
        QStringLiteral("正在复制 电影.mkv（1.2 GB / 3.0 GB）· 第 120 / 300 个文件 · 剩余约 00:54"));
    // A small file shows no bytes; a folder list counts folders; a move says so.
    p.bytesDone = p.bytesTotal = 1000;
    p.moving = true;
    EXPECT_EQ(RunStatusText::during(p, path, true, 500),
              QStringLiteral("正在移动 电影.mkv · 第 120 / 300 个文件夹"));
    EXPECT_EQ(RunStatusText::idle(3, true), QStringLiteral("列表中共有 3 个文件夹"));
    RunCounts c;
    c.placed = 5;
    c.failed = 1;
    EXPECT_EQ(RunStatusText::after(c, false),
              QStringLiteral("分拣完成：已放置 5 个，跳过 0 个，改名 0 个，覆盖 0 个，失败 1 个"));
}

// An undo tells its own steps, always files, and its own counts.
TEST(RunStatusText, AnUndoTellsItsStepsAndItsOwnCounts) {
    RunProgress p;
    p.index = 119;
    p.count = 300;
    p.moving = true;
    // 119 of 300 steps in 36 s: 54.7 s to go.
    EXPECT_EQ(RunStatusText::undoing(p, "/out/视频/电影.mkv", 36000),
              QStringLiteral("正在撤销 电影.mkv · 第 120 / 300 个文件 · 剩余约 00:55"));
    EXPECT_EQ(RunStatusText::undoing(p, "/out/a", 500),
              QStringLiteral("正在撤销 a · 第 120 / 300 个文件"));
    const UndoCounts done{2, 1, 3, 0};
    const UndoCounts kept{0, 1, 0, 4};
    const std::pair<QString, const char*> cases[] = {
        {RunStatusText::afterUndo(done, false),
         "撤销完成：移回 2 个，移除 1 个，恢复 3 个，未撤销 0 个"},
        {RunStatusText::afterUndo(kept, false),
         "撤销未能全部完成：移回 0 个，移除 1 个，恢复 0 个，未撤销 4 个"},
        {RunStatusText::afterUndo(kept, true),
         "撤销已停止：移回 0 个，移除 1 个，恢复 0 个，未撤销 4 个"},
    };
    for (const auto& [seen, expected] : cases) EXPECT_EQ(seen, QString::fromUtf8(expected));
}

}  // namespace
}  // namespace zanfeld::test
