// What the command line writes: JSON that gives a path's bytes back, lines
// that a name cannot break apart or use to drive the terminal, and a
// progress line that never wraps.
#include <gtest/gtest.h>

#include <string>

#include "JsonText.h"
#include "PlainText.h"
#include "ProgressLine.h"

using namespace zanfeld;

namespace {

TEST(CliText, JsonStringsKeepEveryByte) {
    EXPECT_EQ(JsonText::string("plain"), "\"plain\"");
    EXPECT_EQ(JsonText::string("文件\"a\\b\""), "\"文件\\\"a\\\\b\\\"\"");
    EXPECT_EQ(JsonText::string(std::string("a\nb\tc\x01\x7f", 7)), "\"a\\nb\\tc\\u0001\\u007f\"");
    // Bytes that are no UTF-8: a lone byte, a cut sequence, an overlong
    // slash, an encoded surrogate, a point beyond Unicode.
    EXPECT_EQ(JsonText::string("\xff"), "\"\\udcff\"");
    EXPECT_EQ(JsonText::string("\xe6\x96x"), "\"\\udce6\\udc96x\"");
    EXPECT_EQ(JsonText::string("\xc0\xaf"), "\"\\udcc0\\udcaf\"");
    EXPECT_EQ(JsonText::string("\xed\xa0\x80"), "\"\\udced\\udca0\\udc80\"");
    EXPECT_EQ(JsonText::string("\xf4\x90\x80\x80"), "\"\\udcf4\\udc90\\udc80\\udc80\"");
    EXPECT_EQ(JsonText::string("\xf0\x9f\x93\x81"), "\"\xf0\x9f\x93\x81\"");
    EXPECT_EQ(JsonText::string(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(CliText, NamesStayOnTheirLine) {
    EXPECT_EQ(PlainText::field("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
    EXPECT_EQ(PlainText::field("\x1b[31m红"), "\\x1b[31m红");
    EXPECT_EQ(PlainText::message("第一行\n\x1b]0;title\x07"), "第一行\n\\x1b]0;title\\x07");
    EXPECT_EQ(PlainText::message("\xff ok"), "\xff ok");
}

TEST(CliText, TheProgressLineFitsTheTerminal) {
    EXPECT_EQ(ProgressLine::columns("abc"), 3);
    EXPECT_EQ(ProgressLine::columns("正在复制 a"), 10);
    EXPECT_EQ(ProgressLine::columns("（1.0 GB）"), 10);
    EXPECT_EQ(ProgressLine::fit("正在复制", 5), "正在");
    EXPECT_EQ(ProgressLine::fit("正在复制", 8), "正在复制");
    EXPECT_EQ(ProgressLine::fit("ab正", 3), "ab");
    // A broken byte counts one column and is never split from nothing.
    EXPECT_EQ(ProgressLine::fit("\xe6\x96", 1), "\xe6");
}

}  // namespace
