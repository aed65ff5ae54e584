#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NameRules.h"
#include "RecordingHost.h"

namespace zanfeld {
namespace {

using Strings = std::vector<std::string>;

TEST(SplitKeywords, SplitsAtEverySingleSpaceKeepingEmptyEntries) {
    EXPECT_EQ(SplitKeywords("游记 西游"), (Strings{"游记", "西游"}));
    EXPECT_EQ(SplitKeywords(" a  b "), (Strings{"", "a", "", "b", ""}));
    EXPECT_EQ(SplitKeywords("a a"), (Strings{"a", "a"}));
    EXPECT_EQ(SplitKeywords("solo"), (Strings{"solo"}));
    EXPECT_EQ(SplitKeywords(""), (Strings{""}));
    // Only the plain space separates: not a tab, not the ideographic space.
    EXPECT_EQ(SplitKeywords("a\tb"), (Strings{"a\tb"}));
    EXPECT_EQ(SplitKeywords("游记\u3000西游"), (Strings{"游记\u3000西游"}));
}

TEST(KeywordMatches, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(KeywordMatches("abc", "XABCY"));
    EXPECT_TRUE(KeywordMatches("ABC", "xabcy"));
    EXPECT_TRUE(KeywordMatches("游记", "西游记"));
    EXPECT_FALSE(KeywordMatches("abd", "XABCY"));
    // Letters outside ASCII keep their case.
    EXPECT_FALSE(KeywordMatches("ä", "Ä"));
    EXPECT_TRUE(KeywordMatches("Ä", "xÄx"));
    // Full-width letters match only the same letters in the same case.
    EXPECT_TRUE(KeywordMatches("ＡＢ", "xＡＢ"));
    EXPECT_FALSE(KeywordMatches("ＡＢ", "xａｂ"));
    EXPECT_FALSE(KeywordMatches("ab", "ＡＢ"));
    // No byte of a multi-byte UTF-8 character is an ASCII letter.
    EXPECT_FALSE(KeywordMatches("a", "丄"));
}

TEST(KeywordMatches, BlankKeywordsNeverMatch) {
    EXPECT_FALSE(KeywordMatches("", "anything"));
    EXPECT_FALSE(KeywordMatches(" ", "a b"));
    EXPECT_FALSE(KeywordMatches("\t", "a\tb"));
    // A keyword with a control character around it is matched as it stands.
    EXPECT_TRUE(KeywordMatches("\ta", "x\tay"));
    EXPECT_FALSE(KeywordMatches("\ta", "xay"));
}

TEST(RemoveFilterPieces, EachPieceInTurnOnTheResultOfTheOneBefore) {
    EXPECT_EQ(RemoveFilterPieces("2013_report-final", "_*-"), "2013reportfinal");
    EXPECT_EQ(RemoveFilterPieces("aabb", "ab*b"), "a");
    EXPECT_EQ(RemoveFilterPieces("aabb", "b*ab"), "aa");
    // Non-overlapping, from the left.
    EXPECT_EQ(RemoveFilterPieces("aaa", "aa"), "a");
    EXPECT_EQ(RemoveFilterPieces("ababab", "aba"), "bab");
    // Case-sensitive.
    EXPECT_EQ(RemoveFilterPieces("Draft-draft", "draft"), "Draft-");
    EXPECT_EQ(RemoveFilterPieces("西游记西游", "西游"), "记");
}

TEST(RemoveFilterPieces, EmptyPiecesRemoveNothing) {
    EXPECT_EQ(RemoveFilterPieces("a_b", ""), "a_b");
    EXPECT_EQ(RemoveFilterPieces("a_b", "*"), "a_b");
    EXPECT_EQ(RemoveFilterPieces("a_b-c", "**_**-*"), "abc");
    EXPECT_EQ(RemoveFilterPieces("", "a*b"), "");
}

TEST(RemoveFilterPieces, OccurrencesStartOnlyOnCharacterBoundaries) {
    // 游 is E6 B8 B8, 记 is E8 AE B0: the tail byte B8 inside 游 is no match.
    EXPECT_EQ(RemoveFilterPieces("游记", "\xB8"), "游记");
    EXPECT_EQ(RemoveFilterPieces("游记", "\xB8\xE8\xAE\xB0"), "游记");
    // A stray byte that is a character of its own can be removed.
    EXPECT_EQ(RemoveFilterPieces("a\xB8"
                                 "b",
                                 "\xB8"),
              "ab");
    // The whole character is removed wherever it starts.
    EXPECT_EQ(RemoveFilterPieces("西游记游", "游"), "西记");
}

struct RangeCase {
    const char* begin;
    const char* end;
    int32_t wantBegin;
    int32_t wantEnd;
};

class PrepareNameRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PrepareNameRangeTest, OrdersAndCapsTheRange) {
    SortOptions options;
    options.useNamePart = true;
    options.partBeginText = GetParam().begin;
    options.partEndText = GetParam().end;
    test::RecordingHost host;
    NameRange range{99, 99};
    ASSERT_TRUE(PrepareNameRange(options, host, range));
    EXPECT_EQ(range.begin, GetParam().wantBegin);
    EXPECT_EQ(range.end, GetParam().wantEnd);
    EXPECT_TRUE(host.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Ranges, PrepareNameRangeTest,
                         ::testing::Values(RangeCase{"2", "3", 2, 3}, RangeCase{"3", "2", 2, 3},
                                           RangeCase{"0", "3", 0, 3}, RangeCase{"1", "300", 1, 254},
                                           RangeCase{"300", "400", 300, 254},
                                           RangeCase{"400", "300", 300, 254},
                                           RangeCase{"-2147483648", "5", INT32_MIN, 5},
                                           RangeCase{" +2", "$10", 2, 16},
                                           RangeCase{"0x3", "x1", 1, 3}));

TEST(PrepareNameRange, OffLeavesZerosAndChecksNothing) {
    SortOptions options;
    options.useNamePart = false;
    options.partBeginText = "junk";
    options.partEndText = "";
    test::RecordingHost host;
    NameRange range{7, 9};
    EXPECT_TRUE(PrepareNameRange(options, host, range));
    EXPECT_EQ(range.begin, 0);
    EXPECT_EQ(range.end, 0);
    EXPECT_TRUE(host.calls.empty());
}

TEST(PrepareNameRange, RejectsTheBeginFirstThenTheEnd) {
    SortOptions options;
    options.useNamePart = true;
    NameRange range;
    const std::string begin = std::to_string(static_cast<int>(OptionId::PartBegin));
    const std::string end = std::to_string(static_cast<int>(OptionId::PartEnd));

    options.partBeginText = "";
    options.partEndText = "";
    test::RecordingHost both;
    EXPECT_FALSE(PrepareNameRange(options, both, range));
    EXPECT_EQ(both.calls, (Strings{"reject:" + begin + ":请输入整数序号!"}));

    options.partBeginText = "2";
    options.partEndText = "3 ";
    test::RecordingHost second;
    EXPECT_FALSE(PrepareNameRange(options, second, range));
    EXPECT_EQ(second.calls, (Strings{"reject:" + end + ":请输入整数序号!"}));

    options.partBeginText = "2147483648";
    options.partEndText = "3";
    test::RecordingHost tooBig;
    EXPECT_FALSE(PrepareNameRange(options, tooBig, range));
    EXPECT_EQ(tooBig.calls, (Strings{"reject:" + begin + ":请输入整数序号!"}));
}

std::string Derive(const std::string& name, const char* begin, const char* end,
                   const std::string& filter = "") {
    SortOptions options;
    options.useNamePart = true;
    options.partBeginText = begin;
    options.partEndText = end;
    options.nameFilter = filter;
    test::RecordingHost host;
    NameRange range;
    EXPECT_TRUE(PrepareNameRange(options, host, range));
    return DeriveTargetName(name, options, range);
}

TEST(DeriveTargetName, TakesTheRangeThenRemovesTheFilterPieces) {
    EXPECT_EQ(Derive("西游记", "2", "3"), "游记");
    EXPECT_EQ(Derive("ABCDE", "2", "3"), "BC");
    EXPECT_EQ(Derive("ABCDE", "3", "2"), "BC");
    EXPECT_EQ(Derive("ABCDEFG", "0", "3"), "ABCD");
    EXPECT_EQ(Derive("AB", "5", "8"), "");
    EXPECT_EQ(Derive("ABCDE", "300", "400"), "");
    // The range comes first: the filter works on the cut name.
    EXPECT_EQ(Derive("2013_report-final", "1", "8", "_*-"), "2013rep");
    EXPECT_EQ(Derive("X_Y", "2", "3", "Y"), "_");
}

TEST(DeriveTargetName, LongNamesAreUsedUpToTheCappedEnd) {
    std::string name;
    for (int i = 0; i < 300; ++i) name += static_cast<char>('A' + i % 26);
    EXPECT_EQ(Derive(name, "1", "300"), name.substr(0, 254));
    EXPECT_EQ(Derive(name.substr(0, 200), "1", "300"), name.substr(0, 200));
    // A begin below 1 keeps the count, which then runs past the 254th
    // character; one far below 1 does not wrap the count around.
    EXPECT_EQ(Derive(name, "-10", "300"), name.substr(0, 265));
    EXPECT_EQ(Derive(name, "-2147483648", "300"), name);
    EXPECT_EQ(Derive("ABC", "-2147483648", "2147483647"), "ABC");
}

TEST(DeriveTargetName, WithoutTheRangeTheWholeNameIsFiltered) {
    SortOptions options;
    options.nameFilter = "_*-";
    const NameRange range{2, 3};  // ignored while useNamePart is off
    EXPECT_EQ(DeriveTargetName("2013_report-final", options, range), "2013reportfinal");
    options.nameFilter.clear();
    EXPECT_EQ(DeriveTargetName("西游记", options, range), "西游记");
    // Switched on after a prepare that saw it off: one character from position 0.
    options.useNamePart = true;
    EXPECT_EQ(DeriveTargetName("西游记", options, NameRange{}), "西");
}

}  // namespace
}  // namespace zanfeld
