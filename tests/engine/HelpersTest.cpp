// The shared text helpers: names of a path, trimming, the integer parser.
#include <gtest/gtest.h>

#include "IntParse.h"
#include "PathNames.h"
#include "TextUtil.h"

using namespace zanfeld;

TEST(PathNames, NameExtensionAndBase) {
    EXPECT_EQ(FileNameOf("/a/b/Report.DOC"), "Report.DOC");
    EXPECT_EQ(ExtensionOf("/a/b/Report.DOC"), ".DOC");
    EXPECT_EQ(ExtensionOf("/a/archive.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf("/a.b/readme"), "");  // a dot before the last separator does not count
    EXPECT_EQ(BaseNameOf("/a/.profile"), "");
    EXPECT_EQ(ExtensionOf("/a/.profile"), ".profile");
    EXPECT_EQ(BaseNameOf("/a/...txt"), "..");
    EXPECT_EQ(FileNameOf("/a/b:c.txt"), "b:c.txt");  // ':' is an ordinary character here
    EXPECT_EQ(FileNameOf("/a/dir/"), "");
}

TEST(PathNames, StaysInside) {
    EXPECT_TRUE(StaysInside(""));
    EXPECT_TRUE(StaysInside("游记"));
    EXPECT_TRUE(StaysInside("a/../b"));
    EXPECT_TRUE(StaysInside("..x"));
    EXPECT_FALSE(StaysInside(".."));
    EXPECT_FALSE(StaysInside("a/../../b"));
    EXPECT_FALSE(StaysInside("./.."));
}

TEST(TextUtil, TrimAndCase) {
    EXPECT_EQ(TrimBlanks(" \t\x01 a b \r\n"), "a b");
    EXPECT_TRUE(IsBlank(" \x1f\t"));
    EXPECT_FALSE(IsBlank(" 　"));  // an ideographic space is not a blank
    EXPECT_EQ(AsciiUpper("abcÄä游z"), "ABCÄä游Z");
    EXPECT_TRUE(EqualsIgnoreAsciiCase("*.TxT", "*.txt"));
    EXPECT_FALSE(EqualsIgnoreAsciiCase("*.txt", "*.tx"));
}

TEST(TextUtil, ContainsIgnoreAsciiCase) {
    EXPECT_TRUE(ContainsIgnoreAsciiCase("Report_ALPHA.txt", "alpha"));
    EXPECT_TRUE(ContainsIgnoreAsciiCase("abc", "ABC"));   // whole text
    EXPECT_TRUE(ContainsIgnoreAsciiCase("xxabc", "bc"));  // at the very end
    EXPECT_TRUE(ContainsIgnoreAsciiCase("aab", "ab"));    // after a false start
    EXPECT_TRUE(ContainsIgnoreAsciiCase("abc", ""));
    EXPECT_FALSE(ContainsIgnoreAsciiCase("ab", "abc"));
    EXPECT_FALSE(ContainsIgnoreAsciiCase("", "a"));
    EXPECT_FALSE(ContainsIgnoreAsciiCase("a_b", "ab"));
    EXPECT_FALSE(ContainsIgnoreAsciiCase("xä", "Ä"));  // only ASCII letters fold
}

TEST(IntParse, AcceptedForms) {
    EXPECT_EQ(ParseInt32("42"), 42);
    EXPECT_EQ(ParseInt32("  -7"), -7);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("$1F"), 31);
    EXPECT_EQ(ParseInt32("x10"), 16);
    EXPECT_EQ(ParseInt32("0x10"), 16);
    EXPECT_EQ(ParseInt32("-0X10"), -16);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(ParseInt64("9223372036854775807"), INT64_MAX);
}

TEST(IntParse, RefusedForms) {
    for (const char* t : {"", " ", "-", "+-1", "1.5", "12 ", "1a", "0x", "$", "2147483648",
                          "-2147483649", "99999999999999999999", "--1", "0x1G"}) {
        EXPECT_FALSE(ParseInt32(t).has_value()) << t;
    }
    EXPECT_FALSE(ParseInt64("9223372036854775808").has_value());
    EXPECT_FALSE(ParseInt64("-9223372036854775809").has_value());
}
